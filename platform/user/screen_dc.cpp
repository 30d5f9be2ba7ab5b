// Drawing contexts of the screen, and small rectangle helpers.
#include <windows.h>

#include "../gdi/objects.h"
#include "../gdi/screen.h"

using namespace winlayer::gdi;

extern "C" {

HDC WINAPI GetDC(HWND hWnd) {
  if (hWnd) return nullptr;  // window contexts come with windows
  auto dc = NewDC(Kind::DC, ScreenBitmap());
  return dc ? static_cast<HDC>(ToHandle(dc->handle)) : nullptr;
}

int WINAPI ReleaseDC(HWND, HDC hDC) {
  auto dc = Find<DC>(hDC);
  if (!dc || dc->kind != Kind::DC) return 0;
  return DeleteDC(hDC) ? 1 : 0;
}

BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
  if (!lprc) return FALSE;
  *lprc = RECT{xLeft, yTop, xRight, yBottom};
  return TRUE;
}

}  // extern "C"
