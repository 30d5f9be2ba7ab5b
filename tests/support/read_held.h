// Reading a key or button as a program's waiting loop does.
#pragma once

#include <windows.h>

#include <chrono>

namespace testing_support {

// Polls until the key reads released: how long it read held (at most ten seconds).
inline std::chrono::milliseconds ReadHeldFor(int key) {
  const auto start = std::chrono::steady_clock::now();
  const auto since = [&] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  };
  while (GetAsyncKeyState(key) < -1 && since() < std::chrono::seconds(10)) {
  }
  return since();
}

}  // namespace testing_support
