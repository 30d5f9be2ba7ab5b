#include "click_latch.h"

namespace winlayer::pacing {

std::int16_t LatchedKeyState(std::int16_t state) {
  const auto bits = static_cast<std::uint16_t>(state);
  const bool releasedUnseen = (bits & kPressedSinceLastAsked) && !(bits & kKeyDown);
  return static_cast<std::int16_t>(releasedUnseen ? bits | kKeyDown : bits);
}

}  // namespace winlayer::pacing
