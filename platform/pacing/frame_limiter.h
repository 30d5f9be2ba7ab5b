// The frame limiter: a window's presents paced to at most N per second, on
// an absolute schedule (each slot one period after the previous one), so
// the pace holds however long each frame takes to draw. A program that falls
// more than one period behind starts a new schedule instead of racing to
// catch up.
#pragma once

#include "platform_seams.h"

namespace winlayer::pacing {

class FrameLimiter {
 public:
  using Clock = pacing::Clock;

  explicit FrameLimiter(int framesPerSecond);  // 0: no limit

  bool Unlimited() const { return period_ == Clock::duration::zero(); }
  Clock::duration Period() const { return period_; }
  // The moment a present that is ready at `now` may go; the caller waits until then.
  Clock::time_point Slot(Clock::time_point now);

 private:
  Clock::duration period_;
  bool started_ = false;
  Clock::time_point next_{};
};

}  // namespace winlayer::pacing
