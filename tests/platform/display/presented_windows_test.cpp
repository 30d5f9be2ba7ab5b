// The display thread's record of presented windows: when a present wakes
// it, and when a copy to the screen is due.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "platform/display/presented_windows.h"

namespace {

using namespace std::chrono_literals;

// A display thread is woken by the first present after it looked, and not
// while it sleeps until its next copy, which takes every present made since.
TEST(PresentedWindowsTest, OnlyAPresentTheDisplayThreadWouldMissWakesIt) {
  winlayer::display::PresentedWindows presented;
  HWND a = reinterpret_cast<HWND>(1), b = reinterpret_cast<HWND>(2);
  EXPECT_TRUE(presented.Add(a));
  EXPECT_FALSE(presented.Add(b));  // woken already
  EXPECT_FALSE(presented.ReadyToSleep(false));  // it has not taken them yet
  EXPECT_EQ(presented.Take(), (std::vector<HWND>{a, b}));
  EXPECT_TRUE(presented.Take().empty());
  EXPECT_TRUE(presented.ReadyToSleep(true));  // asleep until its next copy
  EXPECT_FALSE(presented.Add(a));
  EXPECT_FALSE(presented.Add(a));
  EXPECT_EQ(presented.Take(), (std::vector<HWND>{a, a}));
  EXPECT_TRUE(presented.ReadyToSleep(false));  // asleep with nothing to copy
  EXPECT_TRUE(presented.Add(b));
}

TEST(PresentedWindowsTest, CopiesAtMostOncePerRefreshAndStartAnewAfterAPause) {
  winlayer::display::PresentedWindows presented;
  presented.SetRefreshPeriod(10ms);
  const auto start = winlayer::display::PresentedWindows::Clock::time_point{} + 1000s;
  EXPECT_TRUE(presented.CopyDue(start));
  EXPECT_FALSE(presented.CopyDue(start + 5ms));
  EXPECT_EQ(presented.NextCopy(), start + 10ms);
  EXPECT_TRUE(presented.CopyDue(start + 10ms));
  EXPECT_TRUE(presented.CopyDue(start + 25ms));  // late, but within a period: the schedule holds
  EXPECT_EQ(presented.NextCopy(), start + 30ms);
  EXPECT_TRUE(presented.CopyDue(start + 100ms));  // after a pause: a period from now
  EXPECT_EQ(presented.NextCopy(), start + 110ms);
}

}  // namespace
