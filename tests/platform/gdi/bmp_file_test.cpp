// Loading bitmap files: every depth and orientation, and broken files refused.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <string>

#include "bmp_writer.h"
#include "canvas.h"

namespace {

using testing_support::MakeBmp;
using testing_support::WriteBytes;

const std::vector<COLORREF> kPalette = {RGB(0, 0, 0),     RGB(255, 255, 255), RGB(255, 0, 0),   RGB(0, 255, 0),
                                        RGB(0, 0, 255),   RGB(255, 255, 0),   RGB(0, 255, 255), RGB(255, 0, 255),
                                        RGB(128, 0, 0),   RGB(0, 128, 0),     RGB(0, 0, 128),   RGB(128, 128, 0),
                                        RGB(0, 128, 128), RGB(128, 0, 128),   RGB(192, 192, 192), RGB(64, 64, 64)};

// A pattern that tells rows, columns and orientation apart with colours every depth can hold.
COLORREF Pattern(int x, int y, int bits) {
  const std::size_t usable = bits == 1 ? 2 : bits == 16 ? 8 : kPalette.size();
  return kPalette[static_cast<std::size_t>(x * 3 + y * 5 + (x == 0 && y == 0)) % usable];
}

HBITMAP Load(const std::string& path) {
  return static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

class BmpFileTest : public testing::Test {
 protected:
  testing_support::TempDir dir_;
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = dir_ / name;
    WriteBytes(path, bytes);
    return path;
  }
};

TEST_F(BmpFileTest, EveryDepthLoadsWithItsPixelsTheRightWayUp) {
  constexpr int kW = 7, kH = 5;
  for (int bits : {1, 4, 8, 16, 24, 32}) {
    for (bool topDown : {false, true}) {
      SCOPED_TRACE(testing::Message() << bits << " bits, " << (topDown ? "top-down" : "bottom-up"));
      std::vector<COLORREF> palette(kPalette.begin(), kPalette.begin() + (bits == 1 ? 2 : bits <= 8 ? 16 : 0));
      const auto path = Write("depth.bmp", MakeBmp(kW, kH, bits, topDown, [&](int x, int y) { return Pattern(x, y, bits); }, palette));
      HBITMAP bmp = Load(path);
      ASSERT_NE(bmp, nullptr);
      BITMAP bm{};
      GetObjectA(bmp, sizeof bm, &bm);
      EXPECT_EQ(bm.bmWidth, kW);
      EXPECT_EQ(bm.bmHeight, kH);
      EXPECT_EQ(bm.bmBitsPixel, bits);

      testing_support::Canvas c(kW, kH);
      HDC memory = CreateCompatibleDC(nullptr);
      HGDIOBJ old = SelectObject(memory, bmp);
      BitBlt(c.dc(), 0, 0, kW, kH, memory, 0, 0, SRCCOPY);
      SelectObject(memory, old);
      DeleteDC(memory);
      for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) ASSERT_EQ(c.At(x, y), Pattern(x, y, bits)) << x << "," << y;
      EXPECT_TRUE(DeleteObject(bmp));
    }
  }
}

TEST_F(BmpFileTest, BrokenFilesGiveNull) {
  const auto good = MakeBmp(16, 16, 24, false, [](int x, int) { return x % 2 ? RGB(255, 0, 0) : RGB(0, 0, 0); });
  const auto paletted = MakeBmp(16, 16, 8, false, [](int, int) { return RGB(0, 0, 0); }, kPalette);
  HBITMAP loaded = Load(Write("good.bmp", good));
  ASSERT_NE(loaded, nullptr);
  DeleteObject(loaded);

  auto with = [](std::vector<std::uint8_t> v, std::size_t at, std::uint32_t value, int bytes = 4) {
    for (int i = 0; i < bytes; ++i) v[at + i] = (value >> (8 * i)) & 0xFF;
    return v;
  };
  struct Broken {
    const char* name;
    std::vector<std::uint8_t> bytes;
  };
  const Broken cases[] = {
      {"empty", {}},
      {"truncated header", std::vector<std::uint8_t>(good.begin(), good.begin() + 30)},
      {"truncated pixels", std::vector<std::uint8_t>(good.begin(), good.end() - 10)},
      {"wrong magic", with(good, 0, 'P' | 'K' << 8, 2)},
      {"huge width", with(good, 18, 20000)},
      {"huge area", with(with(good, 18, 16384), 22, 16384)},
      {"zero width", with(good, 18, 0)},
      {"odd depth", with(good, 28, 7, 2)},
      {"unknown header size", with(good, 14, 77)},
      {"colour table past the end", with(std::vector<std::uint8_t>(paletted.begin(), paletted.begin() + 14 + 40 + 100), 46, 256)},
      {"too many colours", with(paletted, 46, 300)},
      {"pixels before the header ends", with(good, 10, 20)},
      {"not a bitmap at all", std::vector<std::uint8_t>(200, 0x5A)},
  };
  for (const Broken& b : cases) EXPECT_EQ(Load(Write("broken.bmp", b.bytes)), nullptr) << b.name;
  EXPECT_EQ(Load(dir_ / "missing.bmp"), nullptr);
  EXPECT_EQ(Load(dir_.Path()), nullptr);  // a directory
}

// The pixels of a loaded picture, read through a memory context.
COLORREF PixelOf(HBITMAP bmp, int x, int y) {
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, bmp);
  const COLORREF c = GetPixel(memory, x, y);
  SelectObject(memory, old);
  DeleteDC(memory);
  return c;
}

// Moves a file's pixels further from its headers, recording the new offset.
std::vector<std::uint8_t> WithGap(std::vector<std::uint8_t> bytes, std::size_t gap, std::uint8_t filler) {
  const std::uint32_t offset = bytes[10] | bytes[11] << 8 | bytes[12] << 16 | static_cast<std::uint32_t>(bytes[13]) << 24;
  bytes.insert(bytes.begin() + offset, gap, filler);
  const std::uint32_t moved = offset + static_cast<std::uint32_t>(gap);
  for (int i = 0; i < 4; ++i) bytes[10 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(moved >> (8 * i));
  return bytes;
}

TEST_F(BmpFileTest, PixelsMayStartAnywhereAfterTheHeaders) {
  const auto colour = [](int x, int y) { return RGB(10 * x, 20 * y, 99); };
  const auto plain = MakeBmp(3, 2, 24, false, colour);
  // A gap of any length, and a colour table that a 24-bit file may carry and a reader ignores.
  auto withTable = WithGap(plain, 256 * 4, 0x77);
  for (int i = 0; i < 4; ++i) withTable[46 + static_cast<std::size_t>(i)] = i == 1 ? 1 : 0;  // 256 colours used
  const std::pair<const char*, std::vector<std::uint8_t>> cases[] = {
      {"small gap", WithGap(plain, 3, 0)}, {"large gap", WithGap(plain, 70000, 0xEE)}, {"colour table", withTable}};
  for (const auto& [name, bytes] : cases) {
    HBITMAP bmp = Load(Write("gap.bmp", bytes));
    ASSERT_NE(bmp, nullptr) << name;
    EXPECT_EQ(PixelOf(bmp, 0, 0), colour(0, 0)) << name;
    EXPECT_EQ(PixelOf(bmp, 2, 1), colour(2, 1)) << name;
    DeleteObject(bmp);
  }
}

TEST_F(BmpFileTest, OnlyRegularFilesAreOpened) {
  // A named pipe nobody writes to would block an open for reading for ever.
  const std::string pipe = dir_ / "pipe.bmp";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(Load(pipe), nullptr);
  EXPECT_EQ(Load("/dev/zero"), nullptr);
}

TEST_F(BmpFileTest, OnlyBitmapFilesAreLoaded) {
  const auto path = Write("a.bmp", MakeBmp(2, 2, 24, false, [](int, int) { return RGB(1, 2, 3); }));
  EXPECT_EQ(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(LoadImageA(nullptr, nullptr, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
}

}  // namespace
