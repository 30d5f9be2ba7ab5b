// A program whose main returns while its window thread is blocked in
// GetMessageA: it must end at once, cleanly, with status 0.
#include <windows.h>

#include <atomic>

namespace {

std::atomic<HWND> window{nullptr};

LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

DWORD WINAPI WindowThread(LPVOID) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = Procedure;
  wc.lpszClassName = "ExitClass";
  RegisterClassA(&wc);
  window = CreateWindowExA(0, "ExitClass", "Titel", WS_BORDER | WS_SYSMENU, 10, 10, 200, 150, nullptr, nullptr, nullptr, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0)) DispatchMessageA(&msg);
  return 0;
}

}  // namespace

int main() {
  CreateThread(nullptr, 0, WindowThread, nullptr, 1, nullptr);
  while (!IsWindow(window.load())) {
  }
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  HDC dc = GetDC(window);
  Rectangle(dc, 10, 10, 50, 50);
  ReleaseDC(window, dc);
  return 0;
}
