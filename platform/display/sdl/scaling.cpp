#include "scaling.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace winlayer::display {

namespace {

// Room left around an enlarged window: its frame (a title bar and borders,
// which a window manager adds only once the window is shown) and a margin.
constexpr int kFrameWidth = 16, kFrameHeight = 48;
constexpr int kMargin = 16;  // on each side

}  // namespace

std::optional<int> ChosenScale(const char* variable, std::string* complaint) {
  if (!variable || !*variable || std::strcmp(variable, "auto") == 0) return std::nullopt;
  int value = 0;
  bool digits = true;
  for (const char* c = variable; *c && digits; ++c) {
    digits = *c >= '0' && *c <= '9';
    if (digits) value = std::min(value * 10 + (*c - '0'), kLargestScale + 1);
  }
  if (digits && value >= 1 && value <= kLargestScale) return value;
  if (complaint)
    *complaint = std::string(kScaleVariable) + ": \"" + variable + "\" is not a scale; it takes a whole factor from 1 to " +
                 std::to_string(kLargestScale) + " or auto. Choosing the factor that fits the screen.";
  return std::nullopt;
}

int FittingScale(Size2 client, Area usable) {
  if (client.width <= 0 || client.height <= 0) return 1;
  const int roomWidth = usable.width - kFrameWidth - 2 * kMargin, roomHeight = usable.height - kFrameHeight - 2 * kMargin;
  const int factor = std::min(roomWidth / client.width, roomHeight / client.height);
  return HeldScale(factor, client);
}

int HeldScale(int factor, Size2 client) {
  const int side = std::max({client.width, client.height, 1});
  return std::clamp(factor, 1, std::max(1, std::min(kLargestScale, kLargestScaledSide / side)));
}

Area ScaledPlacement(Area client, int factor, Area usable) {
  const long long width = static_cast<long long>(client.width) * factor, height = static_cast<long long>(client.height) * factor;
  auto place = [](long long start, long long size, long long scaled, long long areaStart, long long areaSize) {
    // Too large for the area (a factor asked for): from its corner, so the title bar stays in view.
    if (scaled > areaSize) return static_cast<int>(areaStart);
    return static_cast<int>(std::clamp(start + size / 2 - scaled / 2, areaStart, areaStart + areaSize - scaled));
  };
  return {place(client.x, client.width, width, usable.x, usable.width),
          place(client.y, client.height, height, usable.y, usable.height), static_cast<int>(width),
          static_cast<int>(height)};
}

namespace {

// Each pixel of a row twice, side by side: the common enlargement, four
// pixels at a time where the machine has 128-bit registers.
void DoublePixels(const std::uint32_t* from, int columns, std::uint32_t* to) {
  int x = 0;
#if defined(__SSE2__)
  for (; x + 4 <= columns; x += 4) {
    const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 2 * x), _mm_unpacklo_epi32(four, four));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 2 * x + 4), _mm_unpackhi_epi32(four, four));
  }
#endif
  for (; x < columns; ++x) to[2 * x] = to[2 * x + 1] = from[x];
}

}  // namespace

void EnlargePixels(const std::uint32_t* source, std::ptrdiff_t sourcePitch, int columns, int rows, int factor,
                   std::uint32_t* target, std::ptrdiff_t targetPitch) {
  const std::size_t rowBytes = static_cast<std::size_t>(columns) * factor * sizeof(std::uint32_t);
  for (int y = 0; y < rows; ++y) {
    const std::uint32_t* from = reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const char*>(source) + y * sourcePitch);
    char* first = reinterpret_cast<char*>(target) + static_cast<std::ptrdiff_t>(y) * factor * targetPitch;
    std::uint32_t* to = reinterpret_cast<std::uint32_t*>(first);
    if (factor == 2) {
      DoublePixels(from, columns, to);
    } else {
      for (int x = 0; x < columns; ++x, to += factor) std::fill_n(to, factor, from[x]);
    }
    for (int k = 1; k < factor; ++k) std::memcpy(first + k * targetPitch, first, rowBytes);
  }
}

}  // namespace winlayer::display
