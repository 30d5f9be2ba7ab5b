#include "bmp_writer.h"

#include <filesystem>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace testing_support {

namespace {

void Put16(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
  v[at] = x & 0xFF;
  v[at + 1] = (x >> 8) & 0xFF;
}
void Put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = (x >> (8 * i)) & 0xFF;
}

}  // namespace

std::vector<std::uint8_t> MakeBmp(int width, int height, int bits, bool topDown, const PixelColour& colour,
                                  const std::vector<COLORREF>& palette) {
  const std::size_t colours = bits <= 8 ? (std::size_t{1} << bits) : 0;
  const std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
  const std::size_t offset = 14 + 40 + colours * 4;
  std::vector<std::uint8_t> v(offset + stride * height, 0);
  v[0] = 'B';
  v[1] = 'M';
  Put32(v, 2, static_cast<std::uint32_t>(v.size()));
  Put32(v, 10, static_cast<std::uint32_t>(offset));
  Put32(v, 14, 40);
  Put32(v, 18, static_cast<std::uint32_t>(width));
  Put32(v, 22, static_cast<std::uint32_t>(topDown ? -height : height));
  Put16(v, 26, 1);
  Put16(v, 28, static_cast<std::uint32_t>(bits));
  for (std::size_t i = 0; i < palette.size() && i < colours; ++i) {
    v[54 + i * 4] = GetBValue(palette[i]);
    v[54 + i * 4 + 1] = GetGValue(palette[i]);
    v[54 + i * 4 + 2] = GetRValue(palette[i]);
  }
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = v.data() + offset + stride * static_cast<std::size_t>(topDown ? y : height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const COLORREF c = colour(x, y);
      if (bits <= 8) {
        const auto index = static_cast<unsigned>(std::find(palette.begin(), palette.end(), c) - palette.begin());
        const int bit = x * bits;
        row[bit / 8] |= static_cast<std::uint8_t>(index << (8 - bits - bit % 8));
      } else if (bits == 16) {
        const unsigned p = (GetRValue(c) >> 3) << 10 | (GetGValue(c) >> 3) << 5 | (GetBValue(c) >> 3);
        row[x * 2] = p & 0xFF;
        row[x * 2 + 1] = p >> 8;
      } else {
        std::uint8_t* p = row + x * (bits / 8);
        p[0] = GetBValue(c);
        p[1] = GetGValue(c);
        p[2] = GetRValue(c);
      }
    }
  }
  return v;
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + path);
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

TempDir::TempDir() {
  char pattern[] = "/tmp/brannoway-test-XXXXXX";
  const char* dir = mkdtemp(pattern);
  if (!dir) throw std::runtime_error("cannot make a temporary directory");
  path_ = dir;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace testing_support
