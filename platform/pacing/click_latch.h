// A click that ends between two polls. The programs read a mouse button as
// a level (held now); a press and its release that both arrive between two
// polls (synthetic input sends them together, and a quick tap is shorter
// than a frame at a few hundred frames per second) would never be seen.
// A key state's least significant bit says the key was pressed since the
// last time the state was asked for: a poll that finds the button up with
// that bit set answers "held", and the next poll answers the real state, so
// the click is seen exactly once. A held button reads as it always did.
#pragma once

#include <cstdint>

namespace winlayer::pacing {

constexpr std::uint16_t kKeyDown = 0x8000;               // held now
constexpr std::uint16_t kPressedSinceLastAsked = 0x0001;  // pressed since the previous call

// The state a poll answers for the system's state of the key.
std::int16_t LatchedKeyState(std::int16_t state);

}  // namespace winlayer::pacing
