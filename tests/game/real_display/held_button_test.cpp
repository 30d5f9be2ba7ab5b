// The game on a real (virtual) X server: a window closed while a mouse button
// is held leaves the game waiting for the release, and the release, seen with
// no window left, lets the waiting screen end; xdotool's instant clicks
// choose a weapon and fire it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "BrannowayLib.h"
#include "OperationBrannoway.h"
#include "match.h"
#include "square_pixel.h"
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

// xdotool's click is a press and its release at once, as remote desktops and
// accessibility tools send them: on the radar's button, then on a square of
// the enemy field, it fires the radar there.
TEST_F(HeldButtonTest, InstantClicksOnTheRadarButtonAndTheEnemyFieldFireTheRadar) {
  Match m(PlayerVsPlayer);
  ASSERT_TRUE(m.Prepare());
  for (std::uint32_t p = 1; p <= 2; ++p)
    for (std::uint32_t k = 1; k <= 4; ++k) {
      m.Schepen[p][k] = BrannowayProcs::ShipAt({static_cast<std::int32_t>(2 * k - 1), static_cast<std::int32_t>(k)},
                                              BrannowayProcs::Verticaal, static_cast<std::uint8_t>(k + 1));
      BrannowayProcs::MaakSchip(m.Schepen[p][k], m.Veld[p]);
    }
  // Square (8, 5) of player 2's field while player 1 aims: the camera is on player 2's side.
  const POINT aim = testing_support::SquarePixel(m, 2, 2, 8, 5);
  m.DraaiCameraNaar(1, 3);
  HWND window = FindWindowA(nullptr, "OperationBrannoway");
  POINT radar{601, 228}, square = aim;
  ClientToScreen(window, &radar);
  ClientToScreen(window, &square);
  const auto moveTo = [](POINT p) { RunCommand("xdotool mousemove --sync " + std::to_string(p.x) + " " + std::to_string(p.y)); };
  const auto clickAt = [&](POINT p) {
    moveTo(p);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the frames see the pointer there
    RunCommand("xdotool click 1");
    // The click reads as held for a person's click: a pointer that moved on at once would carry it along.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  };
  // What the window shows at the aimed square: the target pattern is magenta
  // while the player aims, and gone once the shot has begun.
  const auto aimShows = [&](bool pattern) {
    return WaitUntil([&] {
      HDC dc = GetDC(window);
      const bool magenta = GetPixel(dc, aim.x, aim.y) == RGB(255, 0, 255);
      ReleaseDC(window, dc);
      return magenta == pattern;
    }, 25000);
  };
  bool aimed = false, fired = false;
  std::thread player([&] {
    moveTo(square);
    aimed = aimShows(true);  // the flight is over: the choice has begun
    clickAt(radar);
    clickAt(square);
    fired = aimShows(false);
    // The sweep has begun; a close ends it early (a choice that never ended would fire where the mouse is).
    testing_support::SendCloseRequest("OperationBrannoway");
  });
  runtime::Array<POINT, 0, 4> doel{};
  std::uint32_t wapen = 0;
  m.KiesSchieten(1, doel, wapen);
  player.join();
  EXPECT_TRUE(aimed) << "the target choice never began";
  EXPECT_TRUE(fired) << "the clicks fired nothing";
  EXPECT_EQ(wapen, 2u);
  EXPECT_EQ(doel[0].x, 8);
  EXPECT_EQ(doel[0].y, 5);
  EXPECT_EQ(m.Wapenlijst[1][2].AantalResterend, 1u);  // one of the radar's two spent
  m.Finish();
}

}  // namespace
