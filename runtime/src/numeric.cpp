#include "runtime/numeric.h"

#include <chrono>
#include <cmath>
#include <random>

namespace runtime {

namespace {

std::mt19937_64& Source() {
  static std::mt19937_64 source(0x5EED);
  return source;
}

}  // namespace

double Random() {
  // 53 random bits as the fraction of a double: exactly uniform on [0, 1).
  return static_cast<double>(Source()() >> 11) * 0x1.0p-53;
}

void Randomize() {
  SeedRandom(static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
}

void SeedRandom(std::uint64_t seed) { Source().seed(seed); }

std::int32_t TruncateSaturated(double v, std::int32_t limit) {
  if (std::isnan(v) || v <= -static_cast<double>(limit)) return -limit;
  if (v >= static_cast<double>(limit)) return limit;
  return static_cast<std::int32_t>(v);
}

}  // namespace runtime
