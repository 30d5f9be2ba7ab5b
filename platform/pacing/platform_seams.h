// What the pacing rules ask of the system they run on. The rules themselves
// (the frame limiter's schedule, how the frame rate is chosen, the nap of
// waiting loops, the click latch) are the same everywhere; each build
// defines these few answers once: the Linux layer from its display and the
// kernel's timers, the Windows build from Windows.
#pragma once

#include <chrono>

namespace winlayer::pacing {

using Clock = std::chrono::steady_clock;

// Whether a program's own default frame rate applies: a screen a person
// watches. (The headless display of the tests paces only when asked to.)
bool PacesByDefault();

// The screen's refreshes per second; 60 where the system can't tell.
int ScreenRefreshRate();

// Blocks the calling thread until the moment, give or take a fraction of a
// millisecond, without spinning.
void SleepUntil(Clock::time_point moment);

}  // namespace winlayer::pacing
