// Pixel transfer: raster operations, clipping, format conversion, masks.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "canvas.h"

namespace {

using testing_support::Canvas;

// A memory context holding a 32-bit section whose pixel (x, y) is RGB(x, y, 7).
struct Gradient : testing_support::MemoryBitmap {
  HDC dc;
  std::uint32_t* bits;
  Gradient(int w, int h, bool bottomUp = false)
      : MemoryBitmap(w, h, bottomUp ? Kind::BottomUpSection : Kind::Section), dc(MemoryBitmap::dc()), bits(MemoryBitmap::bits()) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) bits[(bottomUp ? h - 1 - y : y) * w + x] = (x << 16) | (y << 8) | 7;
  }
};

TEST(GdiBlitTest, BitmapDrawnAtNegativeOffsetShowsItsInnerRegion) {
  Gradient picture(100, 50);
  Canvas c(120, 80, RGB(0, 0, 255));
  ASSERT_TRUE(BitBlt(c.dc(), -10, -10, 100, 50, picture.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(c.At(0, 0), RGB(10, 10, 7));
  EXPECT_EQ(c.At(89, 39), RGB(99, 49, 7));
  EXPECT_EQ(c.At(90, 0), RGB(0, 0, 255));
  EXPECT_EQ(c.At(0, 40), RGB(0, 0, 255));
}

TEST(GdiBlitTest, SourceAndDestinationAreClippedIndependently) {
  Gradient picture(20, 20);
  Canvas c(30, 30, RGB(0, 0, 255));
  // Source rectangle starts left of and above the picture: only its overlap is copied.
  BitBlt(c.dc(), 5, 5, 10, 10, picture.dc, -3, -4, SRCCOPY);
  EXPECT_EQ(c.At(7, 8), RGB(0, 0, 255));
  EXPECT_EQ(c.At(8, 9), RGB(0, 0, 7));
  EXPECT_EQ(c.At(14, 14), RGB(6, 5, 7));
  EXPECT_EQ(c.At(15, 15), RGB(0, 0, 255));
  // Huge coordinates are clipped without trouble.
  EXPECT_TRUE(BitBlt(c.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX, picture.dc, INT_MAX, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(c.dc(), 0, 0, INT_MAX, INT_MAX, picture.dc, INT_MIN, INT_MIN, SRCCOPY));
}

TEST(GdiBlitTest, BottomUpSectionsReadTheirRowsTheRightWayUp) {
  Gradient picture(6, 4, /*bottomUp=*/true);
  Canvas c(6, 4);
  BitBlt(c.dc(), 0, 0, 6, 4, picture.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(c.At(5, 0), RGB(5, 0, 7));
  EXPECT_EQ(c.At(2, 3), RGB(2, 3, 7));
}

TEST(GdiBlitTest, RasterOperationsCombineSourceAndDestination) {
  const COLORREF dst = RGB(0xF0, 0x0F, 0x55), src = RGB(0x3C, 0xFF, 0x00);
  auto run = [&](DWORD rop) {
    Canvas d(2, 2, dst), s(2, 2, src);
    BitBlt(d.dc(), 0, 0, 2, 2, s.dc(), 0, 0, rop);
    return d.At(1, 1);
  };
  EXPECT_EQ(run(SRCCOPY), src);
  EXPECT_EQ(run(SRCAND), RGB(0x30, 0x0F, 0x00));
  EXPECT_EQ(run(SRCPAINT), RGB(0xFC, 0xFF, 0x55));
  EXPECT_EQ(run(SRCINVERT), RGB(0xCC, 0xF0, 0x55));
  EXPECT_EQ(run(NOTSRCCOPY), RGB(0xC3, 0x00, 0xFF));
  EXPECT_EQ(run(BLACKNESS), RGB(0, 0, 0));
  EXPECT_EQ(run(WHITENESS), RGB(255, 255, 255));
  EXPECT_EQ(run(DSTINVERT), RGB(0x0F, 0xF0, 0xAA));
}

TEST(GdiBlitTest, MonochromeSourceTakesTheDestinationsTextAndBackgroundColours) {
  const BYTE rows[2][2] = {{0xA0, 0}, {0x50, 0}};  // 1010 / 0101, rows padded to 16 bits
  HBITMAP mono = CreateBitmap(4, 2, 1, 1, rows);
  HDC src = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(src, mono);
  Canvas c(4, 2);
  SetTextColor(c.dc(), RGB(200, 0, 0));
  SetBkColor(c.dc(), RGB(0, 0, 200));
  BitBlt(c.dc(), 0, 0, 4, 2, src, 0, 0, SRCCOPY);
  EXPECT_EQ(c.At(0, 0), RGB(0, 0, 200));  // 1: background colour
  EXPECT_EQ(c.At(1, 0), RGB(200, 0, 0));  // 0: text colour
  EXPECT_EQ(c.At(0, 1), RGB(200, 0, 0));
  EXPECT_EQ(c.At(1, 1), RGB(0, 0, 200));
  SelectObject(src, old);
  DeleteObject(mono);
  DeleteDC(src);
}

TEST(GdiBlitTest, ColourToMonochromeMakesTheSourceBackgroundWhite) {
  Canvas colour(3, 1, RGB(10, 20, 30));
  SetPixel(colour.dc(), 1, 0, RGB(1, 2, 3));
  SetBkColor(colour.dc(), RGB(10, 20, 30));
  HDC mono = CreateCompatibleDC(nullptr);
  HBITMAP maskBitmap = CreateCompatibleBitmap(mono, 3, 1);
  HGDIOBJ old = SelectObject(mono, maskBitmap);
  BitBlt(mono, 0, 0, 3, 1, colour.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(mono, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(mono, 1, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(mono, 2, 0), RGB(255, 255, 255));
  SelectObject(mono, old);
  DeleteObject(maskBitmap);
  DeleteDC(mono);
}

// Masked drawing: AND with the mask, then OR with the picture.
void DrawMasked(HDC target, HDC mask, HDC picture, int w, int h) {
  BitBlt(target, 0, 0, w, h, mask, 0, 0, SRCAND);
  BitBlt(target, 0, 0, w, h, picture, 0, 0, SRCPAINT);
}

TEST(GdiBlitTest, MasksShowThePictureOnlyWhereTheMaskIsBlack) {
  Gradient picture(8, 8);
  Canvas white(8, 8, RGB(255, 255, 255)), black(8, 8, RGB(0, 0, 0));

  Canvas untouched(8, 8, RGB(40, 50, 60));
  DrawMasked(untouched.dc(), white.dc(), black.dc(), 8, 8);
  EXPECT_EQ(untouched.Count(RGB(40, 50, 60)), 64);

  Canvas exact(8, 8, RGB(40, 50, 60));
  DrawMasked(exact.dc(), black.dc(), picture.dc, 8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(exact.At(x, y), RGB(x, y, 7));
}

TEST(GdiBlitTest, OverlappingCopyWithinOneBitmapMovesPixelsIntact) {
  Gradient picture(16, 16);
  BitBlt(picture.dc, 2, 3, 10, 10, picture.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(picture.dc, 2, 3), RGB(0, 0, 7));
  EXPECT_EQ(GetPixel(picture.dc, 11, 12), RGB(9, 9, 7));
  BitBlt(picture.dc, 0, 0, 10, 10, picture.dc, 2, 3, SRCCOPY);
  EXPECT_EQ(GetPixel(picture.dc, 0, 0), RGB(0, 0, 7));
  EXPECT_EQ(GetPixel(picture.dc, 9, 9), RGB(9, 9, 7));
}

// What a raster operation makes of one pixel: each set bit of the code names
// one combination of pattern, source and destination bits.
std::uint32_t Reference(std::uint8_t code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  std::uint32_t r = 0;
  for (int i = 0; i < 8; ++i)
    if (code & (1 << i)) r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  return r & 0xFFFFFF;
}

TEST(GdiBlitTest, OverlappingTransfersWithinOneBitmapReadThePixelsAsTheyWere) {
  // The copy, the operations with fast paths, and general ones with and without the pattern.
  const DWORD rops[] = {SRCCOPY, SRCAND, SRCPAINT, SRCINVERT, NOTSRCCOPY, MERGECOPY, 0x00B80000, 0x001D0000};
  // Each way the source may lie from the destination, near enough to overlap.
  const POINT shifts[] = {{0, 3}, {0, -3}, {3, 0}, {-3, 0}, {2, 2}, {-2, -2}, {2, -3}, {-3, 2}, {0, 1}, {1, 0}};
  HBRUSH brush = CreateSolidBrush(RGB(0x5A, 0xC3, 0x3C));
  for (DWORD rop : rops)
    for (const POINT& shift : shifts) {
      Gradient picture(24, 20);
      HGDIOBJ oldBrush = SelectObject(picture.dc, brush);
      const std::vector<std::uint32_t> before(picture.bits, picture.bits + 24 * 20);
      const int x = 5, y = 4, w = 12, h = 10;
      ASSERT_TRUE(BitBlt(picture.dc, x, y, w, h, picture.dc, x + shift.x, y + shift.y, rop));
      SelectObject(picture.dc, oldBrush);
      for (int py = 0; py < 20; ++py)
        for (int px = 0; px < 24; ++px) {
          const std::uint32_t d = before[static_cast<std::size_t>(py * 24 + px)];
          const bool inside = px >= x && px < x + w && py >= y && py < y + h;
          const std::uint32_t s = inside ? before[static_cast<std::size_t>((py + shift.y) * 24 + px + shift.x)] : 0;
          const std::uint32_t want = inside ? Reference(static_cast<std::uint8_t>(rop >> 16), 0x5AC33C, s, d) : d;
          ASSERT_EQ(picture.bits[py * 24 + px] & 0xFFFFFF, want)
              << "rop " << std::hex << rop << std::dec << " shift " << shift.x << "," << shift.y << " at " << px << "," << py;
        }
    }
  DeleteObject(brush);
}

// Between two bitmaps the copy and the mask operations take row-by-row fast
// paths, the others the general rule: all must give the reference, whatever
// the unused top byte of a section's pixels holds.
TEST(GdiBlitTest, BetweenTwoBitmapsEveryOperationMatchesTheReference) {
  const DWORD rops[] = {SRCCOPY, SRCAND, SRCPAINT, SRCINVERT, NOTSRCCOPY, 0x00B80000};
  std::uint32_t seed = 12345;
  const auto random = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (DWORD rop : rops) {
    Gradient source(19, 7), target(23, 9);
    for (int i = 0; i < 19 * 7; ++i) source.bits[i] = random();
    for (int i = 0; i < 23 * 9; ++i) target.bits[i] = random() & 0xFFFFFF;
    const std::vector<std::uint32_t> before(target.bits, target.bits + 23 * 9);
    ASSERT_TRUE(BitBlt(target.dc, 2, 1, 17, 6, source.dc, 1, 0, rop));
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 23; ++x) {
        const std::uint32_t d = before[static_cast<std::size_t>(y * 23 + x)];
        const bool inside = x >= 2 && x < 19 && y >= 1 && y < 7;
        const std::uint32_t src = inside ? source.bits[(y - 1) * 19 + x - 1] & 0xFFFFFF : 0;
        const std::uint32_t want = inside ? Reference(static_cast<std::uint8_t>(rop >> 16), 0xFFFFFF, src, d) : d;
        ASSERT_EQ(target.bits[y * 23 + x] & 0xFFFFFF, want) << "rop " << std::hex << rop << std::dec << " at " << x << "," << y;
      }
  }
}

TEST(GdiBlitTest, GetDIBitsReadsRowsBottomUpOrTopDown) {
  Gradient picture(3, 2);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  ASSERT_EQ(GetDIBits(picture.dc, picture.bitmap(), 0, 0, nullptr, &info, DIB_RGB_COLORS), 2);
  EXPECT_EQ(info.bmiHeader.biWidth, 3);
  EXPECT_EQ(info.bmiHeader.biBitCount, 32);

  std::vector<std::uint32_t> rows(6);
  info.bmiHeader.biHeight = 2;  // bottom-up: the first row read is the bottom one
  ASSERT_EQ(GetDIBits(picture.dc, picture.bitmap(), 0, 2, rows.data(), &info, DIB_RGB_COLORS), 2);
  EXPECT_EQ(rows[0], (0u << 16) | (1u << 8) | 7u);
  info.bmiHeader.biHeight = -2;
  GetDIBits(picture.dc, picture.bitmap(), 0, 2, rows.data(), &info, DIB_RGB_COLORS);
  EXPECT_EQ(rows[2], (2u << 16) | (0u << 8) | 7u);
}

}  // namespace
