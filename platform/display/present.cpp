#include "present.h"

#include <sys/prctl.h>
#include <winlayer/display.h>
#include <winlayer/frame_rate.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "display.h"
#include "frame_limiter.h"

namespace winlayer::display {

namespace {

std::atomic<std::uint64_t> presents{0};

// One window's schedule, made at its first present.
struct Pacing {
  std::mutex lock;
  std::optional<FrameLimiter> limiter;

  FrameLimiter::Clock::time_point SlotFor(FrameLimiter::Clock::time_point now) {
    std::lock_guard guard(lock);
    if (!limiter) limiter.emplace(FrameRate());
    return limiter->Slot(now);
  }
};

void WaitUntil(FrameLimiter::Clock::time_point slot) {
  // A sleeping thread wakes up to the timer slack late (50 us by default): ask for less.
  thread_local const bool precise = prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0) == 0;
  (void)precise;
  std::this_thread::sleep_until(slot);
}

}  // namespace

std::function<void()> PresentPath(HWND window) {
  auto pacing = std::make_shared<Pacing>();
  return [window, pacing] {
    if (FrameRate() != 0) {
      const auto now = FrameLimiter::Clock::now();
      const auto slot = pacing->SlotFor(now);
      if (slot > now) WaitUntil(slot);
    }
    presents.fetch_add(1, std::memory_order_relaxed);
    TheDisplay().Presented(window);
  };
}

std::uint64_t PresentCount() { return presents.load(std::memory_order_relaxed); }

}  // namespace winlayer::display

namespace winlayer {

std::uint64_t PresentCount() { return display::PresentCount(); }

}  // namespace winlayer
