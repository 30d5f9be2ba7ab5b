#include "present_pacing.h"

#include <winlayer/frame_rate.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace winlayer::pacing {

namespace {

std::atomic<std::uint64_t> presents{0};

bool ShowsPresentRate() {
  static const bool shows = [] {
    const char* value = std::getenv(kShowPresentRateVariable);
    return value && *value && std::string_view(value) != "0";
  }();
  return shows;
}

// Writes the presents of each second that has passed, once the second is over.
void ReportPresentRate(Clock::time_point now) {
  static std::mutex lock;
  static Clock::time_point secondStart{};
  static std::uint64_t countAtStart = 0;
  std::lock_guard guard(lock);
  const std::uint64_t count = presents.load(std::memory_order_relaxed);
  if (secondStart == Clock::time_point{}) {
    secondStart = now;
    countAtStart = count;
    return;
  }
  const auto elapsed = now - secondStart;
  if (elapsed < std::chrono::seconds(1)) return;
  const double perSecond = static_cast<double>(count - countAtStart) / std::chrono::duration<double>(elapsed).count();
  std::fprintf(stderr, "winlayer: %.0f presents/s\n", perSecond);
  std::fflush(stderr);
  secondStart = now;
  countAtStart = count;
}

}  // namespace

Clock::time_point WindowPacing::SlotFor(Clock::time_point now) {
  std::lock_guard guard(lock_);
  if (!limiter_) limiter_.emplace(FrameRate());
  return limiter_->Slot(now);
}

void WindowPacing::BeforePresent() {
  if (FrameRate() != 0) {
    const auto now = Clock::now();
    const auto slot = SlotFor(now);
    if (slot > now) SleepUntil(slot);
  }
  presents.fetch_add(1, std::memory_order_relaxed);
  if (ShowsPresentRate()) ReportPresentRate(Clock::now());
}

std::uint64_t PresentCount() { return presents.load(std::memory_order_relaxed); }

}  // namespace winlayer::pacing
