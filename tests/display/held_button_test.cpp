// The game on a real (virtual) X server: a window closed while a mouse button
// is held leaves the game waiting for the release, and the release, seen with
// no window left, lets the waiting screen end.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "BrannowayLib.h"
#include "OperationBrannoway.h"
#include "match.h"
#include "xvfb.h"

namespace {

using namespace OperationBrannoway;
using testing_support::RunCommand;

bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 5000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!condition())
    if (std::chrono::steady_clock::now() > end) return false;
    else std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return true;
}

// While `screen` runs on this thread: the button goes down over the window,
// the window is closed, then the button comes up. The screen must end then.
void HoldCloseAndRelease(const std::function<void()>& screen) {
  HWND window = FindWindowA(nullptr, "OperationBrannoway");
  ASSERT_NE(window, nullptr);
  POINT centre{320, 240};
  ClientToScreen(window, &centre);
  std::promise<bool> closedWhileHeld;
  std::thread player([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the screen is up
    RunCommand("xdotool mousemove --sync " + std::to_string(centre.x) + " " + std::to_string(centre.y) +
               " mousedown 1");
    WaitUntil([] { return BrannowayLib::Muisklik() == 1; });
    testing_support::SendCloseRequest("OperationBrannoway");
    const bool closed = WaitUntil([] { return !BrannowayLib::VensterBestaat(); });
    closedWhileHeld.set_value(closed && BrannowayLib::Muisklik() == 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the screen waits for the release
    RunCommand("xdotool mouseup 1");
  });
  screen();  // returns only once the release was seen
  player.join();
  EXPECT_TRUE(closedWhileHeld.get_future().get());
  EXPECT_EQ(BrannowayLib::Muisklik(), 0u);
}

class HeldButtonTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!testing_support::TestServer().Running()) GTEST_SKIP() << "no X server for the real display: " << testing_support::TestServer().Why();
    Start();
    ASSERT_TRUE(BrannowayLib::VensterBestaat());
  }
};

TEST_F(HeldButtonTest, TheInstructionsEndWhenTheButtonIsReleasedAfterTheWindowClosed) {
  HoldCloseAndRelease([] { Instructions(); });
}

TEST_F(HeldButtonTest, TheWinScreenEndsWhenTheButtonIsReleasedAfterTheWindowClosed) {
  Match m(PlayerVsPlayer);
  ASSERT_TRUE(m.Prepare());
  HoldCloseAndRelease([&] { m.WinScreen(); });
  m.Finish();
}

}  // namespace
