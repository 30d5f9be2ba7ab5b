// The pixel rules of lines, rectangles and polygons.
#include <gtest/gtest.h>

#include <cstdlib>

#include <climits>
#include <cmath>
#include <random>
#include <set>
#include <utility>

#include "canvas.h"

namespace {

using testing_support::Canvas;
using testing_support::Rows;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

using PixelSet = std::set<std::pair<int, int>>;

PixelSet Lit(const Canvas& c, COLORREF ink) {
  PixelSet s;
  for (int y = 0; y < c.height(); ++y)
    for (int x = 0; x < c.width(); ++x)
      if (c.At(x, y) == ink) s.insert({x, y});
  return s;
}

PixelSet LineFrom(int x0, int y0, int x1, int y1) {
  Canvas c(24, 24);
  c.Inks(kWhite, CLR_INVALID);
  MoveToEx(c.dc(), x0, y0, nullptr);
  LineTo(c.dc(), x1, y1);
  return Lit(c, kWhite);
}

TEST(GdiRectangleTest, FilledRectangleCoversLeftToRightMinusOneWithBorderOnOutermostRing) {
  Canvas c(32, 32);
  c.Inks(kWhite, kRed);
  Rectangle(c.dc(), 10, 10, 20, 20);
  EXPECT_EQ(c.Count(kWhite), 36);  // the ring of columns and rows 10..19
  EXPECT_EQ(c.Count(kRed), 64);    // 11..18 inside it
  EXPECT_EQ(c.At(10, 10), kWhite);
  EXPECT_EQ(c.At(19, 19), kWhite);
  EXPECT_EQ(c.At(11, 11), kRed);
  EXPECT_EQ(c.At(20, 20), kBlack);
}

TEST(GdiRectangleTest, WithoutPenTheBrushAloneStopsOnePixelShort) {
  Canvas c(32, 32);
  c.Inks(CLR_INVALID, kRed);
  Rectangle(c.dc(), 10, 10, 20, 20);
  EXPECT_EQ(c.Count(kRed), 81);  // columns and rows 10..18
  EXPECT_EQ(c.At(18, 18), kRed);
  EXPECT_EQ(c.At(19, 18), kBlack);

  RECT r{2, 2, 5, 4};
  HBRUSH white = CreateSolidBrush(kWhite);
  FillRect(c.dc(), &r, white);
  DeleteObject(white);
  EXPECT_EQ(c.Count(kWhite), 6);  // FillRect covers 2..4 x 2..3
}

TEST(GdiRectangleTest, OutlineThroughFourCornersCoversOneMorePixelRightAndDown) {
  Canvas c(24, 24);
  c.Inks(kWhite, CLR_INVALID);
  MoveToEx(c.dc(), 10, 10, nullptr);
  LineTo(c.dc(), 20, 10);
  LineTo(c.dc(), 20, 20);
  LineTo(c.dc(), 10, 20);
  LineTo(c.dc(), 10, 10);
  EXPECT_EQ(c.Count(kWhite), 40);  // columns 10 and 20 over rows 10..20, rows 10 and 20 over columns 10..20
  for (int i = 10; i <= 20; ++i) {
    EXPECT_EQ(c.At(i, 10), kWhite);
    EXPECT_EQ(c.At(i, 20), kWhite);
    EXPECT_EQ(c.At(10, i), kWhite);
    EXPECT_EQ(c.At(20, i), kWhite);
  }
}

TEST(GdiLineTest, LeavesOutTheEndPixelAndRoundsHalvesDown) {
  EXPECT_EQ(LineFrom(0, 0, 5, 0), (PixelSet{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}));
  EXPECT_EQ(LineFrom(0, 0, 4, 2), (PixelSet{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
  EXPECT_EQ(LineFrom(4, 2, 0, 0), (PixelSet{{4, 2}, {3, 1}, {2, 1}, {1, 0}}));
  EXPECT_EQ(LineFrom(2, 2, 2, 2), PixelSet{});
  EXPECT_EQ(LineFrom(3, 0, 0, 3), (PixelSet{{3, 0}, {2, 1}, {1, 2}}));
}

// Colour bitmaps draw lines by a pointer walk, monochrome ones by the
// general per-pixel rule: both must light the same pixels, clipped or not.
TEST(GdiLineTest, ColourAndMonochromeBitmapsLightTheSamePixels) {
  Canvas colour(40, 30);
  colour.Inks(kWhite, CLR_INVALID);
  HDC mono = CreateCompatibleDC(nullptr);  // its bitmap is monochrome
  HBITMAP monoBitmap = CreateBitmap(40, 30, 1, 1, nullptr);
  HGDIOBJ oldBitmap = SelectObject(mono, monoBitmap);
  HGDIOBJ oldPen = SelectObject(mono, GetStockObject(WHITE_PEN));
  std::srand(7);
  const auto coordinate = [](int size) { return std::rand() % (size + 40) - 20; };  // inside and out
  for (int i = 0; i < 400; ++i) {
    const RECT all{0, 0, 40, 30};
    FillRect(colour.dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    FillRect(mono, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    int x0 = coordinate(40), y0 = coordinate(30), x1 = coordinate(40), y1 = coordinate(30);
    if (i % 10 == 0) y1 = y0;  // horizontal
    if (i % 10 == 1) x1 = x0;  // vertical
    for (HDC dc : {colour.dc(), mono}) {
      MoveToEx(dc, x0, y0, nullptr);
      LineTo(dc, x1, y1);
    }
    PixelSet fromMono;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x)
        if (GetPixel(mono, x, y) == kWhite) fromMono.insert({x, y});
    ASSERT_EQ(Lit(colour, kWhite), fromMono) << "(" << x0 << ", " << y0 << ") to (" << x1 << ", " << y1 << ")";
  }
  SelectObject(mono, oldPen);
  SelectObject(mono, oldBitmap);
  DeleteObject(monoBitmap);
  DeleteDC(mono);
}

TEST(GdiLineTest, CoversTheSamePixelsInBothDirections) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(-4, 27);
  for (int i = 0; i < 200; ++i) {
    const int x0 = coordinate(random), y0 = coordinate(random), x1 = coordinate(random), y1 = coordinate(random);
    PixelSet forward = LineFrom(x0, y0, x1, y1), backward = LineFrom(x1, y1, x0, y0);
    if (x1 >= 0 && y1 >= 0 && x1 < 24 && y1 < 24 && (x0 != x1 || y0 != y1)) forward.insert({x1, y1});
    if (x0 >= 0 && y0 >= 0 && x0 < 24 && y0 < 24 && (x0 != x1 || y0 != y1)) backward.insert({x0, y0});
    ASSERT_EQ(forward, backward) << x0 << "," << y0 << " to " << x1 << "," << y1;
  }
}

TEST(GdiPolygonTest, TriangleInteriorSamplesLatticePointsWhateverTheOrientation) {
  const POINT clockwise[3] = {{0, 0}, {8, 0}, {0, 8}};
  const POINT counter[3] = {{0, 0}, {0, 8}, {8, 0}};
  Canvas a(10, 10), b(10, 10);
  a.Inks(CLR_INVALID, kWhite);
  b.Inks(CLR_INVALID, kWhite);
  Polygon(a.dc(), clockwise, 3);
  Polygon(b.dc(), counter, 3);
  EXPECT_EQ(a.Picture(kWhite), Rows({"########..", "#######...", "######....", "#####.....", "####......",
                                     "###.......", "##........", "#.........", "..........", ".........."}));
  EXPECT_EQ(a.Picture(kWhite), b.Picture(kWhite));
}

TEST(GdiPolygonTest, OutlinedTriangleLeavesTheInsideAndFilledTakesTheBrush) {
  const POINT corners[3] = {{1, 1}, {14, 2}, {6, 12}};
  Canvas outline(16, 16), filled(16, 16);
  outline.Inks(kWhite, CLR_INVALID);
  filled.Inks(kWhite, kRed);
  Polygon(outline.dc(), corners, 3);
  Polygon(filled.dc(), corners, 3);
  EXPECT_EQ(outline.At(7, 5), kBlack);
  EXPECT_EQ(filled.At(7, 5), kRed);
  EXPECT_EQ(outline.Picture(kWhite), filled.Picture(kWhite));  // the same edges in the pen
  EXPECT_GT(filled.Count(kRed), 40);
}

TEST(GdiPolygonTest, AlternateLeavesTheStarsCentreOpenAndWindingFillsIt) {
  POINT star[5];
  for (int i = 0; i < 5; ++i) {
    const double angle = -M_PI / 2 + i * 4 * M_PI / 5;
    star[i] = {static_cast<LONG>(std::lround(50 + 45 * std::cos(angle))), static_cast<LONG>(std::lround(50 + 45 * std::sin(angle)))};
  }
  Canvas alternate(100, 100), winding(100, 100);
  alternate.Inks(CLR_INVALID, kWhite);
  winding.Inks(CLR_INVALID, kWhite);
  EXPECT_EQ(GetPolyFillMode(alternate.dc()), ALTERNATE);
  EXPECT_EQ(SetPolyFillMode(winding.dc(), WINDING), ALTERNATE);
  Polygon(alternate.dc(), star, 5);
  Polygon(winding.dc(), star, 5);
  EXPECT_EQ(alternate.At(50, 50), kBlack);
  EXPECT_EQ(winding.At(50, 50), kWhite);
  EXPECT_EQ(alternate.At(50, 10), kWhite);  // a point of the star is filled either way
  EXPECT_GT(winding.Count(kWhite), alternate.Count(kWhite));
}

TEST(GdiPolygonTest, SelfCrossingQuadrilateralFillsBothLobesUnderAlternate) {
  const POINT bowtie[4] = {{0, 0}, {10, 10}, {10, 0}, {0, 10}};
  Canvas c(12, 12);
  c.Inks(CLR_INVALID, kWhite);
  Polygon(c.dc(), bowtie, 4);
  EXPECT_EQ(c.At(1, 5), kWhite);
  EXPECT_EQ(c.At(9, 5), kWhite);
  EXPECT_EQ(c.At(5, 1), kBlack);
  EXPECT_EQ(c.At(5, 9), kBlack);
}

// Four corners with upright sides take a quicker way than other polygons; a
// fifth corner on one side makes the same shape take the general one.
TEST(GdiPolygonTest, UprightRectanglesFillAsTheGeneralRuleDoes) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> near(-20, 60);
  for (int i = 0; i < 400; ++i) {
    int l = near(random), t = near(random), r = near(random), b = near(random);
    if (i % 50 == 0) l = INT_MIN, r = INT_MAX - 1;
    const bool downFirst = i % 2 == 1;
    const POINT four[4] = {{l, t}, downFirst ? POINT{l, b} : POINT{r, t}, {r, b}, downFirst ? POINT{r, t} : POINT{l, b}};
    const POINT five[5] = {four[0], {static_cast<LONG>((static_cast<long long>(four[0].x) + four[1].x) / 2),
                                     static_cast<LONG>((static_cast<long long>(four[0].y) + four[1].y) / 2)},
                           four[1], four[2], four[3]};
    Canvas quick(40, 30), general(40, 30);
    for (Canvas* c : {&quick, &general}) {
      c->Inks(CLR_INVALID, kWhite);
      SetPolyFillMode(c->dc(), i % 4 < 2 ? ALTERNATE : WINDING);
    }
    Polygon(quick.dc(), four, 4);
    Polygon(general.dc(), five, 5);
    ASSERT_EQ(quick.Picture(kWhite), general.Picture(kWhite)) << l << "," << t << " " << r << "," << b;
  }
}

TEST(GdiClippingTest, FarAndHugeCoordinatesDrawOnlyTheVisiblePart) {
  Canvas c(40, 30);
  c.Inks(CLR_INVALID, kWhite);
  Rectangle(c.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  EXPECT_EQ(c.Count(kWhite), 40 * 30);

  Canvas d(40, 30);
  d.Inks(kRed, CLR_INVALID);
  MoveToEx(d.dc(), INT_MIN, 5, nullptr);
  LineTo(d.dc(), INT_MAX, 5);
  EXPECT_EQ(d.Count(kRed), 40);
  MoveToEx(d.dc(), -(1 << 27), -(1 << 27), nullptr);
  LineTo(d.dc(), 1 << 27, 1 << 27);  // the diagonal through the corner
  EXPECT_EQ(d.At(7, 7), kRed);
  EXPECT_EQ(d.At(29, 29), kRed);

  Canvas e(40, 30);
  e.Inks(kWhite, kWhite);
  const POINT far[3] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {0, INT_MAX}};
  Polygon(e.dc(), far, 3);
  EXPECT_EQ(e.Count(kWhite), 40 * 30);
  const POINT outside[4] = {{-500, -500}, {-100, -500}, {-100, -100}, {-500, -100}};
  Canvas f(40, 30);
  f.Inks(kWhite, kWhite);
  Polygon(f.dc(), outside, 4);
  EXPECT_EQ(f.Count(kWhite), 0);
}

TEST(GdiPixelTest, SetPixelAndGetPixelUseColourReferences) {
  Canvas c(4, 4);
  EXPECT_EQ(SetPixel(c.dc(), 1, 2, RGB(10, 20, 30)), RGB(10, 20, 30));
  EXPECT_EQ(GetPixel(c.dc(), 1, 2), RGB(10, 20, 30));
  EXPECT_EQ(GetPixel(c.dc(), 4, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(c.dc(), -1, 0), CLR_INVALID);
  EXPECT_EQ(GetRValue(RGB(10, 20, 30)), 10);
  EXPECT_EQ(GetGValue(RGB(10, 20, 30)), 20);
  EXPECT_EQ(GetBValue(RGB(10, 20, 30)), 30);
  EXPECT_EQ(RGB(255, 0, 0), 0x0000FFu);
}

}  // namespace
