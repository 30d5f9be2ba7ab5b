// The SDL display on a large screen (ctest starts the X server at 2560 x
// 1440): a 640 x 480 window is shown enlarged by the largest whole factor
// that fits, or by WINLAYER_SCALE's, each client pixel as a block of
// factor × factor screen pixels, and the mouse anywhere in a block is on
// that block's client pixel. The program's own view stays unscaled.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>
#include <vector>

#include "window_thread.h"
#include "eventually.h"
#include "xvfb.h"

namespace {

using testing_support::Eventually;
using testing_support::Received;
using testing_support::RunCommand;
using testing_support::ScreenShot;
using testing_support::TakeScreenShot;
using testing_support::WindowSpec;
using testing_support::WindowThread;

constexpr int kWidth = 640, kHeight = 480;
constexpr const char* kTitle = "Groot scherm";

// 2 on the 2560 x 1440 screen (3 would need 1440 rows for the client area
// alone), unless the run asks for another.
int ExpectedScale() {
  const char* asked = std::getenv("WINLAYER_SCALE");
  return asked && *asked ? std::atoi(asked) : 2;
}

// A different colour for every client pixel.
COLORREF PatternAt(int x, int y) { return RGB(x & 0xFF, y & 0xFF, (x >> 8) << 4 | (y >> 8) | 0x80); }

class SdlScalingTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!testing_support::TestServer().Running())
      GTEST_SKIP() << "no X server for the real display: " << testing_support::TestServer().Why();
    if (GetSystemMetrics(SM_CXSCREEN) != 2560 || GetSystemMetrics(SM_CYSCREEN) != 1440)
      GTEST_SKIP() << "needs a 2560 x 1440 screen (TEST_XVFB_SCREEN=2560x1440x24, as ctest sets)";
    WindowSpec spec;
    spec.x = 300;
    spec.y = 200;
    spec.width = kWidth + 10;  // the frame of the spec's style: 5 a side, 33 above and below together
    spec.height = kHeight + 33;
    spec.title = kTitle;
    window_ = std::make_unique<WindowThread>(spec);
    ASSERT_TRUE(IsWindow(window_->hwnd()));
    ClientToScreen(window_->hwnd(), &origin_);
    ASSERT_TRUE(Eventually([&] { return testing_support::ShownArea(kTitle, shown_); }));
  }

  // Presents the pattern a few times, as a program's loop does.
  void PresentPattern() {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP pattern = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(pattern, nullptr);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const COLORREF c = PatternAt(x, y);
        pixels[y * kWidth + x] = GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
      }
    HDC screen = GetDC(window_->hwnd());
    HDC source = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(source, pattern);
    for (int i = 0; i < 10; ++i) {
      BitBlt(screen, 0, 0, kWidth, kHeight, source, 0, 0, SRCCOPY);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    SelectObject(source, old);
    DeleteDC(source);
    ReleaseDC(window_->hwnd(), screen);
    DeleteObject(pattern);
  }

  std::unique_ptr<WindowThread> window_;
  POINT origin_{0, 0};  // the client area's corner, as the program sees it
  RECT shown_{};        // the client area on the X server's screen
};

// Both ways of asking a context for the screen's size give the real screen's.
TEST_F(SdlScalingTest, TheDeviceCapsOfAContextAgreeWithTheSystemMetrics) {
  HDC screen = GetDC(nullptr);
  HDC window = GetDC(window_->hwnd());
  for (HDC dc : {screen, window}) {
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 2560);
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 1440);
  }
  ReleaseDC(window_->hwnd(), window);
  ReleaseDC(nullptr, screen);
}

TEST_F(SdlScalingTest, EachClientPixelIsShownAsAScaleByScaleBlock) {
  const int n = ExpectedScale();
  EXPECT_EQ(shown_.right - shown_.left, kWidth * n);
  EXPECT_EQ(shown_.bottom - shown_.top, kHeight * n);
  // The program's view of its window is unscaled.
  RECT client{}, outer{};
  GetClientRect(window_->hwnd(), &client);
  GetWindowRect(window_->hwnd(), &outer);
  EXPECT_EQ(client.right, kWidth);
  EXPECT_EQ(client.bottom, kHeight);
  EXPECT_EQ(outer.right - outer.left, kWidth + 10);
  EXPECT_EQ(outer.left, 300);

  PresentPattern();
  ScreenShot shot;
  ASSERT_TRUE(Eventually([&] {
    shot = TakeScreenShot();
    return shot.width > 0 && shot.At(shown_.right - 1, shown_.bottom - 1) == PatternAt(kWidth - 1, kHeight - 1);
  }));
  int wrong = 0;
  for (int y = 0; y < kHeight * n; ++y)
    for (int x = 0; x < kWidth * n; ++x)
      if (shot.At(shown_.left + x, shown_.top + y) != PatternAt(x / n, y / n) && ++wrong <= 5)
        ADD_FAILURE() << "screen pixel (" << x << ", " << y << ") of the window is not client pixel (" << x / n << ", "
                      << y / n << ")";
  EXPECT_EQ(wrong, 0);
}

// The screen gets only the part of a window changed since its last copy:
// small changes here and there, each presented, leave the whole window on
// the screen as the program's pixels are.
TEST_F(SdlScalingTest, SmallChangesReachTheScreenAndNothingElseIsLost) {
  const int n = ExpectedScale();
  PresentPattern();
  HDC dc = GetDC(window_->hwnd());
  std::uint32_t seed = 99;
  const auto random = [&seed](int below) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(below));
  };
  for (int i = 0; i < 60; ++i) {
    const int x = random(kWidth), y = random(kHeight);
    const RECT spot{x, y, x + 1 + random(40), y + 1 + random(30)};
    HBRUSH brush = CreateSolidBrush(RGB(random(256), random(256), random(256)));
    FillRect(dc, &spot, brush);
    DeleteObject(brush);
    if (i % 7 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));  // some changes land in separate copies
  }
  std::vector<COLORREF> client(static_cast<std::size_t>(kWidth) * kHeight);
  int wrong = 0;
  ASSERT_TRUE(Eventually([&] {
    const ScreenShot shot = TakeScreenShot();
    if (shot.width == 0) return false;
    // What the program's window holds now (its own paint may come late), row by row.
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) client[static_cast<std::size_t>(y) * kWidth + x] = GetPixel(dc, x, y);
    wrong = 0;
    for (int y = 0; y < kHeight * n; ++y)
      for (int x = 0; x < kWidth * n; ++x)
        wrong += shot.At(shown_.left + x, shown_.top + y) != client[static_cast<std::size_t>(y / n) * kWidth + x / n];
    return wrong == 0;
  }, 5000)) << wrong << " screen pixels differ from the window's";
  ReleaseDC(window_->hwnd(), dc);
}

TEST_F(SdlScalingTest, TheMouseOnABlocksLastRowAndColumnIsOnThatClientPixel) {
  const int n = ExpectedScale();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the window is mapped
  for (const POINT pixel : {POINT{10, 20}, POINT{0, 0}, POINT{kWidth - 1, kHeight - 1}, POINT{kWidth - 1, 0}}) {
    SCOPED_TRACE("client pixel (" + std::to_string(pixel.x) + ", " + std::to_string(pixel.y) + ")");
    const int screenX = shown_.left + pixel.x * n + n - 1, screenY = shown_.top + pixel.y * n + n - 1;
    window_->ClearMessages();
    RunCommand("xdotool mousemove --sync " + std::to_string(screenX) + " " + std::to_string(screenY) + " click 1");
    ASSERT_TRUE(window_->WaitFor(WM_LBUTTONUP));
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, origin_.x + pixel.x);
    EXPECT_EQ(cursor.y, origin_.y + pixel.y);
    for (const Received& r : window_->Messages())
      if (r.message == WM_LBUTTONDOWN) {
        EXPECT_EQ(GET_X_LPARAM(r.lParam), pixel.x);
        EXPECT_EQ(GET_Y_LPARAM(r.lParam), pixel.y);
      }
  }
  // One screen pixel right of the window: the first pixel beyond the client area.
  RunCommand("xdotool mousemove --sync " + std::to_string(shown_.right) + " " + std::to_string(shown_.top));
  EXPECT_TRUE(Eventually([&] {
    POINT cursor{};
    GetCursorPos(&cursor);
    return cursor.x == origin_.x + kWidth && cursor.y == origin_.y;
  }));
}

}  // namespace
