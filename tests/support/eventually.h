// Waits for something another thread or process brings about: true as soon
// as the condition holds, false if it still does not after the wait.
#pragma once

#include <chrono>
#include <thread>

namespace testing_support {

template <typename F>
bool Eventually(F condition, int milliseconds = 3000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return condition();
}

}  // namespace testing_support
