// How the SDL display enlarges a window on a large screen: by a whole
// factor, each client pixel shown as a factor × factor block, so pixels stay
// sharp and every screen pixel maps back to exactly one client pixel. The
// programs never see the factor: their client size, positions and metrics
// stay their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace winlayer::display {

constexpr const char* kScaleVariable = "WINLAYER_SCALE";
constexpr int kLargestScale = 16;
// SDL and X keep windows under this many pixels a side.
constexpr int kLargestScaledSide = 16384;

struct Size2 {
  int width = 0, height = 0;
};
struct Area {
  int x = 0, y = 0, width = 0, height = 0;
};

// What WINLAYER_SCALE asks for: a factor from 1 to kLargestScale, or nothing
// for "auto" (also when unset or empty). A value it can't use gives the line
// to write on standard error, and auto.
std::optional<int> ChosenScale(const char* variable, std::string* complaint);

// The largest factor for which the client area, with room for the window's
// frame and a margin, fits in the screen's usable area; at least 1.
int FittingScale(Size2 client, Area usable);

// A factor asked for, held to what a window may measure; at least 1.
int HeldScale(int factor, Size2 client);

// Where the enlarged window's client area goes: centred on where the
// program placed it and moved inside the usable area; at the area's corner
// when it is larger.
Area ScaledPlacement(Area client, int factor, Area usable);

// The client pixel under a screen pixel `offset` pixels from the enlarged
// client area's edge (negative to the left or above it).
inline int ClientOffset(int offset, int factor) {
  return offset >= 0 ? offset / factor : -((-offset + factor - 1) / factor);
}

// Writes each of `rows` rows of `columns` 32-bit pixels as `factor` rows of
// `columns` × `factor` pixels, each pixel repeated: one pass over the
// enlarged pixels. Pitches in bytes.
void EnlargePixels(const std::uint32_t* source, std::ptrdiff_t sourcePitch, int columns, int rows, int factor,
                   std::uint32_t* target, std::ptrdiff_t targetPitch);

}  // namespace winlayer::display
