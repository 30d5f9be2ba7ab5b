// The click latch's rule, which every build shares, on an injected clock:
// each case is a script of what the system reports and what each poll reads.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/rules/click_latch.h"

namespace {

using namespace std::chrono_literals;
using winlayer::pacing::KeyLatch;
using winlayer::pacing::PollMoment;
using winlayer::pacing::PressWitnesses;
using Clock = winlayer::pacing::Clock;

const Clock::time_point t0 = Clock::time_point{} + 1000s;

// One step of a case: the system's report, the program's present, or a poll and what it must read.
struct Step {
  enum Kind { Press, Release, Present, Poll } kind;
  Clock::duration at;           // from t0
  bool held = false;            // for Poll: what the program must read
  Clock::duration idle = 0ms;   // for Poll: how long the polling thread has not drawn
};
Step Press(Clock::duration at) { return {Step::Press, at}; }
Step Release(Clock::duration at) { return {Step::Release, at}; }
Step Present(Clock::duration at) { return {Step::Present, at}; }
Step Reads(Clock::duration at, bool held, Clock::duration idle = 0ms) { return {Step::Poll, at, held, idle}; }

// Plays the steps; the system's state is what its reports made it.
void Play(const std::vector<Step>& steps) {
  KeyLatch latch;
  bool down = false;
  std::uint64_t presents = 0;
  int n = 0;
  for (const Step& s : steps) {
    ++n;
    switch (s.kind) {
      case Step::Press: latch.Pressed(); down = true; break;
      case Step::Release: latch.Released(); down = false; break;
      case Step::Present: ++presents; break;
      case Step::Poll:
        EXPECT_EQ(latch.Poll(down, PollMoment{t0 + s.at, presents, s.idle}), s.held)
            << "step " << n << ", a poll at " << std::chrono::duration<double, std::milli>(s.at).count() << " ms";
        break;
    }
  }
}

TEST(ClickLatchTest, AQuickClickReadsHeldByEveryPollOfItsFrameAndTheNextForAPersonsClick) {
  // A tap between two polls of a 400 frames/s loop that reads the button twice a frame.
  std::vector<Step> steps{Reads(0ms, false), Press(1ms), Release(1ms)};
  for (int frame = 0; frame < 20; ++frame) {  // 50 ms of frames
    const auto start = 2ms + frame * 2500us;
    steps.push_back(Reads(start, true));          // the field's read
    steps.push_back(Reads(start + 100us, true));  // the sidebar's, in the same frame
    steps.push_back(Present(start + 2400us));
  }
  steps.push_back(Reads(52ms, false));  // a person's click and many frames later: the real state
  steps.push_back(Reads(53ms, false));
  Play(steps);
}

TEST(ClickLatchTest, ASlowFrameLoopSeesAQuickClickForAWholeFrameAfterTheFirstPollThatSawIt) {
  // 10 frames a second: 50 ms is not enough, the next whole frame must see it too.
  Play({Press(0ms), Release(0ms),
        Reads(10ms, true),    // seen first late in a frame
        Present(20ms),
        Reads(120ms, true),   // the whole next frame
        Reads(121ms, true),
        Present(220ms),
        Reads(221ms, false)});
}

TEST(ClickLatchTest, APressHeldLongerReadsAsItIs) {
  Play({Press(0ms), Reads(1ms, true), Present(2ms), Present(5ms), Reads(80ms, true), Release(90ms),
        Reads(91ms, false), Reads(92ms, false)});
  // Held a moment, seen, released early: it lasts a person's click all the same.
  Play({Press(0ms), Reads(1ms, true), Release(5ms), Present(6ms), Present(9ms), Reads(20ms, true),
        Reads(50ms, true), Reads(51ms, false)});
}

TEST(ClickLatchTest, TwoQuickClicksAreTwoClicksEachSeenReleasedBetween) {
  Play({Press(0ms), Release(0ms), Press(1ms), Release(1ms),  // both before any poll
        Reads(2ms, true), Present(3ms), Present(4ms), Reads(30ms, true),
        Reads(53ms, false),  // the first is seen released once
        Reads(54ms, true),   // then the second begins
        Present(55ms), Present(56ms), Reads(100ms, true), Reads(105ms, false), Reads(106ms, false)});
  // The second press comes while the first is still read held, and is held on.
  Play({Press(0ms), Release(0ms), Reads(1ms, true), Present(2ms), Present(3ms), Press(30ms),
        Reads(52ms, false),  // the first is over: released once, although the button is down
        Reads(53ms, true), Present(100ms), Present(150ms), Release(200ms), Reads(201ms, false)});
}

TEST(ClickLatchTest, AWaitForReleaseWithoutFramesEndsAfterAPersonsClick) {
  // The click is taken, then a loop that only polls waits for the release: no
  // frame will come, so a person's click length is enough; the click is taken once.
  Play({Press(0ms), Release(0ms), Reads(1ms, true, 0ms), Reads(20ms, true, 19ms), Reads(50ms, true, 49ms),
        Reads(52ms, false, 51ms), Reads(60ms, false, 59ms)});
  // A press before the program polls at all, then held for long: as it is.
  Play({Press(0ms), Reads(100ms, true, 100ms), Reads(200ms, true, 200ms), Release(250ms), Reads(251ms, false, 251ms)});
}

TEST(ClickLatchTest, ABurstOfSyntheticClicksIsBoundedNotAQueueWithoutEnd) {
  std::vector<Step> steps;
  for (int i = 0; i < 100; ++i) {
    steps.push_back(Press(0ms));
    steps.push_back(Release(0ms));
  }
  // Each click read takes a person's click and one poll seen released.
  auto at = 1ms;
  for (int click = 0; click < KeyLatch::kMostWaitingPresses; ++click) {
    steps.push_back(Reads(at, true, 60ms));
    steps.push_back(Reads(at + 51ms, false, 60ms));
    at += 52ms;
  }
  steps.push_back(Reads(at, false, 60ms));
  Play(steps);
}

TEST(PressWitnessesTest, APressToldOfByBothWitnessesInEitherOrderCountsOnce) {
  using W = PressWitnesses::Witness;
  PressWitnesses w;
  EXPECT_TRUE(w.Report(W::Message, t0));
  EXPECT_FALSE(w.Report(W::Poll, t0 + 1ms));  // the poll saw the same press
  EXPECT_TRUE(w.Report(W::Poll, t0 + 100ms));
  EXPECT_FALSE(w.Report(W::Message, t0 + 101ms));  // its message came after the poll saw it
  // Two quick clicks whose messages come before any poll; the poll's bit tells of one.
  EXPECT_TRUE(w.Report(W::Message, t0 + 200ms));
  EXPECT_TRUE(w.Report(W::Message, t0 + 210ms));
  EXPECT_FALSE(w.Report(W::Poll, t0 + 211ms));
  // A press only one witness saw (its bit taken by another process) does not
  // swallow a press long after.
  EXPECT_TRUE(w.Report(W::Poll, t0 + 2s + PressWitnesses::kSamePress + 1ms));
}

TEST(PressWitnessesTest, APollThatTellsOfAPressLateIsNotASecondPress) {
  using W = PressWitnesses::Witness;
  PressWitnesses w;
  // Under Wine, while the program loads its next screen, the poll's bit came 1.6 s after the message.
  EXPECT_TRUE(w.Report(W::Message, t0));
  EXPECT_FALSE(w.Report(W::Poll, t0 + 1600ms));
  EXPECT_TRUE(w.Report(W::Message, t0 + 3s));  // the next click
  EXPECT_FALSE(w.Report(W::Poll, t0 + 3s + 1ms));
}

}  // namespace
