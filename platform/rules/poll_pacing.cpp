#include "poll_pacing.h"

#include <algorithm>
#include <utility>

namespace winlayer::pacing {

PollPacer::Clock::duration PollPacer::Poll(Clock::time_point now) {
  if (worked_) {
    worked_ = false;
    lastWork_ = now;
    nextNap_ = kFirstNap;
    return Clock::duration::zero();
  }
  if (now - lastWork_ <= kBusyGrace) return Clock::duration::zero();
  const auto nap = nextNap_;
  nextNap_ = std::min(nextNap_ * 2, kLongestNap);
  return nap;
}

void InputSignal::Notify() {
  notices_.fetch_add(1);  // sequentially consistent with the waiter's count and test
  if (waiters_.load() == 0) return;  // the common case: nobody naps
  { std::lock_guard guard(lock_); }  // a waiter between its test and its wait gets the notice
  changed_.notify_all();
}

void InputSignal::WaitUntil(Clock::time_point moment, std::uint64_t seen) {
  std::unique_lock lock(lock_);
  waiters_.fetch_add(1);
  changed_.wait_until(lock, moment, [&] { return Notices() != seen; });
  waiters_.fetch_sub(1);
}

InputSignal& Input() {
  // Never destroyed: threads that outlive main (a window thread blocked in
  // its message loop) may still notify while the process ends.
  static InputSignal* const signal = new InputSignal;
  return *signal;
}

namespace {
thread_local PollPacer pacer;
thread_local std::uint64_t noticesSeen = 0;
struct HeldFrame {
  Clock::time_point due{};
  void (*show)() = nullptr;
};
thread_local HeldFrame held;
std::atomic<std::uint64_t> naps{0};
}  // namespace

void NoteWork() { pacer.Worked(); }

void HoldFrameBack(Clock::time_point due, void (*show)()) { held = {due, show}; }

void ShowHeldFrame() {
  if (!held.show) return;
  void (*show)() = std::exchange(held.show, nullptr);
  show();
}

void BeforePoll() {
  const auto now = Clock::now();
  if (held.show && now >= held.due) ShowHeldFrame();
  const auto nap = pacer.Poll(now);
  if (nap > Clock::duration::zero()) ShowHeldFrame();
  const std::uint64_t notices = Input().Notices();
  // Something happened since this thread last looked: answer at once.
  if (nap > Clock::duration::zero() && notices == noticesSeen) {
    naps.fetch_add(1, std::memory_order_relaxed);
    Input().WaitUntil(now + nap, notices);
  }
  noticesSeen = Input().Notices();
}

Clock::duration ThreadIdleFor(Clock::time_point now) { return pacer.IdleFor(now); }

std::uint64_t NapCount() { return naps.load(std::memory_order_relaxed); }

}  // namespace winlayer::pacing
