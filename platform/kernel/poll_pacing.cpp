#include "poll_pacing.h"

#include <thread>

namespace winlayer::kernel {

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
  const auto nap = pacer.Poll(PollPacer::Clock::now());
  if (nap > PollPacer::Clock::duration::zero()) std::this_thread::sleep_for(nap);
}

}  // namespace winlayer::kernel
