// The pixel transfer of BitBlt and PatBlt: any of the 256 raster operations
// of pattern (the brush), source and destination, over a clipped rectangle.
#pragma once

#include <cstdint>

#include "draw_state.h"
#include "surface.h"

namespace winlayer::gdi {

constexpr std::uint8_t kSourceCopy = 0xCC;  // SRCCOPY's operation

// `source` (null for none) at (sx, sy) onto `d` of `target`, both clipped
// already; `sourceBk` is the source context's background colour, which a
// colour source turned monochrome compares with.
void Transfer(const DrawState& state, const Surface& target, const Surface* source, COLORREF sourceBk, Rect d, int sx,
              int sy, std::uint8_t code);

}  // namespace winlayer::gdi
