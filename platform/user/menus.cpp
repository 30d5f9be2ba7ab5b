// Menus: made and destroyed. (No menu bar is drawn.)
#include <windows.h>

#include "../kernel/handle_map.h"

namespace {

struct Menu {};

winlayer::HandleMap<Menu>& Menus() {
  static auto* menus = new winlayer::HandleMap<Menu>(0xC0001, 0x100000, 2);  // odd: never a window's value
  return *menus;
}

}  // namespace

extern "C" {

HMENU WINAPI CreateMenu(void) {
  return reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(Menus().Add(std::make_shared<Menu>())));
}

BOOL WINAPI DestroyMenu(HMENU hMenu) { return Menus().Remove(reinterpret_cast<std::uintptr_t>(hMenu)) ? TRUE : FALSE; }

BOOL WINAPI IsMenu(HMENU hMenu) { return Menus().Find(reinterpret_cast<std::uintptr_t>(hMenu)) ? TRUE : FALSE; }

}  // extern "C"
