// Test: draws 10000 random triangles with Wimdows, then 10000 with
// BrannowayLib, presenting after every one, and prints each run's milliseconds.
#pragma once

#include <cstdint>

#include "runtime/checks.h"

namespace Test {

// A random integer from Min to Max, the two ends half as likely as the others.
std::int32_t Rnd(std::int32_t Min, std::int32_t Max);

// The program's main body.
void Run();

}  // namespace Test
