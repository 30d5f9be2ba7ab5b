#include "presented_windows.h"

#include "../rules/present_pacing.h"

namespace winlayer::display {

bool PresentedWindows::Add(HWND window) {
  std::lock_guard guard(lock_);
  presented_.push_back(window);
  return presented_.size() == 1 && !sleepingUntilCopy_;
}

const std::vector<HWND>& PresentedWindows::Take() {
  taken_.clear();
  std::lock_guard guard(lock_);
  sleepingUntilCopy_ = false;
  taken_.swap(presented_);  // both keep their room: no allocation per frame
  return taken_;
}

bool PresentedWindows::CopyDue(Clock::time_point now) {
  if (now < nextCopy_) return false;
  nextCopy_ += period_;
  if (nextCopy_ <= now) nextCopy_ = now + period_;
  pacing::PlanScreenRefresh(nextCopy_);  // frames presented before it but not last go unshown
  return true;
}

bool PresentedWindows::ReadyToSleep(bool changedWaiting) {
  std::lock_guard guard(lock_);
  if (!presented_.empty()) return false;
  sleepingUntilCopy_ = changedWaiting;
  return true;
}

}  // namespace winlayer::display
