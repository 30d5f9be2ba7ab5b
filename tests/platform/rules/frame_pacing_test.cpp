// The layer's pacing: the frame limiter's schedule and how its rate is
// chosen, the nap of waiting loops, both on an injected clock, the wait that
// input ends, the displays' copies to the screen, and the present path
// through the headless display.
#include <gtest/gtest.h>
#include <winlayer/display.h>
#include <winlayer/frame_rate.h>
#include <winlayer/headless.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/rules/frame_limiter.h"
#include "platform/rules/frame_rate.h"
#include "platform/rules/poll_pacing.h"

namespace {

using namespace std::chrono_literals;
using winlayer::pacing::ChooseFrameRate;
using winlayer::pacing::FrameLimiter;
using winlayer::pacing::FrameRateInputs;
using winlayer::pacing::ParseFrameRate;
using winlayer::pacing::PollPacer;

const FrameLimiter::Clock::time_point t0 = FrameLimiter::Clock::time_point{} + 1000s;

TEST(FrameLimiterTest, SlotsFollowAnAbsoluteSchedule) {
  FrameLimiter limiter(400);
  EXPECT_EQ(limiter.Period(), 2500us);
  EXPECT_EQ(limiter.Slot(t0), t0);  // the first present goes at once
  // A quick frame waits for its slot; a slow one (within a period) goes at once and the schedule holds.
  EXPECT_EQ(limiter.Slot(t0 + 100us), t0 + 2500us);
  EXPECT_EQ(limiter.Slot(t0 + 2600us), t0 + 5000us);
  EXPECT_EQ(limiter.Slot(t0 + 8000us), t0 + 7500us);  // late by 0.5 ms: no wait, no drift
  EXPECT_EQ(limiter.Slot(t0 + 8100us), t0 + 10000us);
  // 1000 frames paced from t0 end exactly 999 periods later.
  FrameLimiter paced(400);
  FrameLimiter::Clock::time_point last{};
  for (int i = 0; i < 1000; ++i) last = paced.Slot(i == 0 ? t0 : last + 300us);
  EXPECT_EQ(last, t0 + 999 * 2500us);
}

TEST(FrameLimiterTest, APresentAFewPeriodsLateKeepsTheSchedule) {
  FrameLimiter limiter(400);
  limiter.Slot(t0);
  // Woken 9 ms late: this present and the next three go at once, then the schedule holds.
  EXPECT_EQ(limiter.Slot(t0 + 11500us), t0 + 2500us);
  for (int i = 2; i <= 4; ++i) EXPECT_EQ(limiter.Slot(t0 + 11600us), t0 + i * 2500us);
  EXPECT_EQ(limiter.Slot(t0 + 11700us), t0 + 12500us);
  // 500 frames with five late wake-ups among them still end 499 periods after the first.
  FrameLimiter paced(400);
  FrameLimiter::Clock::time_point last{};
  for (int i = 0; i < 500; ++i) last = paced.Slot(i == 0 ? t0 : last + (i % 100 == 50 ? 9ms : 300us));
  EXPECT_EQ(last, t0 + 499 * 2500us);
}

TEST(FrameLimiterTest, FallingBehindStartsANewScheduleInsteadOfRacing) {
  FrameLimiter limiter(100);  // 10 ms
  limiter.Slot(t0);
  EXPECT_EQ(limiter.Slot(t0 + 1ms), t0 + 10ms);
  // More than four periods behind: a new schedule from now.
  EXPECT_EQ(limiter.Slot(t0 + 61ms), t0 + 61ms);
  EXPECT_EQ(limiter.Slot(t0 + 62ms), t0 + 71ms);
  // A pause of half a second: the next present goes now, and the ones after it are paced from there.
  EXPECT_EQ(limiter.Slot(t0 + 500ms), t0 + 500ms);
  EXPECT_EQ(limiter.Slot(t0 + 501ms), t0 + 510ms);
  EXPECT_EQ(limiter.Slot(t0 + 511ms), t0 + 520ms);
}

TEST(FrameLimiterTest, ZeroIsNoLimit) {
  FrameLimiter limiter(0);
  EXPECT_TRUE(limiter.Unlimited());
  for (auto at : {t0, t0 + 1us, t0 + 2us}) EXPECT_EQ(limiter.Slot(at), at);
}

TEST(FrameRateTest, TheVariableTakesWholeNumbersFromZeroTo100000) {
  EXPECT_EQ(ParseFrameRate("0"), 0);
  EXPECT_EQ(ParseFrameRate("400"), 400);
  EXPECT_EQ(ParseFrameRate("100000"), 100000);
  EXPECT_EQ(ParseFrameRate("00060"), 60);
  for (const char* bad : {"", "100001", "99999999999999999999", "-1", "+5", "60.5", "60 ", " 60", "sixty", "6e2"})
    EXPECT_EQ(ParseFrameRate(bad), std::nullopt) << '"' << bad << '"';
}

TEST(FrameRateTest, TheVariableThenTheProgramsDefaultThenNoLimit) {
  auto choose = [](const char* variable, int programDefault, bool pacesByDefault, std::string* complaint = nullptr) {
    FrameRateInputs in;
    in.variable = variable;
    in.programDefault = programDefault;
    in.pacesByDefault = pacesByDefault;
    in.refreshRate = 75;
    return ChooseFrameRate(in, complaint);
  };
  EXPECT_EQ(choose(nullptr, 400, true), 400);
  EXPECT_EQ(choose(nullptr, 0, true), 0);
  EXPECT_EQ(choose(nullptr, winlayer::kScreenRefreshRate, true), 75);
  EXPECT_EQ(choose("200", 400, true), 200);
  EXPECT_EQ(choose("0", 400, true), 0);
  EXPECT_EQ(choose("", 400, true), 400);  // set but empty: as unset
  // The headless display paces only when the variable asks it to.
  EXPECT_EQ(choose(nullptr, 400, false), 0);
  EXPECT_EQ(choose("200", 400, false), 200);

  std::string complaint;
  EXPECT_EQ(choose("fast", 400, true, &complaint), 400);
  EXPECT_NE(complaint.find("WINLAYER_FRAME_RATE"), std::string::npos) << complaint;
  EXPECT_NE(complaint.find("\"fast\""), std::string::npos) << complaint;
  EXPECT_NE(complaint.find("100000"), std::string::npos) << complaint;
  EXPECT_EQ(complaint.find('\n'), std::string::npos);  // one line
  complaint.clear();
  EXPECT_EQ(choose("400", 60, true, &complaint), 400);
  EXPECT_TRUE(complaint.empty());
}

TEST(PollPacerTest, AThreadThatOnlyPollsNapsAfterTwoMillisecondsLongerAndLonger) {
  PollPacer pacer;
  EXPECT_EQ(pacer.Poll(t0), 0us);  // the first poll starts the grace
  EXPECT_EQ(pacer.Poll(t0 + 1ms), 0us);
  EXPECT_EQ(pacer.Poll(t0 + 2ms), 0us);
  EXPECT_EQ(pacer.Poll(t0 + 2100us), PollPacer::kFirstNap);
  EXPECT_EQ(pacer.Poll(t0 + 3ms), 2 * PollPacer::kFirstNap);
  EXPECT_EQ(pacer.Poll(t0 + 4ms), 4 * PollPacer::kFirstNap);
  for (int poll = 0; poll < 10; ++poll) pacer.Poll(t0 + 5ms + poll * 1ms);
  EXPECT_EQ(pacer.Poll(t0 + 50ms), PollPacer::kLongestNap);  // and no longer
  EXPECT_EQ(pacer.IdleFor(t0 + 60ms), 60ms);
}

TEST(PollPacerTest, DrawingOrPresentingEndsTheNapsAndAFrameLoopNeverNaps) {
  PollPacer pacer;
  pacer.Poll(t0);
  for (int poll = 1; poll <= 20; ++poll) pacer.Poll(t0 + poll * 10ms);
  EXPECT_EQ(pacer.Poll(t0 + 210ms), PollPacer::kLongestNap);
  pacer.Worked();
  EXPECT_EQ(pacer.IdleFor(t0 + 211ms), 0us);
  EXPECT_EQ(pacer.Poll(t0 + 211ms), 0us);
  EXPECT_EQ(pacer.Poll(t0 + 212ms), 0us);
  EXPECT_EQ(pacer.Poll(t0 + 214ms), PollPacer::kFirstNap);  // after the grace, short naps again
  pacer.Worked();
  // A slow frame loop: each pass polls three times, then draws for 5 ms.
  for (int pass = 0; pass < 100; ++pass) {
    const auto start = t0 + 220ms + pass * 5ms;
    for (int poll = 1; poll <= 3; ++poll) EXPECT_EQ(pacer.Poll(start + poll * 10us), 0us);
    pacer.Worked();
  }
}

// The nap's wait, for real: a notice ends it at once, and a notice that came
// before the wait began is not waited for.
TEST(InputSignalTest, ANoticeEndsAWaitAndANoticeBeforeItNeedsNoWait) {
  winlayer::pacing::InputSignal signal;
  const auto seen = signal.Notices();
  signal.Notify();
  const auto before = std::chrono::steady_clock::now();
  signal.WaitUntil(before + 1h, seen);  // returns at once: a notice came after `seen`
  std::thread notifier([&] {
    std::this_thread::sleep_for(20ms);
    signal.Notify();
  });
  signal.WaitUntil(std::chrono::steady_clock::now() + 1h, signal.Notices());  // only the notice ends it
  notifier.join();
  EXPECT_EQ(signal.Notices(), seen + 2);
  const auto start = std::chrono::steady_clock::now();
  signal.WaitUntil(start + 5ms, signal.Notices());  // nothing comes: until the moment
  EXPECT_GE(std::chrono::steady_clock::now() - start, 5ms);
}

}  // namespace
