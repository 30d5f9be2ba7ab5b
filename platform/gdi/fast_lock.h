// The lock of the handle table, of each drawing context and of each window's
// pixels. Every drawing call takes two or three of them, hundreds of times a
// frame, almost never contended: taking and releasing one is a single atomic
// exchange each way, inline, instead of a call into the thread library. A
// contended lock spins briefly, then sleeps in the kernel until it is
// released (the display may hold a window's pixels for a whole screen copy).
#pragma once

#include <atomic>

#if defined(__EMSCRIPTEN__)
#include <emscripten/threading.h>
#endif

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
    if (state_.exchange(kFree, std::memory_order_release) == kWaitedFor) WakeOne();
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
    while (state_.exchange(kWaitedFor, std::memory_order_acquire) != kFree) SleepWhileWaitedFor();
  }

#if defined(__EMSCRIPTEN__)
  // The browser's C++ library waits on an atomic by polling with sleeps of up
  // to half the time waited so far, then 8 ms at a time: the shared memory's
  // own wait sleeps exactly until the release.
  void SleepWhileWaitedFor() { emscripten_futex_wait(&state_, kWaitedFor, 1e9); }
  void WakeOne() { emscripten_futex_wake(&state_, 1); }
#else
  void SleepWhileWaitedFor() { state_.wait(kWaitedFor, std::memory_order_relaxed); }
  void WakeOne() { state_.notify_one(); }
#endif

  std::atomic<int> state_{kFree};
};

}  // namespace winlayer::gdi
