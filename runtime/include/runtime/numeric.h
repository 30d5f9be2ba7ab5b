// Numbers the language's library gives a program: a uniform random real,
// seeded from the clock, and float-to-integer truncation that saturates.
#pragma once

#include <cstdint>

namespace runtime {

// A uniformly distributed real r with 0 <= r < 1 from the program's one random source.
double Random();
// Seeds the random source from the clock.
void Randomize();
// Seeds the random source with a fixed value, so that a run can be repeated.
void SeedRandom(std::uint64_t seed);

// v truncated toward zero, held within -limit..limit; NaN gives -limit.
std::int32_t TruncateSaturated(double v, std::int32_t limit);

}  // namespace runtime
