// What a window does with the messages its procedure leaves to the system.
#include <algorithm>
#include <cstring>

#include "../display/display.h"
#include "message_queue.h"
#include "window.h"

using namespace winlayer;
using namespace winlayer::user;

namespace {

LRESULT EraseBackground(const Window& w, HDC hdc) {
  if (!w.windowClass->background) return 0;
  RECT client;
  GetClientRect(w.handle, &client);
  FillRect(hdc, &client, w.windowClass->background);
  return 1;
}

LRESULT SetText(Window& w, LPCSTR text) {
  std::string title = text ? text : "";
  {
    std::lock_guard guard(WindowsLock());
    w.title = title;
  }
  if (w.surface) display::TheDisplay().SetTitle(w.handle, title);
  return TRUE;
}

LRESULT GetText(const Window& w, WPARAM capacity, LPSTR buffer) {
  if (!buffer || capacity == 0) return 0;
  std::lock_guard guard(WindowsLock());
  const std::size_t n = std::min<std::size_t>(w.title.size(), capacity - 1);
  std::memcpy(buffer, w.title.data(), n);
  buffer[n] = '\0';
  return static_cast<LRESULT>(n);
}

}  // namespace

extern "C" LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  auto w = WindowByHandle(hWnd);
  if (!w) return 0;
  switch (Msg) {
    case WM_NCCREATE: return TRUE;
    case WM_CLOSE: DestroyWindow(hWnd); return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) Send(hWnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hWnd, &ps);
      EndPaint(hWnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return EraseBackground(*w, reinterpret_cast<HDC>(wParam));
    case WM_SETTEXT: return SetText(*w, reinterpret_cast<LPCSTR>(lParam));
    case WM_GETTEXT: return GetText(*w, wParam, reinterpret_cast<LPSTR>(lParam));
    case WM_GETTEXTLENGTH: {
      std::lock_guard guard(WindowsLock());
      return static_cast<LRESULT>(w->title.size());
    }
    case WM_SETFONT: {
      std::lock_guard guard(WindowsLock());
      w->font = reinterpret_cast<HFONT>(wParam);
      return 0;
    }
    case WM_GETFONT: {
      std::lock_guard guard(WindowsLock());
      return reinterpret_cast<LRESULT>(w->font);
    }
    default: return 0;
  }
}
