// Precise sleeps for the pacing rules: on Linux a sleeping thread wakes up
// the timer slack late (50 us by default), so a pacing thread asks for less.
// In the browser a thread's sleep is a wait on shared memory, precise as it is.
#if defined(__linux__)
#include <sys/prctl.h>
#endif

#include <thread>

#include "../pacing/platform_seams.h"

namespace winlayer::pacing {

void SleepUntil(Clock::time_point moment) {
#if defined(__linux__)
  thread_local const bool precise = prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0) == 0;
  (void)precise;
#endif
  std::this_thread::sleep_until(moment);
}

}  // namespace winlayer::pacing
