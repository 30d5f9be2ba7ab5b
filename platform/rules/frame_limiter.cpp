#include "frame_limiter.h"

namespace winlayer::pacing {

FrameLimiter::FrameLimiter(int framesPerSecond)
    : period_(framesPerSecond > 0
                  ? std::chrono::round<Clock::duration>(std::chrono::duration<double>(1.0 / framesPerSecond))
                  : Clock::duration::zero()) {}

FrameLimiter::Clock::time_point FrameLimiter::Slot(Clock::time_point now) {
  if (Unlimited()) return now;
  if (Restarts(now)) {
    started_ = true;
    next_ = now;
  }
  const Clock::time_point slot = next_;
  next_ += period_;
  return slot;
}

FrameLimiter::Clock::time_point FrameLimiter::Peek(Clock::time_point now) const {
  return Unlimited() || Restarts(now) ? now : next_;
}

}  // namespace winlayer::pacing
