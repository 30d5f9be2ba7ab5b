// The built-in button and edit controls.
#include <mutex>

#include "controls.h"
#include "message_queue.h"
#include "window.h"

namespace winlayer::user {

namespace {

void NotifyParent(const Window& w, WORD code) {
  if (w.parent) Send(w.parent, WM_COMMAND, MAKEWPARAM(w.id, code), reinterpret_cast<LPARAM>(w.handle));
}

}  // namespace

LRESULT CALLBACK ButtonProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto w = WindowByHandle(hWnd);
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
  auto w = WindowByHandle(hWnd);
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
