// A memory drawing context over a bitmap of its own, for the tests, the fuzz
// targets and the benchmarks: a colour bitmap like the screen's, a
// monochrome one, or a 32-bit section (top-down or bottom-up) whose pixels
// are at hand as 0x00RRGGBB. Header only, so that any of them can use it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace testing_support {

class MemoryBitmap {
 public:
  enum class Kind { Colour, Monochrome, Section, BottomUpSection };

  MemoryBitmap(int width, int height, Kind kind = Kind::Colour) : width_(width), height_(height) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    if (kind == Kind::Colour) {
      bitmap_ = CreateCompatibleBitmap(screen, width, height);
    } else if (kind == Kind::Monochrome) {
      bitmap_ = CreateBitmap(width, height, 1, 1, nullptr);
    } else {
      BITMAPINFO info{};
      info.bmiHeader.biSize = sizeof info.bmiHeader;
      info.bmiHeader.biWidth = width;
      info.bmiHeader.biHeight = kind == Kind::BottomUpSection ? height : -height;
      info.bmiHeader.biPlanes = 1;
      info.bmiHeader.biBitCount = 32;
      info.bmiHeader.biCompression = BI_RGB;
      void* memory = nullptr;
      bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
      bits_ = static_cast<std::uint32_t*>(memory);
    }
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~MemoryBitmap() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  MemoryBitmap(const MemoryBitmap&) = delete;
  MemoryBitmap& operator=(const MemoryBitmap&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // A section's pixels, rows as stored (bottom row first when bottom-up); null for other bitmaps.
  std::uint32_t* bits() const { return bits_; }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_;
  std::uint32_t* bits_ = nullptr;
};

}  // namespace testing_support
