// The toolkit's window: opened on a window thread of its own, closed and
// cleaned up in a fixed order.
#include <cstring>

#include "state.h"

namespace Wimdows {

WinStruct window;
HBITMAP hBitBuf = nullptr;
std::atomic<HDC> hDCBuf{nullptr};
std::atomic<bool> buffering{false};
FontStruct font{0, 0};
MouseStruct mouse;
std::atomic<bool> key[256];
KeyBuffer keybuf;
std::vector<MenuStruct> menu;
std::uint32_t menulen = 0;
std::vector<ControlStruct> ctrl;
std::uint32_t controllen = 0;
std::vector<BitStruct> bit;
std::uint32_t bitlen = 0;
std::atomic<bool> block{false};
std::mutex keyLock;
std::recursive_mutex tablesLock;

namespace {

constexpr DWORD kStyle = 0x00CA0000;  // caption, system menu, minimise box

void ReleaseTitle() {
  delete[] window.class_;
  window.class_ = nullptr;
}

}  // namespace

WinState State() { return window.state.load(); }

void Window(runtime::View<const char> title, std::uint32_t x, std::uint32_t y) {
  if (window.state == STATE_ACTIVE) KillWindow();
  // The title ends at its zero character, or at the array's end when it has none.
  std::size_t length = 0;
  while (length < title.size() && title[length] != '\0') ++length;
  window.class_ = new char[length + 1];
  std::memcpy(window.class_, title.data(), length);
  window.class_[length] = '\0';
  window.xlen = x;
  window.ylen = y;

  HANDLE thread = CreateThread(nullptr, 0, WinMain, nullptr, 0, nullptr);
  if (!thread) {
    MessageBoxA(nullptr, "Can't create window.", "Error", MB_ICONEXCLAMATION | MB_OK);
    ReleaseTitle();
    return;
  }
  CloseHandle(thread);
  while (window.state == STATE_DEAD) {
  }
  if (window.state == STATE_ERROR) {
    window.state = STATE_DEAD;
    ReleaseTitle();
  }
}

void KillWindow() {
  if (window.state == STATE_ACTIVE) {
    SendMessageA(window.hwnd, WM_CLOSE, 0, 0);
    while (window.state != STATE_DEAD) {
    }
  } else {
    window.state = STATE_DEAD;
  }
}

DWORD WINAPI WinMain(LPVOID) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(WNDCLASSEXA);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = WindowProcedure;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(32512));
  wc.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(32512));
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  wc.hbrBackground = GetSysColorBrush(COLOR_BACKGROUND);
  wc.lpszClassName = window.class_;
  if (!RegisterClassExA(&wc)) {
    window.state = STATE_ERROR;
    return 0;
  }
  RECT outer{0, 0, static_cast<LONG>(window.xlen), static_cast<LONG>(window.ylen)};
  AdjustWindowRect(&outer, kStyle, FALSE);
  window.hwnd = CreateWindowExA(0, window.class_, window.class_, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
  if (!window.hwnd || !Init()) {
    UnregisterClassA(window.class_, instance);
    window.state = STATE_ERROR;
    return 0;
  }
  ShowWindow(window.hwnd, SW_SHOWDEFAULT);
  ::UpdateWindow(window.hwnd);
  SetFocus(window.hwnd);
  window.state = STATE_ACTIVE;

  MSG msg{};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  FreeWindow();
  window.state = STATE_DEAD;
  return static_cast<DWORD>(msg.wParam);
}

bool Init() {
  window.hmenu = CreateMenu();
  RECT client;
  if (!GetClientRect(window.hwnd, &client)) return false;
  window.xlen = static_cast<std::uint32_t>(client.right);
  window.ylen = static_cast<std::uint32_t>(client.bottom);
  HDC dc = GetDC(window.hwnd);
  hBitBuf = CreateCompatibleBitmap(dc, static_cast<int>(window.xlen), static_cast<int>(window.ylen));
  hDCBuf = CreateCompatibleDC(dc);
  SelectObject(hDCBuf, hBitBuf);
  ReleaseDC(window.hwnd, dc);
  return true;
}

void FreeWindow() {
  UnregisterClassA(window.class_, GetModuleHandleA(nullptr));
  ReleaseTitle();
  // The context goes first: a bitmap still selected into it could not be deleted.
  DeleteDC(hDCBuf);
  DeleteObject(hBitBuf);
  hDCBuf = nullptr;
  hBitBuf = nullptr;
  window.xlen = 0;
  window.ylen = 0;
  buffering = false;
  mouse.x = 0;
  mouse.y = 0;
  for (auto* flag : {&mouse.onLeftDown, &mouse.onLeftUp, &mouse.onRightDown, &mouse.onRightUp, &mouse.onDouble, &mouse.left,
                     &mouse.right})
    *flag = false;
  for (auto* proc : {&mouse.LeftDownProc, &mouse.LeftUpProc, &mouse.RightDownProc, &mouse.RightUpProc, &mouse.DoubleProc})
    *proc = nullptr;
  for (auto& k : key) k = false;
  FlushKeys();
  std::lock_guard guard(tablesLock);
  if (menulen > 0) {
    menu.clear();
    menulen = 0;
  }
  DestroyMenu(window.hmenu);
  window.hmenu = nullptr;
  if (controllen > 0) {  // the control windows went with the window
    ctrl.clear();
    controllen = 0;
  }
  if (bitlen > 0) {
    for (BitStruct& b : bit) {
      if (b.hdc) DeleteDC(b.hdc);
      if (b.hbit) DeleteObject(b.hbit);
    }
    bit.clear();
    bitlen = 0;
  }
}

}  // namespace Wimdows
