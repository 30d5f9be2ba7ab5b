// The layer's own view of the display a program is linked with.
#pragma once

#include <cstdint>

namespace winlayer {

// The screen's size where no real one is known: the headless display's
// screen, the surface that contexts of no window draw on, and the SDL
// display's answer before it has a screen.
constexpr int kDefaultScreenWidth = 1920;
constexpr int kDefaultScreenHeight = 1080;

// How many times pixels have reached a window (a program's presents), all windows together.
std::uint64_t PresentCount();

}  // namespace winlayer
