// What a window does with the messages its procedure leaves to the system,
// and the built-in button and edit controls.
#include <algorithm>
#include <cstring>

#include "../display/display.h"
#include "controls.h"
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

void NotifyParent(const Window& w, WORD code) {
  if (w.parent) Send(w.parent, WM_COMMAND, MAKEWPARAM(w.id, code), reinterpret_cast<LPARAM>(w.handle));
}

}  // namespace

namespace winlayer::user {

LRESULT CALLBACK ButtonProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto w = FindWindow(hWnd);
  if (!w) return 0;
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      w->pressed = true;
      SetCapture(hWnd);
      return 0;
    case WM_LBUTTONUP: {
      if (!w->pressed) return 0;
      w->pressed = false;
      ReleaseCapture();
      const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
      RECT r;
      GetClientRect(hWnd, &r);
      if (x >= 0 && y >= 0 && x < r.right && y < r.bottom) NotifyParent(*w, BN_CLICKED);
      return 0;
    }
    default: return DefWindowProcA(hWnd, message, wParam, lParam);
  }
}

LRESULT CALLBACK EditProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto w = FindWindow(hWnd);
  if (!w) return 0;
  switch (message) {
    case WM_LBUTTONDOWN:
      SetFocus(hWnd);
      return 0;
    case WM_CHAR: {
      const auto c = static_cast<unsigned char>(wParam);
      {
        std::lock_guard guard(WindowsLock());
        if (c == '\b') {
          if (w->title.empty()) return 0;
          w->title.pop_back();
        } else if (c >= 32) {
          w->title.push_back(static_cast<char>(c));
        } else {
          return 0;
        }
      }
      NotifyParent(*w, EN_CHANGE);
      return 0;
    }
    default: return DefWindowProcA(hWnd, message, wParam, lParam);
  }
}

}  // namespace winlayer::user

extern "C" LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  auto w = FindWindow(hWnd);
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
