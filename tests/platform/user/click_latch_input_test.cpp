// The click latch as the programs meet it: a click that comes and goes
// between two polls reads held for as long as a person's click, and two
// clicks are two.
#include <gtest/gtest.h>
#include <winlayer/headless.h>

#include <chrono>

#include "read_held.h"
#include "window_thread.h"

namespace {

namespace headless = winlayer::headless;
using testing_support::ReadHeldFor;
using testing_support::WindowThread;

class ClickLatchInputTest : public testing::Test {
 protected:
  void TearDown() override {
    for (int b : {VK_LBUTTON, VK_RBUTTON}) {
      headless::ReleaseButton(b);
      ReadHeldFor(b);  // a click still read as held would be the next test's
    }
  }
};

constexpr auto kPersonsClick = std::chrono::milliseconds(50);

TEST_F(ClickLatchInputTest, AClickBetweenTwoPollsReadsHeldForAPersonsClickAndTwoClicksAreTwo) {
  WindowThread w;
  headless::MoveCursorToClient(w.hwnd(), 10, 10);
  EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON), 0);
  headless::PressButton(VK_LBUTTON);
  headless::ReleaseButton(VK_LBUTTON);
  EXPECT_LT(GetKeyState(VK_LBUTTON), 0);         // every read of the program sees it held
  EXPECT_LT(GetAsyncKeyState(VK_LBUTTON), -1);
  EXPECT_LT(GetAsyncKeyState(VK_LBUTTON), -1);
  EXPECT_EQ(GetAsyncKeyState(VK_RBUTTON), 0);    // each button keeps its own
  EXPECT_GE(ReadHeldFor(VK_LBUTTON), kPersonsClick - std::chrono::milliseconds(2));
  EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON), 0);    // then the real state

  // Two clicks between two polls: two clicks, each read held, then released once.
  headless::Click(VK_RBUTTON);
  headless::Click(VK_RBUTTON);
  EXPECT_LT(GetAsyncKeyState(VK_RBUTTON), -1);
  ReadHeldFor(VK_RBUTTON);
  EXPECT_LT(GetAsyncKeyState(VK_RBUTTON), -1);
  ReadHeldFor(VK_RBUTTON);
  EXPECT_EQ(GetAsyncKeyState(VK_RBUTTON), 0);

  // A press that a poll saw, released at once: it lasts a person's click too.
  headless::PressButton(VK_LBUTTON);
  EXPECT_LT(GetAsyncKeyState(VK_LBUTTON), -1);
  headless::ReleaseButton(VK_LBUTTON);
  EXPECT_LT(GetAsyncKeyState(VK_LBUTTON), -1);
  ReadHeldFor(VK_LBUTTON);
  EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON), 0);

  // A key held down repeats without pressing it anew; its quick press reads as long as a click.
  headless::PressKey('Q');
  EXPECT_LT(GetAsyncKeyState('Q'), -1);
  headless::PressKey('Q');
  headless::ReleaseKey('Q');
  EXPECT_LT(GetKeyState('Q'), 0);
  ReadHeldFor('Q');
  EXPECT_EQ(GetAsyncKeyState('Q'), 0);
  EXPECT_EQ(GetKeyState('Q'), 0);
}

}  // namespace
