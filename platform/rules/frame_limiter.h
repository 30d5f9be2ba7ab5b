// The frame limiter: a window's presents paced to at most N per second, on
// an absolute schedule (each slot one period after the previous one), so
// the pace holds however long each frame takes to draw. A present a few
// periods late (its thread woken late on a busy machine, or a slow frame)
// keeps the schedule: the presents after it go at once until it is caught
// up, so that an animation of N frames still lasts N periods. A program that
// falls further behind (a pause, a screen that waited for the mouse without
// drawing) starts a new schedule instead of racing to catch up.
#pragma once

#include "system_answers.h"

namespace winlayer::pacing {

class FrameLimiter {
 public:
  using Clock = pacing::Clock;

  explicit FrameLimiter(int framesPerSecond);  // 0: no limit

  bool Unlimited() const { return period_ == Clock::duration::zero(); }
  Clock::duration Period() const { return period_; }
  // The moment a present that is ready at `now` may go; the caller waits until then.
  Clock::time_point Slot(Clock::time_point now);
  // The slot Slot(now) would give, without taking it.
  Clock::time_point Peek(Clock::time_point now) const;

 private:
  // How far behind a present may be and still keep the schedule: at 400
  // frames a second, 10 ms, the most the catching up adds is one screen refresh's worth of frames.
  static constexpr int kCatchUpPeriods = 4;
  bool Restarts(Clock::time_point now) const { return !started_ || now - next_ > kCatchUpPeriods * period_; }

  Clock::duration period_;
  bool started_ = false;
  Clock::time_point next_{};
};

}  // namespace winlayer::pacing
