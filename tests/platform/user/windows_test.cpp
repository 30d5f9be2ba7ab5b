// Windows on threads of their own: messages across threads, the frame
// arithmetic, closing, painting and message boxes, on the headless display.
#include <gtest/gtest.h>
#include <winlayer/headless.h>
#include <winlayer/objects.h>

#include <algorithm>
#include <climits>
#include <atomic>

#include "window_thread.h"

namespace {

using testing_support::Received;
using testing_support::WindowSpec;
using testing_support::WindowThread;

// A window is gone once its last message (WM_NCDESTROY) has been handled.
bool WaitUntilGone(HWND hwnd) {
  for (int i = 0; i < 2000 && IsWindow(hwnd); ++i) Sleep(1);
  return !IsWindow(hwnd);
}

bool Has(const std::vector<Received>& messages, UINT message) {
  return std::any_of(messages.begin(), messages.end(), [&](const Received& r) { return r.message == message; });
}

TEST(WindowThreadTest, AWindowBelongsToTheThreadThatMadeIt) {
  WindowThread w;
  ASSERT_TRUE(IsWindow(w.hwnd()));
  EXPECT_TRUE(IsWindowVisible(w.hwnd()));
  EXPECT_EQ(GetWindowThreadProcessId(w.hwnd(), nullptr), w.threadId());
  EXPECT_NE(w.threadId(), GetCurrentThreadId());
  EXPECT_FALSE(DestroyWindow(w.hwnd()));  // only its own thread may destroy it
  EXPECT_TRUE(IsWindow(w.hwnd()));
  for (const Received& r : w.Messages()) EXPECT_EQ(r.thread, w.threadId());
  const auto first = w.Messages();
  ASSERT_GE(first.size(), 2u);
  EXPECT_EQ(first[0].message, static_cast<UINT>(WM_NCCREATE));
  EXPECT_EQ(first[1].message, static_cast<UINT>(WM_CREATE));
}

TEST(WindowThreadTest, MessagesPostedAndSentFromAnotherThreadReachTheWindowThread) {
  WindowThread w;
  w.Answer(WM_USER + 1, [](WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam * 2 + lParam); });
  ASSERT_TRUE(PostMessageA(w.hwnd(), WM_USER, 7, 8));
  EXPECT_TRUE(w.WaitFor(WM_USER, 7));
  EXPECT_EQ(SendMessageA(w.hwnd(), WM_USER + 1, 20, 2), 42);
  const auto messages = w.Messages();
  const auto sent = std::find_if(messages.begin(), messages.end(), [](const Received& r) { return r.message == WM_USER + 1; });
  ASSERT_NE(sent, messages.end());
  EXPECT_EQ(sent->thread, w.threadId());
  EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(std::uintptr_t{0x12346}), WM_USER, 0, 0));
}

TEST(WindowThreadTest, QuitEndsTheLoopAndTheThreadTakesItsWindowsWithIt) {
  WindowThread w;
  HWND hwnd = w.hwnd();
  ASSERT_TRUE(PostThreadMessageA(w.threadId(), WM_QUIT, 5, 0));
  ASSERT_TRUE(w.Finished());
  DWORD code = 0;
  GetExitCodeThread(w.thread(), &code);
  EXPECT_EQ(code, 5u);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_TRUE(Has(w.Messages(), WM_DESTROY));
  EXPECT_TRUE(Has(w.Messages(), WM_NCDESTROY));
}

TEST(WindowThreadTest, TheUsersCloseDestroysTheWindowThroughTheProcedure) {
  WindowThread w;
  HWND hwnd = w.hwnd();
  winlayer::headless::ClickCloseBox(hwnd);
  ASSERT_TRUE(w.WaitFor(WM_NCDESTROY));
  EXPECT_TRUE(WaitUntilGone(hwnd));
  const auto m = w.Messages();
  auto index = [&](UINT message) {
    return std::find_if(m.begin(), m.end(), [&](const Received& r) { return r.message == message; }) - m.begin();
  };
  EXPECT_LT(index(WM_SYSCOMMAND), index(WM_CLOSE));
  EXPECT_LT(index(WM_CLOSE), index(WM_DESTROY));
  EXPECT_LT(index(WM_DESTROY), index(WM_NCDESTROY));
  // No quit is posted by the default procedure: the loop goes on waiting.
  EXPECT_FALSE(w.Finished(50));
}

TEST(WindowClassTest, RegisteringANameTwiceFails) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "TwiceRegistered";
  EXPECT_NE(RegisterClassA(&wc), 0);
  EXPECT_EQ(RegisterClassA(&wc), 0);
  wc.lpszClassName = "twiceregistered";  // names compare without case
  EXPECT_EQ(RegisterClassA(&wc), 0);
  EXPECT_TRUE(UnregisterClassA("TwiceRegistered", nullptr));
  EXPECT_FALSE(UnregisterClassA("TwiceRegistered", nullptr));
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST(WindowClassTest, WindowsTooLargeForMemoryOrTheCoordinateRangeFailCleanly) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "HugeWindows";
  ASSERT_NE(RegisterClassA(&wc), 0);
  // No client area of these sizes can be had: the window is refused, not the program ended.
  for (int side : {100000, 20000})
    EXPECT_EQ(CreateWindowExA(0, "HugeWindows", "", WS_BORDER, 0, 0, side, side, nullptr, nullptr, nullptr, nullptr), nullptr)
        << side;
  // A position near the end of the range: the rectangle is held there.
  HWND edge = CreateWindowExA(0, "HugeWindows", "", WS_BORDER, INT_MAX - 10, INT_MIN, 300, 200, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(edge, nullptr);
  RECT r{};
  GetWindowRect(edge, &r);
  EXPECT_EQ(r.left, INT_MAX - 10);
  EXPECT_EQ(r.right, INT_MAX);
  EXPECT_EQ(r.bottom, INT_MIN + 200);
  DestroyWindow(edge);
  UnregisterClassA("HugeWindows", nullptr);
}

TEST(WindowFrameTest, TheFrameAroundTheClientAreaMatchesTheSystemMetrics) {
  EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), 2);
  EXPECT_EQ(GetSystemMetrics(SM_CYEDGE), 2);
  EXPECT_EQ(GetSystemMetrics(SM_CXFIXEDFRAME), 3);
  EXPECT_EQ(GetSystemMetrics(SM_CYFIXEDFRAME), 3);
  EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 23);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);

  // The drawing library's window: the frame sizes it adds to get a 640 x 480 client area.
  const int extraWidth = 2 * (GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXFIXEDFRAME));
  const int extraHeight = 2 * (GetSystemMetrics(SM_CYEDGE) + GetSystemMetrics(SM_CYFIXEDFRAME)) + GetSystemMetrics(SM_CYCAPTION);
  WindowSpec spec;
  spec.x = 150;
  spec.y = 150;
  spec.width = 640 + extraWidth;
  spec.height = 480 + extraHeight;
  WindowThread w(spec);
  RECT client, outer;
  GetClientRect(w.hwnd(), &client);
  GetWindowRect(w.hwnd(), &outer);
  EXPECT_EQ(client.right, 640);
  EXPECT_EQ(client.bottom, 480);
  EXPECT_EQ(outer.left, 150);
  EXPECT_EQ(outer.top, 150);

  // AdjustWindowRectEx agrees with what the window got.
  RECT wanted{0, 0, 640, 480};
  AdjustWindowRectEx(&wanted, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE, WS_EX_CLIENTEDGE);
  EXPECT_EQ(wanted.right - wanted.left, spec.width);
  EXPECT_EQ(wanted.bottom - wanted.top, spec.height);

  // The cursor on the client's top-left pixel is (0, 0) by the drawing library's arithmetic; on the caption y < 0.
  auto clientPosition = [&](POINT cursor) {
    RECT r;
    GetWindowRect(w.hwnd(), &r);
    return POINT{cursor.x - r.left - GetSystemMetrics(SM_CXEDGE) - GetSystemMetrics(SM_CXFIXEDFRAME),
                 cursor.y - r.top - GetSystemMetrics(SM_CYEDGE) - GetSystemMetrics(SM_CYFIXEDFRAME) - GetSystemMetrics(SM_CYCAPTION)};
  };
  winlayer::headless::MoveCursorToClient(w.hwnd(), 0, 0);
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(clientPosition(p).x, 0);
  EXPECT_EQ(clientPosition(p).y, 0);
  winlayer::headless::MoveCursor(outer.left + 100, outer.top + 10);
  GetCursorPos(&p);
  EXPECT_LT(clientPosition(p).y, 0);
}

TEST(WindowFrameTest, AnAdjustedRectangleGivesExactlyTheClientSizeAskedFor) {
  const DWORD style = 0x00CA0000;  // caption, system menu and minimise box
  RECT r{0, 0, 800, 600};
  AdjustWindowRect(&r, style, FALSE);
  WindowSpec spec;
  spec.style = style;
  spec.exStyle = 0;
  spec.x = spec.y = CW_USEDEFAULT;
  spec.width = r.right - r.left;
  spec.height = r.bottom - r.top;
  WindowThread w(spec);
  RECT client;
  GetClientRect(w.hwnd(), &client);
  EXPECT_EQ(client.right, 800);
  EXPECT_EQ(client.bottom, 600);
}

TEST(WindowPaintTest, AShownWindowIsErasedWithItsClassBackground) {
  WindowSpec spec;
  spec.background = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
  WindowThread w(spec);
  ASSERT_TRUE(w.WaitFor(WM_ERASEBKGND));
  SendMessageA(w.hwnd(), WM_NULL, 0, 0);  // the window thread has finished the erase
  const auto frame = winlayer::headless::ClientPixels(w.hwnd());
  ASSERT_GT(frame.width, 0);
  EXPECT_EQ(frame.At(0, 0), GetSysColor(COLOR_MENU));
  EXPECT_EQ(frame.At(frame.width - 1, frame.height - 1), GetSysColor(COLOR_MENU));
}

TEST(WindowPaintTest, APrivateContextKeepsItsStateAndWindowContextsShowTheirWindowsPixels) {
  WindowThread w;  // the class has CS_OWNDC
  HDC a = GetDC(w.hwnd());
  SetTextColor(a, RGB(1, 2, 3));
  ReleaseDC(w.hwnd(), a);
  HDC b = GetDC(w.hwnd());
  EXPECT_EQ(a, b);
  EXPECT_EQ(GetTextColor(b), RGB(1, 2, 3));
  BITMAP bm{};
  GetObjectA(GetCurrentObject(b, OBJ_BITMAP), sizeof bm, &bm);
  RECT client;
  GetClientRect(w.hwnd(), &client);
  EXPECT_EQ(bm.bmWidth, client.right);
  EXPECT_EQ(bm.bmHeight, client.bottom);
  HGDIOBJ surface = GetCurrentObject(b, OBJ_BITMAP);
  DeleteObject(surface);  // the display's surface is not the program's to delete
  EXPECT_EQ(GetObjectType(surface), static_cast<DWORD>(OBJ_BITMAP));
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT r{10, 10, 20, 20};
  FillRect(b, &r, red);
  DeleteObject(red);
  ReleaseDC(w.hwnd(), b);
  EXPECT_EQ(winlayer::headless::ClientPixels(w.hwnd()).At(15, 15), RGB(255, 0, 0));

  WindowSpec plain;
  plain.classStyle = 0;
  WindowThread v(plain);
  ASSERT_TRUE(v.WaitFor(WM_ERASEBKGND));
  SendMessageA(v.hwnd(), WM_NULL, 0, 0);  // its first paint, with a context of its own, is over
  const std::size_t contexts = winlayer::LiveGdiObjects(OBJ_DC);
  HDC c = GetDC(v.hwnd()), d = GetDC(v.hwnd());
  EXPECT_NE(c, d);
  EXPECT_EQ(winlayer::LiveGdiObjects(OBJ_DC), contexts + 2);
  ReleaseDC(v.hwnd(), c);
  ReleaseDC(v.hwnd(), d);
  EXPECT_EQ(winlayer::LiveGdiObjects(OBJ_DC), contexts);
}

TEST(WindowPaintTest, DrawingIntoADestroyedWindowsContextIsHarmless) {
  auto w = std::make_unique<WindowThread>();
  HWND hwnd = w->hwnd();
  HDC dc = GetDC(hwnd);
  w.reset();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(GetDC(hwnd), nullptr);
  Rectangle(dc, 0, 0, 10, 10);  // the context outlives the window's surface without harm
  ReleaseDC(hwnd, dc);
  HDC screen = GetDC(nullptr);
  EXPECT_FALSE(BitBlt(nullptr, 0, 0, 10, 10, screen, 0, 0, SRCCOPY));
  ReleaseDC(nullptr, screen);
}

TEST(MessageBoxTest, BoxesAreRecordedAndAnswered) {
  winlayer::headless::ClearMessageBoxes();
  EXPECT_EQ(MessageBoxA(nullptr, "Window Class registration failed!", "Error!", MB_ICONEXCLAMATION | MB_OK), IDOK);
  winlayer::headless::AnswerMessageBoxesWith([](const winlayer::headless::MessageBoxRecord& r) {
    return (r.type & 0xF) == MB_YESNO ? IDNO : IDOK;
  });
  EXPECT_EQ(MessageBoxA(nullptr, "Nog eens?", "Vraag", MB_YESNO), IDNO);
  winlayer::headless::AnswerMessageBoxesWith(nullptr);
  const auto boxes = winlayer::headless::MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "Window Class registration failed!");
  EXPECT_EQ(boxes[0].caption, "Error!");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(0x30));
  EXPECT_EQ(boxes[1].answer, IDNO);
}

}  // namespace
