#include "poll_pacing.h"

namespace winlayer::pacing {

PollPacer::Clock::duration PollPacer::Poll(Clock::time_point now) {
  if (worked_) {
    worked_ = false;
    lastWork_ = now;
    return Clock::duration::zero();
  }
  return now - lastWork_ > kBusyGrace ? kNap : Clock::duration::zero();
}

namespace {
thread_local PollPacer pacer;
}

void NoteWork() { pacer.Worked(); }

void BeforePoll() {
  const auto now = Clock::now();
  const auto nap = pacer.Poll(now);
  if (nap > Clock::duration::zero()) SleepUntil(now + nap);
}

}  // namespace winlayer::pacing
