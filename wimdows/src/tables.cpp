// The tables of menus, controls and bitmaps.
#include "state.h"

namespace Wimdows {

namespace {

constexpr UINT kControlRequest = WM_USER + 1;

}  // namespace

std::uint32_t AddMenu(const char* title, const std::vector<std::pair<const char*, Procedure>>& items) {
  // The lock is let go before SetMenu and DrawMenuBar, which wait for the
  // window's thread; that thread takes the lock to dispatch a menu command.
  std::unique_lock guard(tablesLock);
  const std::uint32_t m = menulen;
  MenuStruct entry{CreatePopupMenu(), {}, 0};
  for (std::size_t i = 0; i < items.size() && i < 100; ++i) {
    AppendMenuA(entry.hmenu, MF_STRING, (m + 1) * 100 + i, items[i].first);
    entry.item.push_back(items[i].second);
  }
  entry.itemlen = static_cast<std::uint32_t>(entry.item.size());
  AppendMenuA(window.hmenu, MF_POPUP, reinterpret_cast<UINT_PTR>(entry.hmenu), title);
  menu.push_back(std::move(entry));
  menulen = static_cast<std::uint32_t>(menu.size());
  guard.unlock();
  if (window.state == STATE_ACTIVE) {
    SetMenu(window.hwnd, window.hmenu);
    DrawMenuBar(window.hwnd);
  }
  return m;
}

std::uint32_t AddControl(ControlType type, const char* text, std::int32_t x, std::int32_t y, std::uint32_t width,
                         std::uint32_t height, Procedure proc) {
  std::uint32_t c;
  {
    std::lock_guard guard(tablesLock);
    c = controllen;
  }
  ControlParamStruct p{nullptr, text, x, y, width, height, 10000 + c, type, true, false};
  if (window.state == STATE_ACTIVE) {
    SendMessageA(window.hwnd, kControlRequest, reinterpret_cast<WPARAM>(&p), 0);
    while (!p.finished && window.state == STATE_ACTIVE) {
    }
  }
  std::lock_guard guard(tablesLock);
  ctrl.push_back({p.hwnd, x, y, width, height, proc, type});
  controllen = static_cast<std::uint32_t>(ctrl.size());
  return c;
}

void RemoveControl(std::uint32_t number) {
  HWND control;
  {
    std::lock_guard guard(tablesLock);
    if (number >= controllen) return;
    control = ctrl[number].hwnd;
    ctrl[number].hwnd = nullptr;
  }
  if (!control || window.state != STATE_ACTIVE) return;
  ControlParamStruct p{control, nullptr, 0, 0, 0, 0, 0, CTRL_BUTTON, false, false};
  SendMessageA(window.hwnd, kControlRequest, reinterpret_cast<WPARAM>(&p), 0);
}

std::uint32_t LoadBitmapFile(const char* path) {
  HBITMAP loaded = static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!loaded) return 0;
  BITMAP size{};
  GetObjectA(loaded, sizeof size, &size);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, loaded);
  const BitStruct entry{loaded, dc, static_cast<std::uint32_t>(size.bmWidth), static_cast<std::uint32_t>(size.bmHeight)};
  std::lock_guard guard(tablesLock);
  // The first free entry, or a new one at the end: handles of the others never move.
  for (std::uint32_t i = 0; i < bitlen; ++i)
    if (!bit[i].hbit) {
      bit[i] = entry;
      return i + 1;
    }
  bit.push_back(entry);
  bitlen = static_cast<std::uint32_t>(bit.size());
  return bitlen;
}

void DestroyBitmap(std::uint32_t bitmap) {
  std::lock_guard guard(tablesLock);
  if (bitmap >= 1 && bitmap <= bitlen && bit[bitmap - 1].hbit) DelBitmap(bitmap - 1);
}

void DelBitmap(std::uint32_t del) {
  std::lock_guard guard(tablesLock);
  DeleteDC(bit[del].hdc);
  DeleteObject(bit[del].hbit);
  bit[del].hbit = nullptr;
  bit[del].hdc = nullptr;
  if (del != bitlen - 1) return;  // a middle entry is only marked free
  --bitlen;
  while (bitlen > 0 && !bit[bitlen - 1].hbit) --bitlen;
  bit.resize(bitlen);
  bit.shrink_to_fit();
}

}  // namespace Wimdows
