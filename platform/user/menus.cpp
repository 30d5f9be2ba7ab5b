// Menus: made, filled with items and attached to windows. The displays draw
// no menu bar and give it no room; a menu item is chosen by a WM_COMMAND with
// its identifier (the headless driver can send one).
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "../kernel/handle_map.h"

namespace {

struct Menu {
  std::mutex lock;
  std::vector<std::pair<UINT_PTR, std::string>> items;
};

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

HMENU WINAPI CreatePopupMenu(void) { return CreateMenu(); }

BOOL WINAPI AppendMenuA(HMENU hMenu, UINT, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
  auto menu = Menus().Find(reinterpret_cast<std::uintptr_t>(hMenu));
  if (!menu) return FALSE;
  std::lock_guard guard(menu->lock);
  menu->items.emplace_back(uIDNewItem, lpNewItem ? lpNewItem : "");
  return TRUE;
}

BOOL WINAPI SetMenu(HWND hWnd, HMENU hMenu) {
  return IsWindow(hWnd) && (!hMenu || IsMenu(hMenu)) ? TRUE : FALSE;
}

BOOL WINAPI DrawMenuBar(HWND hWnd) { return IsWindow(hWnd); }

}  // extern "C"
