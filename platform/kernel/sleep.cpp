// Precise sleeps for the pacing rules: a sleeping thread wakes up the timer
// slack late (50 us by default), so a pacing thread asks for less.
#include <sys/prctl.h>

#include <thread>

#include "../pacing/platform_seams.h"

namespace winlayer::pacing {

void SleepUntil(Clock::time_point moment) {
  thread_local const bool precise = prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0) == 0;
  (void)precise;
  std::this_thread::sleep_until(moment);
}

}  // namespace winlayer::pacing
