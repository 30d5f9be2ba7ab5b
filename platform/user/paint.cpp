// Drawing contexts of windows and of the screen, and painting.
#include "../gdi/screen.h"
#include "message_queue.h"
#include "window.h"

using namespace winlayer;
using namespace winlayer::user;

namespace {

HDC HandleOf(const std::shared_ptr<gdi::DC>& dc) { return dc ? static_cast<HDC>(gdi::ToHandle(dc->handle)) : nullptr; }

}  // namespace

extern "C" {

HDC WINAPI GetDC(HWND hWnd) {
  if (!hWnd) return HandleOf(gdi::NewDC(gdi::Kind::DC, gdi::ScreenBitmap()));
  auto w = WindowByHandle(hWnd);
  // Child windows are not drawn: only top-level windows have pixels of their own.
  if (!w || !w->surface) return nullptr;
  if (w->ownDC) return w->ownDC;
  return HandleOf(gdi::NewWindowDC(w->surface));
}

int WINAPI ReleaseDC(HWND hWnd, HDC hDC) {
  if (auto w = WindowByHandle(hWnd); w && w->ownDC == hDC) return 1;  // a private context stays with its window
  auto dc = gdi::Find<gdi::DC>(hDC);
  if (!dc || dc->kind != gdi::Kind::DC) return 0;
  return DeleteDC(hDC) ? 1 : 0;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
  auto w = WindowByHandle(hWnd);
  if (!w || !lpPaint) return nullptr;
  bool erase;
  {
    std::lock_guard guard(WindowsLock());
    erase = w->needsErase;
    w->needsErase = false;
    w->needsPaint = false;
  }
  *lpPaint = PAINTSTRUCT{};
  lpPaint->hdc = GetDC(hWnd);
  GetClientRect(hWnd, &lpPaint->rcPaint);
  if (erase && lpPaint->hdc)
    lpPaint->fErase = Send(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(lpPaint->hdc), 0) == 0;
  return lpPaint->hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
  if (lpPaint && lpPaint->hdc) ReleaseDC(hWnd, lpPaint->hdc);
  return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT*, BOOL bErase) {
  if (!hWnd) {
    for (const auto& w : TopLevelWindows()) Invalidate(*w, bErase);
    return TRUE;
  }
  auto w = WindowByHandle(hWnd);
  if (!w) return FALSE;
  Invalidate(*w, bErase);
  return TRUE;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
  auto w = WindowByHandle(hWnd);
  if (!w) return FALSE;
  bool paint;
  {
    std::lock_guard guard(WindowsLock());
    paint = w->needsPaint;
  }
  if (paint) Send(hWnd, WM_PAINT, 0, 0);
  return TRUE;
}

BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
  if (!lprc) return FALSE;
  *lprc = RECT{xLeft, yTop, xRight, yBottom};
  return TRUE;
}

}  // extern "C"
