// A page for the browser's tests: a window that prints the virtual-key code
// of every key pressed in it, one hexadecimal number a line, and ends at Escape.
#include <windows.h>

#include <cstdio>

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      std::printf("%02X\n", static_cast<unsigned>(wParam));
      std::fflush(stdout);
      if (wParam == VK_ESCAPE) DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int main() {
  WNDCLASSA c{};
  c.lpfnWndProc = Procedure;
  c.hInstance = GetModuleHandleA(nullptr);
  c.lpszClassName = "Toetsen";
  c.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  if (!RegisterClassA(&c)) {
    std::printf("no class: %lu\n", static_cast<unsigned long>(GetLastError()));
    return 1;
  }
  HWND window = CreateWindowExA(0, "Toetsen", "Toetsen", WS_OVERLAPPEDWINDOW, 40, 40, 320, 240, nullptr, nullptr,
                                c.hInstance, nullptr);
  if (!window) {
    std::printf("no window: %lu\n", static_cast<unsigned long>(GetLastError()));
    return 1;
  }
  ShowWindow(window, SW_SHOW);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}
