// With no screen to show windows on, making a window fails at once with a
// clear reason on standard error, so a program ends instead of waiting.
#include <windows.h>

int main() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "NoDisplayClass";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(0, "NoDisplayClass", "Titel", WS_BORDER, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  return hwnd == nullptr ? 0 : 1;
}
