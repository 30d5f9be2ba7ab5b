// Presents: a present is a drawing call that puts a new frame on a window.
// Each window's presents are paced to the program's frame rate on a schedule
// of their own (frame_limiter.h), and all presents are counted together.
//
// WINLAYER_SHOW_PRESENT_RATE=1 makes the layer write, about once a second
// while a program presents, how many presents that second had, on standard
// error: "winlayer: 400 presents/s". It is for people who check the pacing,
// on any build.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>

#include "frame_limiter.h"

namespace winlayer {

// Presents so far, all windows together (declared for the programs in winlayer/display.h too).
std::uint64_t PresentCount();

}  // namespace winlayer

namespace winlayer::pacing {

constexpr const char* kShowPresentRateVariable = "WINLAYER_SHOW_PRESENT_RATE";

// One window's schedule, made at its first present.
class WindowPacing {
 public:
  // Waits until this present's slot (at once when unpaced), then counts it.
  // Called on the drawing thread, before the frame is put on the window.
  void BeforePresent();
  // Whether a present made now would be the last before the screen's next
  // refresh (NextScreenRefresh), so that the screen shows it: the one after
  // it, a period later on the schedule, would come too late. Unpaced, or with
  // no refresh planned, every present is shown.
  bool ShownAtNextRefresh(Clock::time_point now);
  // The refresh it would be shown at; past: at once.
  std::optional<Clock::time_point> RefreshAfter(Clock::time_point now);

 private:
  Clock::time_point SlotFor(Clock::time_point now);

  std::mutex lock_;
  std::optional<FrameLimiter> limiter_;
};


// The screen's next refresh as a display's thread plans it: when it next
// copies changed windows to the screen. A display that shows no screen
// plans none.
void PlanScreenRefresh(Clock::time_point next);
std::optional<Clock::time_point> NextScreenRefresh();

}  // namespace winlayer::pacing
