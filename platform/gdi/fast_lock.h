// The lock of the handle table, of each drawing context and of each window's
// pixels. Every drawing call takes two or three of them, hundreds of times a
// frame, almost never contended: taking and releasing one is a single atomic
// exchange each way, inline, instead of a call into the thread library. A
// contended lock spins briefly, then sleeps in the kernel until it is
// released (the display may hold a window's pixels for a whole screen copy).
#pragma once

#include <atomic>

namespace winlayer::gdi {

class FastLock {
 public:
  void lock() {
    int free = kFree;
    if (!state_.compare_exchange_strong(free, kHeld, std::memory_order_acquire, std::memory_order_relaxed)) Wait();
  }
  bool try_lock() {
    int free = kFree;
    return state_.compare_exchange_strong(free, kHeld, std::memory_order_acquire, std::memory_order_relaxed);
  }
  void unlock() {
    if (state_.exchange(kFree, std::memory_order_release) == kWaitedFor) state_.notify_one();
  }

 private:
  static constexpr int kFree = 0, kHeld = 1, kWaitedFor = 2;

  void Wait() {
    for (int spin = 0; spin < 64; ++spin) {
      if (state_.load(std::memory_order_relaxed) == kFree && try_lock()) return;
#if defined(__x86_64__) || defined(__i386__)
      __builtin_ia32_pause();
#endif
    }
    // Marked as waited for, so that the holder's release wakes a sleeper.
    while (state_.exchange(kWaitedFor, std::memory_order_acquire) != kFree) state_.wait(kWaitedFor, std::memory_order_relaxed);
  }

  std::atomic<int> state_{kFree};
};

}  // namespace winlayer::gdi
