// A small random number generator of its own, so that a seed gives the same
// sequence of drawing calls on every machine and library.
#pragma once

#include <windows.h>

#include <cstdint>

namespace testing_support {

class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed) {}
  // 0 .. n - 1.
  int Below(int n) {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<int>((state_ >> 8) % static_cast<std::uint32_t>(n));
  }
  // lo .. hi, both included.
  int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
  COLORREF Colour() { return RGB(Below(256), Below(256), Below(256)); }

 private:
  std::uint32_t state_;
};

}  // namespace testing_support
