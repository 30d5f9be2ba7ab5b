// The colour a top-level window shows at a point of its client area, read
// back from the window's own surface (what the display presents).
#pragma once

#include <windows.h>

namespace testing_support {

inline COLORREF ShownPixel(const char* windowTitle, int x, int y) {
  HWND w = FindWindowA(nullptr, windowTitle);
  HDC dc = GetDC(w);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(w, dc);
  return c;
}

}  // namespace testing_support
