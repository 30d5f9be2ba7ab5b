#include "present_pacing.h"

#include <winlayer/frame_rate.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
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

}  // namespace winlayer::pacing

namespace winlayer {

std::uint64_t PresentCount() { return pacing::presents.load(std::memory_order_relaxed); }

}  // namespace winlayer

namespace winlayer::pacing {

namespace {
std::atomic<Clock::rep> plannedRefresh{0};  // since the clock's epoch; 0: none planned
}

void PlanScreenRefresh(Clock::time_point next) {
  plannedRefresh.store(std::max<Clock::rep>(1, next.time_since_epoch().count()), std::memory_order_relaxed);
}

std::optional<Clock::time_point> NextScreenRefresh() {
  const Clock::rep ticks = plannedRefresh.load(std::memory_order_relaxed);
  if (ticks == 0) return std::nullopt;
  return Clock::time_point(Clock::duration(ticks));
}

std::optional<Clock::time_point> WindowPacing::RefreshAfter(Clock::time_point now) {
  const auto refresh = NextScreenRefresh();
  if (!refresh) return std::nullopt;
  return std::max(*refresh, now);
}

bool WindowPacing::ShownAtNextRefresh(Clock::time_point now) {
  const auto refresh = NextScreenRefresh();
  if (!refresh) return true;
  // Unpaced, the next present may come at once.
  Clock::time_point slot = now;
  Clock::duration period{};
  {
    std::lock_guard guard(lock_);
    if (limiter_) {
      slot = limiter_->Peek(now);
      period = limiter_->Period();
    }
  }
  return slot + period >= std::max(*refresh, slot);
}

}  // namespace winlayer::pacing
