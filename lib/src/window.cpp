// The window, its thread, the back buffer, presenting it, and the mouse.
#include <cstdio>
#include <cstring>
#include <mutex>

#include "state.h"

namespace BrannowayLib {

namespace {

constexpr char kClassName[] = "BrannowayClass";

LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ModuleState& s = State();
  switch (msg) {
    case WM_CLOSE:
      DestroyWindow(hWnd);
      return 0;
    case WM_CHAR: {
      // The first free position below 16 takes the character; position 16 stays zero.
      std::int32_t i = 1;
      while (s.Input[i] != '\0') ++i;
      if (i < 16) s.Input[i] = static_cast<char>(wParam & 0xFF);
      return 0;
    }
    default: return DefWindowProcA(hWnd, msg, wParam, lParam);
  }
}

DWORD WINAPI MaakThreadVenster(LPVOID) {
  ModuleState& s = State();
  const tWindow& w = s.WindowInfo;
  HWND made = CreateWindowExA(WS_EX_CLIENTEDGE, w.g_szClassName.data(), w.Titel.data(),
                              WS_OVERLAPPED | WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX, w.x, w.y,
                              static_cast<int>(w.breedte), static_cast<int>(w.hoogte), nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  if (!made) {
    // Without this the main thread would wait for the window for ever.
    std::fprintf(stderr, "Venster: the window could not be made (error %lu)\n", static_cast<unsigned long>(GetLastError()));
    s.windowFailed.store(true);
    return 1;
  }
  s.hWnd.store(made);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) != 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

bool RegisterWindowClass() {
  WNDCLASSA wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  wc.lpfnWndProc = WndProc;
  wc.cbClsExtra = 0;
  wc.cbWndExtra = 0;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(0x7F00));
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(0x7F00));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(5));  // system colour 4, the menu colour
  wc.lpszMenuName = nullptr;
  wc.lpszClassName = State().WindowInfo.g_szClassName.data();
  return RegisterClassA(&wc) != 0;
}

// Ends the window of an earlier Venster: its thread destroys it, then leaves its
// loop, and the back buffer goes. The context is deleted before its bitmap,
// which can't be deleted while it is selected.
void CloseOldWindow() {
  ModuleState& s = State();
  HWND old = s.hWnd.exchange(nullptr);
  if (IsWindow(old)) SendMessageA(old, WM_CLOSE, 0, 0);
  if (s.WindowInfo.Thread) {
    PostThreadMessageA(s.WindowInfo.ThreadID, WM_QUIT, 0, 0);
    WaitForSingleObject(s.WindowInfo.Thread, INFINITE);
  }
  if (s.hBuffer) {
    // Inks and a font replaced since the last shape or text are still selected,
    // waiting to be swapped out; swapping the current ones in releases them.
    UpdatePen();
    UpdateBrush();
    UpdateFont();
    HGDIOBJ bitmap = GetCurrentObject(s.hBuffer, OBJ_BITMAP);
    DeleteDC(s.hBuffer);
    DeleteObject(bitmap);
    s.hBuffer = nullptr;
  }
  if (s.WindowInfo.Thread) CloseHandle(s.WindowInfo.Thread);
  s.WindowInfo.Thread = nullptr;
}

// The back buffer: a bitmap of the client area's size in a memory context.
void MakeBackBuffer() {
  ModuleState& s = State();
  HWND hWnd = s.hWnd.load();
  HDC window = GetDC(hWnd);
  s.hBuffer = CreateCompatibleDC(window);
  RECT client{};
  GetClientRect(hWnd, &client);
  const int width = client.right - client.left, height = client.bottom - client.top;
  HBITMAP bitmap = CreateCompatibleBitmap(window, width, height);
  DeleteObject(SelectObject(s.hBuffer, bitmap));
  ReleaseDC(hWnd, window);
}

}  // namespace

ModuleState& State() {
  static ModuleState* state = [] {
    auto* s = new ModuleState;  // lives as long as the program: the window thread may outlast main
    s->structFont.lfHeight = 0;
    s->structFont.lfWidth = 0;
    s->structFont.lfEscapement = 0;
    s->structFont.lfOrientation = 0;
    s->structFont.lfWeight = 400;
    s->structFont.lfItalic = FALSE;
    s->structFont.lfUnderline = FALSE;
    s->structFont.lfStrikeOut = FALSE;
    s->structFont.lfCharSet = 1;
    s->structFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
    s->structFont.lfClipPrecision = 0;
    s->structFont.lfQuality = ANTIALIASED_QUALITY;
    s->structFont.lfPitchAndFamily = 1;
    std::memset(s->structFont.lfFaceName, 0, sizeof s->structFont.lfFaceName);
    std::memcpy(s->structFont.lfFaceName, "System", 6);
    s->hWnd.store(nullptr);
    s->cBrush = CreateSolidBrush(RGB(255, 255, 255));
    s->cPen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    s->cFont = CreateFontIndirectA(&s->structFont);
    return s;
  }();
  return *state;
}

void Initialise() { State(); }

void Venster(std::int32_t x, std::int32_t y, std::uint32_t breedte, std::uint32_t hoogte, VensterTitel Titel) {
  ModuleState& s = State();
  // The sizes go to the platform as signed numbers.
  runtime::Narrow<int>(breedte);
  runtime::Narrow<int>(hoogte);
  s.WindowInfo.x = x;
  s.WindowInfo.y = y;
  s.WindowInfo.breedte = breedte;
  s.WindowInfo.hoogte = hoogte;
  s.WindowInfo.Titel = Titel;
  s.WindowInfo.Titel[127] = '\0';  // the caption ends within its 128 positions
  s.WindowInfo.g_szClassName = {};
  std::memcpy(s.WindowInfo.g_szClassName.data(), kClassName, sizeof kClassName);

  static bool registered = false;
  if (s.hWnd.load() || s.WindowInfo.Thread) {
    CloseOldWindow();
  } else if (!registered) {
    if (!RegisterWindowClass()) {
      MessageBoxA(nullptr, "Window Class registration failed!", "Error!", MB_ICONEXCLAMATION | MB_OK);
      s.windowFailed.store(true);
      return;
    }
    registered = true;
  }

  s.windowFailed.store(false);
  s.WindowInfo.Thread = CreateThread(nullptr, 0, MaakThreadVenster, nullptr, 1, &s.WindowInfo.ThreadID);
  if (!s.WindowInfo.Thread) {
    std::fprintf(stderr, "Venster: the window thread could not be started (error %lu)\n",
                 static_cast<unsigned long>(GetLastError()));
    s.windowFailed.store(true);
    return;
  }
  while (!IsWindow(s.hWnd.load())) {
    if (s.windowFailed.load()) return;
  }
  MakeBackBuffer();
  ShowWindow(s.hWnd.load(), SW_SHOWNORMAL);
  UpdateWindow(s.hWnd.load());
}

int ExitStatus() { return State().windowFailed.load() ? 1 : 0; }

BOOL VensterBestaat() {
  HWND hWnd = State().hWnd.load();
  return hWnd != nullptr && IsWindow(hWnd);
}

void Update() {
  ModuleState& s = State();
  if (!s.hBuffer) return;
  HWND hWnd = s.hWnd.load();
  HDC window = GetDC(hWnd);
  BITMAP surface{};
  // Some systems (Wine among them) describe no bitmap for a window's context:
  // the whole back buffer then, rather than a copy of nothing.
  if (!GetObjectA(GetCurrentObject(window, OBJ_BITMAP), sizeof surface, &surface) || surface.bmWidth <= 0 ||
      surface.bmHeight <= 0)
    GetObjectA(GetCurrentObject(s.hBuffer, OBJ_BITMAP), sizeof surface, &surface);
  BitBlt(window, 0, 0, surface.bmWidth, surface.bmHeight, s.hBuffer, 0, 0, SRCCOPY);
  ReleaseDC(hWnd, window);
}

std::uint32_t Muisklik() {
  if (GetAsyncKeyState(VK_LBUTTON) < -1) return 1;
  if (GetAsyncKeyState(VK_RBUTTON) < -1) return 2;
  return 0;
}

void MuisPos(std::int32_t& x, std::int32_t& y) {
  POINT p{};
  RECT r{};
  GetCursorPos(&p);
  GetWindowRect(State().hWnd.load(), &r);
  x = p.x - r.left - GetSystemMetrics(SM_CXEDGE) - GetSystemMetrics(SM_CXFIXEDFRAME);
  y = p.y - r.top - GetSystemMetrics(SM_CYEDGE) - GetSystemMetrics(SM_CYFIXEDFRAME) - GetSystemMetrics(SM_CYCAPTION);
}

}  // namespace BrannowayLib
