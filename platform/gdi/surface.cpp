#include "surface.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>

namespace winlayer::gdi {

namespace {

std::ptrdiff_t PitchFor(PixelFormat format, int width) {
  return format == PixelFormat::Color32 ? std::ptrdiff_t{width} * 4 : std::ptrdiff_t{width};
}

}  // namespace

std::unique_ptr<Surface> Surface::Allocate(PixelFormat format, int width, int height) {
  if (width < 0 || height < 0) return nullptr;
  const std::size_t bytes = static_cast<std::size_t>(PitchFor(format, width)) * static_cast<std::size_t>(height);
  std::unique_ptr<std::uint8_t[]> pixels(new (std::nothrow) std::uint8_t[bytes]());
  if (!pixels && bytes > 0) return nullptr;
  return std::unique_ptr<Surface>(new (std::nothrow) Surface(format, width, height, std::move(pixels)));
}

Surface::Surface(PixelFormat format, int width, int height, std::unique_ptr<std::uint8_t[]> pixels)
    : format_(format),
      width_(width),
      height_(height),
      pitch_(PitchFor(format, width)),
      owned_(std::move(pixels)),
      firstRow_(owned_.get()) {}

Surface::Surface(int width, int height, std::uint8_t* firstRow, std::ptrdiff_t pitch)
    : format_(PixelFormat::Color32), width_(width), height_(height), pitch_(pitch), firstRow_(firstRow) {}

std::uint8_t* Surface::Memory() const {
  return pitch_ >= 0 ? firstRow_ : firstRow_ + (height_ - 1) * pitch_;
}

void Surface::FillSpan(int y, int x0, int x1, std::uint32_t encoded) const {
  // wchar_t is 32 bits here, and the C library's wide fill is the fastest 32-bit pattern fill at hand.
  static_assert(sizeof(wchar_t) == sizeof(std::uint32_t));
  if (format_ == PixelFormat::Color32)
    std::wmemset(reinterpret_cast<wchar_t*>(Row32(y) + x0), static_cast<wchar_t>(encoded), static_cast<std::size_t>(x1 - x0));
  else
    std::memset(Row8(y) + x0, static_cast<int>(encoded), static_cast<std::size_t>(x1 - x0));
}

}  // namespace winlayer::gdi
