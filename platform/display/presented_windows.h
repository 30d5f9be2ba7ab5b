// The windows presented since a display thread last looked, and when it next
// copies the changed ones to the screen: at most once per screen refresh,
// however many presents come in between. Presents come from the drawing
// threads; everything else is the display thread's.
#pragma once

#include <windows.h>

#include <chrono>
#include <mutex>
#include <vector>

namespace winlayer::display {

class PresentedWindows {
 public:
  using Clock = std::chrono::steady_clock;

  // Display thread, before it takes presents.
  void SetRefreshPeriod(Clock::duration period) { period_ = period; }

  // From a drawing thread. Whether the display thread needs waking: not when
  // an earlier present woke it already, nor while it sleeps until its next
  // copy, when it looks anyway.
  bool Add(HWND window);

  // The windows presented since the last call (the thread is awake now).
  const std::vector<HWND>& Take();

  // Whether a copy of the changed windows is due at `now`; then the next one
  // is a period later, or, after a pause, a period after `now`.
  bool CopyDue(Clock::time_point now);
  Clock::time_point NextCopy() const { return nextCopy_; }

  // Before the display thread sleeps: false when presents came since Take
  // (it looks again at once). With `changedWaiting` it sleeps until the next
  // copy, and presents meanwhile need not wake it.
  bool ReadyToSleep(bool changedWaiting);

 private:
  std::mutex lock_;
  std::vector<HWND> presented_;     // guarded by lock_
  bool sleepingUntilCopy_ = false;  // guarded by lock_
  // Display thread only:
  std::vector<HWND> taken_;
  Clock::duration period_{};
  Clock::time_point nextCopy_{};
};

}  // namespace winlayer::display
