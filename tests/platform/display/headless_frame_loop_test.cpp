// A whole program in the style of the system's programs, scripted frame by
// frame through the headless display: a window thread with a message loop,
// and a busy main loop that draws, presents and polls the mouse.
#include <gtest/gtest.h>
#include <winlayer/headless.h>

#include <atomic>

namespace {

namespace headless = winlayer::headless;

std::atomic<HWND> programWindow{nullptr};

LRESULT CALLBACK ProgramProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CLOSE) {
    DestroyWindow(hwnd);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

DWORD WINAPI ProgramWindowThread(LPVOID) {
  WNDCLASSA wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  wc.lpfnWndProc = ProgramProcedure;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
  wc.lpszClassName = "FrameLoopClass";
  RegisterClassA(&wc);
  programWindow = CreateWindowExA(WS_EX_CLIENTEDGE, "FrameLoopClass", "Frame loop", WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX,
                                  200, 200, 330, 273, nullptr, nullptr, wc.hInstance, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

struct ProgramResult {
  int frames = 0;
  bool clicked = false;
  int clickFrame = 0;
};

// The program: a 320 x 240 back buffer, blue until the left button is held
// over its top-left quarter, then green; it ends one frame after the click.
ProgramResult RunProgram() {
  ProgramResult result;
  programWindow = nullptr;
  DWORD threadId = 0;
  HANDLE thread = CreateThread(nullptr, 0, ProgramWindowThread, nullptr, 1, &threadId);
  while (!IsWindow(programWindow.load())) {
  }
  HWND hwnd = programWindow.load();
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  HDC window = GetDC(hwnd);
  HDC buffer = CreateCompatibleDC(window);
  HGDIOBJ initial = SelectObject(buffer, CreateCompatibleBitmap(window, 320, 240));
  ReleaseDC(hwnd, window);

  bool done = false;
  while (IsWindow(hwnd) && !done) {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(hwnd, &p);
    const bool over = p.x >= 0 && p.y >= 0 && p.x < 160 && p.y < 120;
    done = result.clicked;
    if (!result.clicked && over && GetAsyncKeyState(VK_LBUTTON) < -1) {
      result.clicked = true;
      result.clickFrame = result.frames + 1;
    }
    HBRUSH brush = CreateSolidBrush(result.clicked ? RGB(0, 200, 0) : RGB(0, 0, 200));
    RECT all{0, 0, 320, 240};
    FillRect(buffer, &all, brush);
    DeleteObject(brush);
    HDC dc = GetDC(hwnd);
    BitBlt(dc, 0, 0, 320, 240, buffer, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, dc);
    ++result.frames;
  }
  DeleteObject(SelectObject(buffer, initial));
  DeleteDC(buffer);
  if (IsWindow(hwnd)) PostMessageA(hwnd, WM_CLOSE, 0, 0);
  PostThreadMessageA(threadId, WM_QUIT, 0, 0);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return result;
}

TEST(HeadlessFrameLoopTest, AScriptedClickReachesABusyLoopBetweenFrames) {
  const DWORD drawingThread = GetCurrentThreadId();
  int presents = 0;
  headless::Frame beforeClick, last;
  const int id = headless::AddPresentCallback([&](HWND hwnd) {
    // The program's frames, not the window thread's background erase.
    if (hwnd != programWindow.load() || GetCurrentThreadId() != drawingThread) return;
    ++presents;
    if (presents == 3) beforeClick = headless::ClientPixels(hwnd);
    if (presents == 5) headless::MoveCursorToClient(hwnd, 40, 30);
    if (presents == 7) headless::PressButton(VK_LBUTTON);
    if (presents == 9) headless::ReleaseButton(VK_LBUTTON);
    last = headless::ClientPixels(hwnd);
  });
  headless::MoveCursor(0, 0);
  const ProgramResult result = RunProgram();
  headless::RemovePresentCallback(id);

  EXPECT_TRUE(result.clicked);
  EXPECT_EQ(result.clickFrame, 8);  // pressed after frame 7 was presented, seen by frame 8
  EXPECT_EQ(result.frames, 9);      // and the loop ends one frame after the click
  EXPECT_EQ(presents, 9);
  ASSERT_EQ(beforeClick.width, 320);
  EXPECT_EQ(beforeClick.At(10, 10), RGB(0, 0, 200));
  EXPECT_EQ(last.At(300, 200), RGB(0, 200, 0));
}

TEST(HeadlessFrameLoopTest, ClosingTheWindowEndsTheLoop) {
  const DWORD drawingThread = GetCurrentThreadId();
  int presents = 0;
  const int id = headless::AddPresentCallback([&](HWND hwnd) {
    if (hwnd == programWindow.load() && GetCurrentThreadId() == drawingThread && ++presents == 4)
      headless::ClickCloseBox(hwnd);
  });
  headless::MoveCursor(0, 0);
  const ProgramResult result = RunProgram();
  headless::RemovePresentCallback(id);
  EXPECT_FALSE(result.clicked);
  EXPECT_GE(result.frames, 4);
  EXPECT_FALSE(IsWindow(programWindow.load()));
}

}  // namespace
