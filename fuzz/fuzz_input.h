// What the fuzz targets share: reading typed values off the fuzzer's bytes,
// drawing surfaces whose pixels can be read directly, and a check that
// reports the broken rule and stops, so the fuzzer keeps the input.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "memory_bitmap.h"

namespace fuzzing {

#define FUZZ_CHECK(condition, ...)                                          \
  do {                                                                      \
    if (!(condition)) {                                                     \
      std::fprintf(stderr, "%s:%d: rule broken: %s: ", __FILE__, __LINE__, #condition); \
      std::fprintf(stderr, __VA_ARGS__);                                    \
      std::fprintf(stderr, "\n");                                           \
      std::abort();                                                         \
    }                                                                       \
  } while (0)

// The fuzzer's bytes, read front to back; past the end every value is zero.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  template <typename T>
  T Take() {
    T value{};
    const std::size_t n = sizeof(T) < size_ - at_ ? sizeof(T) : size_ - at_;
    std::memcpy(&value, data_ + at_, n);
    at_ += n;
    return value;
  }
  bool Bit() { return Take<std::uint8_t>() & 1; }
  // A value in [low, high].
  int Between(int low, int high) {
    const std::uint32_t span = static_cast<std::uint32_t>(high - low) + 1;
    return low + static_cast<int>(Take<std::uint32_t>() % span);
  }
  // A coordinate: mostly near the surface, sometimes anywhere in 32 bits.
  int Coordinate() {
    const std::uint8_t kind = Take<std::uint8_t>();
    if (kind < 200) return Between(-40, 140);
    if (kind < 230) return Between(-100000, 100000);
    return Take<std::int32_t>();
  }
  std::string Rest() {
    std::string s(reinterpret_cast<const char*>(data_ + at_), size_ - at_);
    at_ = size_;
    return s;
  }
  std::size_t Left() const { return size_ - at_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// A 32-bit top-down bitmap selected into a memory context, its pixels at hand
// as 0x00RRGGBB.
class Surface : public testing_support::MemoryBitmap {
 public:
  Surface(int width, int height) : MemoryBitmap(width, height, Kind::Section) {}
  std::uint32_t& At(int x, int y) const {
    return bits()[static_cast<std::size_t>(y) * static_cast<std::size_t>(width()) + static_cast<std::size_t>(x)];
  }
  void Fill(std::uint32_t pixel) const {
    for (int i = 0; i < width() * height(); ++i) bits()[i] = pixel;
  }
};

// Whether `shifted` shows what `plain` shows, moved by (dx, dy) in both directions:
// every pixel of `plain` equals the pixel (dx, dy) further on in `shifted`.
inline bool SameShifted(const Surface& plain, const Surface& shifted, int dx, int dy, int* badX, int* badY) {
  for (int y = 0; y < plain.height(); ++y)
    for (int x = 0; x < plain.width(); ++x)
      if (plain.At(x, y) != shifted.At(x + dx, y + dy)) {
        *badX = x;
        *badY = y;
        return false;
      }
  return true;
}

}  // namespace fuzzing
