// Run under Wine by wine_test.cpp: which BitBlt the Windows build's layer
// takes for a present (one whose destination is a window's context), and
// that drawing into memory or onto a screen that no window owns is none.
#include <windows.h>

#include <cstdio>

#include "platform/rules/present_pacing.h"

namespace {

int failed = 0, passed = 0;

void Check(bool condition, const char* what) {
  ++(condition ? passed : failed);
  if (!condition) std::printf("failed: %s\n", what);
}

// The presents that one call added.
template <typename F>
unsigned long long PresentsOf(F call) {
  const auto before = winlayer::PresentCount();
  call();
  return winlayer::PresentCount() - before;
}

}  // namespace

int main() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "PresentRule";
  windowClass.style = CS_OWNDC;
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "PresentRule", "PresentRule", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200,
                                nullptr, nullptr, windowClass.hInstance, nullptr);
  Check(window != nullptr, "a window");
  HDC windowDC = GetDC(window);
  HDC memory = CreateCompatibleDC(windowDC);
  HDC other = CreateCompatibleDC(windowDC);
  HBITMAP bitmap = CreateCompatibleBitmap(windowDC, 100, 100);
  HBITMAP otherBitmap = CreateCompatibleBitmap(windowDC, 100, 100);
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  HGDIOBJ oldOther = SelectObject(other, otherBitmap);

  Check(PresentsOf([&] { BitBlt(windowDC, 0, 0, 100, 100, memory, 0, 0, SRCCOPY); }) == 1,
        "a copy from memory onto the window's context is one present");
  Check(PresentsOf([&] { BitBlt(windowDC, 5, 5, 10, 10, nullptr, 0, 0, WHITENESS); }) == 1,
        "any raster operation onto the window is a present");
  Check(PresentsOf([&] { BitBlt(memory, 0, 0, 100, 100, other, 0, 0, SRCCOPY); }) == 0,
        "a copy between memory contexts is no present");
  Check(PresentsOf([&] { BitBlt(memory, 0, 0, 100, 100, windowDC, 0, 0, SRCCOPY); }) == 0,
        "a copy from the window into memory is no present");
  HDC fromGetDCEx = GetDCEx(window, nullptr, DCX_CACHE);
  Check(PresentsOf([&] { BitBlt(fromGetDCEx, 0, 0, 50, 50, memory, 0, 0, SRCCOPY); }) == 1,
        "another context of the window is the window's too");
  ReleaseDC(window, fromGetDCEx);

  SelectObject(other, oldOther);
  SelectObject(memory, oldBitmap);
  DeleteObject(otherBitmap);
  DeleteObject(bitmap);
  DeleteDC(other);
  DeleteDC(memory);
  ReleaseDC(window, windowDC);
  DestroyWindow(window);
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
