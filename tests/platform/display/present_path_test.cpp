// The present path, through the headless display: which drawing calls are
// presents, and a window's surface let go when the window goes.
#include <gtest/gtest.h>
#include <winlayer/display.h>
#include <winlayer/frame_rate.h>
#include <winlayer/headless.h>

#include <cstdint>
#include <vector>

#include "window_thread.h"

namespace {

class PresentPathTest : public testing::Test {
 protected:
  testing_support::WindowThread window_;
  std::vector<HWND> presented_;
  int callback_ = winlayer::headless::AddPresentCallback([this](HWND w) { presented_.push_back(w); });
  ~PresentPathTest() override { winlayer::headless::RemovePresentCallback(callback_); }
};

TEST_F(PresentPathTest, APresentIsOneDrawingCallThatChangedTheWindowsPixels) {
  UpdateWindow(window_.hwnd());  // the window's own first paint, a present too, before the counting
  HDC dc = GetDC(window_.hwnd());
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 50, 50);
  HGDIOBJ old = SelectObject(memory, bitmap);
  const std::uint64_t before = winlayer::PresentCount();
  presented_.clear();

  const RECT r{0, 0, 20, 20};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));  // one call: one present
  BitBlt(dc, 5, 5, 40, 40, memory, 0, 0, SRCCOPY);                     // one more
  EXPECT_EQ(winlayer::PresentCount() - before, 2u);
  EXPECT_EQ(presented_, (std::vector<HWND>{window_.hwnd(), window_.hwnd()}));

  // Drawing into memory, reading pixels, and calls that draw nothing are no presents.
  FillRect(memory, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  GetPixel(dc, 1, 1);
  FillRect(dc, nullptr, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(winlayer::PresentCount() - before, 2u);
  EXPECT_EQ(winlayer::headless::ClientPixel(window_.hwnd(), 1, 1), RGB(255, 255, 255));  // the surface shown

  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window_.hwnd(), dc);
}

TEST(PresentPathWindowTest, TheDisplayLetsGoOfASurfaceWhenItsWindowGoes) {
  HWND gone;
  {
    testing_support::WindowThread window;
    gone = window.hwnd();
    EXPECT_GT(winlayer::headless::ClientPixels(gone).width, 0);
  }
  EXPECT_EQ(winlayer::headless::ClientPixels(gone).width, 0);
  EXPECT_EQ(winlayer::headless::ClientPixel(gone, 0, 0), CLR_INVALID);
  // The headless display is never paced without the variable.
  EXPECT_EQ(winlayer::FrameRate(), 0);
}

}  // namespace
