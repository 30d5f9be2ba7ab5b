// The frame limiter of the layer. The programs redraw whole frames in busy
// loops and count their animations in frames; on a fast machine they would
// run far faster than anyone can watch. The layer paces each window's
// presents to a frame rate:
//
// - WINLAYER_FRAME_RATE, when set: a whole number from 0 to 100000 frames per
//   second, 0 for no limit (any other value is reported on standard error
//   and the default below is used);
// - else the program's own default, on a display that a person watches (the
//   headless display paces only when the variable asks it to);
// - else no limit.
#pragma once

namespace winlayer {

// A program's default that follows the screen: one frame per refresh.
constexpr int kScreenRefreshRate = -1;

// Sets the program's own default frame rate (frames per second, 0 for no
// limit, or kScreenRefreshRate). Takes effect only before the first present;
// the build sets it for programs linked with winlayer_display(... FRAME_RATE n).
bool SetDefaultFrameRate(int framesPerSecond);

// The frame rate this program's windows are paced to, 0 when unlimited;
// chosen at the first present (or the first call).
int FrameRate();

}  // namespace winlayer
