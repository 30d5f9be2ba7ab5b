// What the shared rules ask of the layer's system (Linux, and the browser):
// whether a person watches the screen and its refresh rate, from the display
// this program is linked with, and precise sleeps. windows/system.cpp
// answers the same for the Windows build.
#if defined(__linux__)
#include <sys/prctl.h>
#endif

#include <thread>

#include "../display/display.h"
#include "../rules/system_answers.h"

namespace winlayer::pacing {

bool PacesByDefault() { return display::TheDisplay().PacesByDefault(); }

int ScreenRefreshRate() { return display::TheDisplay().RefreshRate(); }

// On Linux a sleeping thread wakes up the timer slack late (50 us by
// default), so a pacing thread asks for less. In the browser a thread's
// sleep is a wait on shared memory, precise as it is.
void SleepUntil(Clock::time_point moment) {
#if defined(__linux__)
  thread_local const bool precise = prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0) == 0;
  (void)precise;
#endif
  std::this_thread::sleep_until(moment);
}

}  // namespace winlayer::pacing
