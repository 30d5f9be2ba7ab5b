// Pixel storage of bitmaps and display surfaces.
//
// Colour surfaces hold 32-bit pixels laid out blue, green, red, unused (so a
// pixel is 0x00RRGGBB as a number); monochrome surfaces hold one byte per
// pixel, 0 for black and 1 for white. Rows may run bottom-up in memory (a
// negative pitch), as in a bottom-up device-independent section.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace winlayer::gdi {

enum class PixelFormat : std::uint8_t { Mono, Color32 };

// The first and third bytes of the low three swapped: a COLORREF (0x00BBGGRR)
// and a stored pixel (0x00RRGGBB) are each other's swap, and so are a pixel
// and the bytes R, G, B of a canvas read as a number.
constexpr std::uint32_t SwapRedAndBlue(std::uint32_t v) {
  return ((v & 0xFFu) << 16) | (v & 0xFF00u) | ((v >> 16) & 0xFFu);
}

// A pixel as it is stored in a colour surface, and back.
constexpr std::uint32_t PixelFromColor(COLORREF c) { return SwapRedAndBlue(c); }
constexpr COLORREF ColorFromPixel(std::uint32_t p) { return SwapRedAndBlue(p); }

// Monochrome drawing maps a colour to the nearer of black and white.
constexpr std::uint8_t MonoFromColor(COLORREF c) {
  const unsigned sum = GetRValue(c) + GetGValue(c) + GetBValue(c);
  return sum >= 383 ? 1 : 0;
}

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom excluded
  bool Empty() const { return left >= right || top >= bottom; }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

// The smallest rectangle holding both (an empty one holds nothing).
inline Rect Union(const Rect& a, const Rect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top, a.right > b.right ? a.right : b.right,
          a.bottom > b.bottom ? a.bottom : b.bottom};
}

class Surface {
 public:
  // A surface that owns zeroed pixels; null when the memory can't be had, so
  // that a call can fail as Windows' does instead of ending the program.
  static std::unique_ptr<Surface> Allocate(PixelFormat format, int width, int height);
  // A 32-bit surface over memory owned elsewhere (a section handed to the caller).
  Surface(int width, int height, std::uint8_t* firstRow, std::ptrdiff_t pitch);

  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  PixelFormat Format() const { return format_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  Rect Bounds() const { return {0, 0, width_, height_}; }
  std::ptrdiff_t Pitch() const { return pitch_; }
  // Start of the pixel memory as the owner sees it (the lowest address).
  std::uint8_t* Memory() const;

  std::uint32_t* Row32(int y) const { return reinterpret_cast<std::uint32_t*>(firstRow_ + y * pitch_); }
  std::uint8_t* Row8(int y) const { return firstRow_ + y * pitch_; }

  // The value a colour is stored as in this surface.
  std::uint32_t Encode(COLORREF c) const {
    return format_ == PixelFormat::Color32 ? PixelFromColor(c) : MonoFromColor(c);
  }
  // Inline: lines, glyphs and single pixels write through them pixel by pixel.
  COLORREF Read(int x, int y) const {
    if (format_ == PixelFormat::Color32) return ColorFromPixel(Row32(y)[x]);
    return Row8(y)[x] ? RGB(255, 255, 255) : RGB(0, 0, 0);
  }
  void Write(int x, int y, std::uint32_t encoded) const {
    if (format_ == PixelFormat::Color32)
      Row32(y)[x] = encoded;
    else
      Row8(y)[x] = static_cast<std::uint8_t>(encoded);
  }
  // Fills [x0, x1) of row y with an encoded value; the caller has clipped it.
  void FillSpan(int y, int x0, int x1, std::uint32_t encoded) const;

 private:
  Surface(PixelFormat format, int width, int height, std::unique_ptr<std::uint8_t[]> pixels);

  PixelFormat format_;
  int width_;
  int height_;
  std::ptrdiff_t pitch_;
  std::unique_ptr<std::uint8_t[]> owned_;
  std::uint8_t* firstRow_;
};

// Writes a surface's pixels to a PNG file.
bool WritePng(const Surface& surface, const char* path);

}  // namespace winlayer::gdi
