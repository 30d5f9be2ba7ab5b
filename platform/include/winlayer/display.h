// The layer's own view of the display a program is linked with.
#pragma once

#include <cstdint>

namespace winlayer {

// How many times pixels have reached a window (a program's presents), all windows together.
std::uint64_t PresentCount();

}  // namespace winlayer
