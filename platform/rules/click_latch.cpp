#include "click_latch.h"

#include <algorithm>

#include "poll_pacing.h"
#include "present_pacing.h"

namespace winlayer::pacing {

void KeyLatch::Pressed() { waiting_ = std::min(waiting_ + 1, kMostWaitingPresses); }

void KeyLatch::Released() {
  if (reading_) released_ = true;
}

bool KeyLatch::LongEnough(const PollMoment& at) const {
  const bool wholeFrame = at.presents - presentsAtFirstSight_ >= kPresentsOfAWholeFrame;
  const bool noFrameComing = at.pollerIdle >= kShortestClick;
  return at.now - firstSeen_ >= kShortestClick && (wholeFrame || noFrameComing);
}

bool KeyLatch::Poll(bool down, const PollMoment& at) {
  if (!reading_) {
    if (waiting_ == 0 && !down) return false;
    if (waiting_ > 0) --waiting_;  // else held since before anything told of it: read as it is
    reading_ = true;
    released_ = !down;
    firstSeen_ = at.now;
    presentsAtFirstSight_ = at.presents;
    return true;
  }
  if (!down) released_ = true;
  if (!LongEnough(at)) return true;
  if (down && !released_ && waiting_ == 0) return true;  // held longer: read as it is
  reading_ = false;  // seen released; a press that came meanwhile is read from the next poll on
  return false;
}

void KeyLatches::Pressed(int virtualKey) {
  std::lock_guard guard(lock_);
  keys_[static_cast<std::size_t>(virtualKey & 0xFF)].Pressed();
}

void KeyLatches::Released(int virtualKey) {
  std::lock_guard guard(lock_);
  keys_[static_cast<std::size_t>(virtualKey & 0xFF)].Released();
}

bool KeyLatches::Poll(int virtualKey, bool down, PollMoment (*moment)()) {
  std::lock_guard guard(lock_);
  KeyLatch& key = keys_[static_cast<std::size_t>(virtualKey & 0xFF)];
  if (!down && key.Idle()) return false;  // the common case of a frame loop: keep it cheap
  return key.Poll(down, moment());
}

bool KeyLatches::Settled() {
  std::lock_guard guard(lock_);
  return std::all_of(keys_.begin(), keys_.end(), [](const KeyLatch& k) { return k.Settled(); });
}

KeyLatches& Latches() {
  static KeyLatches* const latches = new KeyLatches;  // never destroyed, as the input it serves
  return *latches;
}

bool PollLatch(int virtualKey, bool down) {
  return Latches().Poll(virtualKey, down, [] {
    const auto now = Clock::now();
    return PollMoment{now, winlayer::PresentCount(), ThreadIdleFor(now)};
  });
}

bool PressWitnesses::Report(Witness who, Clock::time_point at) {
  if (unmatched_.count > 0 && at - unmatched_.last > kSamePress) unmatched_.count = 0;
  if (unmatched_.count > 0 && unmatched_.who != who) {
    --unmatched_.count;  // the press the other witness told of
    return false;
  }
  unmatched_.who = who;
  unmatched_.count = std::min(unmatched_.count + 1, KeyLatch::kMostWaitingPresses);
  unmatched_.last = at;
  return true;
}

}  // namespace winlayer::pacing
