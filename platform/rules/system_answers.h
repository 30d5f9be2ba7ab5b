// What the shared rules (this folder) ask of the system they run on. The
// rules themselves (the frame limiter's schedule, how the frame rate is
// chosen, the nap of waiting loops, the click latch) are the same
// everywhere; each build answers these few questions in one file:
// kernel/system.cpp for the layer (Linux and the browser), windows/system.cpp
// for the Windows build.
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
