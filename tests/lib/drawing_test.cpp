// The library's colours, inks, shapes, text and bitmaps, read back from the
// back buffer.
#include <gtest/gtest.h>
#include <winlayer/objects.h>

#include <cstring>
#include <string>

#include "BrannowayLib.h"
#include "bmp_writer.h"
#include "state.h"

namespace {

using namespace BrannowayLib;

COLORREF At(int x, int y) { return GetPixel(State().hBuffer, x, y); }

int Count(COLORREF c, int w = 640, int h = 480) {
  int n = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) n += At(x, y) == c;
  return n;
}

class LibraryDrawingTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    Venster(50, 50, 650, 513, TitleFrom("Tekenen"));
    GTEST_FLAG_SET(death_test_style, "threadsafe");
  }
  // Every test starts on a black back buffer with white inks.
  void SetUp() override {
    InktRand(Kleur(0, 0, 0));
    InktOpvul(Kleur(0, 0, 0));
    Rechthoek(-1, -1, 700, 600, true);
    InktRand(Kleur(255, 255, 255));
    InktOpvul(Kleur(255, 255, 255));
  }
};

TEST_F(LibraryDrawingTest, ColoursPackRedGreenBlueIntoTheLowThreeBytes) {
  EXPECT_EQ(Kleur(255, 0, 0), 0x000000FFu);
  EXPECT_EQ(Kleur(0, 0, 255), 0x00FF0000u);
  EXPECT_EQ(Kleur(255, 255, 255), 0x00FFFFFFu);
  EXPECT_EQ(Kleur(1, 2, 3), RGB(1, 2, 3));
  EXPECT_EXIT(Kleur(256, 0, 0), testing::ExitedWithCode(201), "value out of range: 256");
  EXPECT_EXIT(Kleur(0, 0, 1000), testing::ExitedWithCode(201), "1000");
}

TEST_F(LibraryDrawingTest, RectanglesOutlinedReachOnePixelFurtherThanFilled) {
  Rechthoek(10, 10, 20, 20, false);
  EXPECT_EQ(Count(Kleur(255, 255, 255), 40, 40), 40);
  EXPECT_EQ(At(20, 20), Kleur(255, 255, 255));
  EXPECT_EQ(At(15, 15), Kleur(0, 0, 0));  // the inside stays

  InktOpvul(Kleur(255, 0, 0));
  Rechthoek(30, 10, 40, 20, true);
  EXPECT_EQ(At(30, 10), Kleur(255, 255, 255));
  EXPECT_EQ(At(39, 19), Kleur(255, 255, 255));
  EXPECT_EQ(At(35, 15), Kleur(255, 0, 0));
  EXPECT_EQ(At(40, 20), Kleur(0, 0, 0));
}

TEST_F(LibraryDrawingTest, TrianglesTakeTheFillInkOnlyWhenFilled) {
  InktRand(Kleur(0, 255, 0));
  InktOpvul(Kleur(0, 0, 255));
  Driehoek(100, 100, 200, 100, 150, 180, false);
  EXPECT_EQ(At(150, 130), Kleur(0, 0, 0));
  EXPECT_EQ(At(150, 100), Kleur(0, 255, 0));
  Driehoek(100, 100, 200, 100, 150, 180, true);
  EXPECT_EQ(At(150, 130), Kleur(0, 0, 255));
  EXPECT_EQ(At(150, 100), Kleur(0, 255, 0));
  const POINT square[4] = {{300, 300}, {340, 300}, {340, 340}, {300, 340}};
  POINT copy[4];
  std::memcpy(copy, square, sizeof square);
  Polygoon(square, true);
  EXPECT_EQ(std::memcmp(copy, square, sizeof square), 0);
  EXPECT_EQ(At(320, 320), Kleur(0, 0, 255));
}

TEST_F(LibraryDrawingTest, InkAndFontChangesLeaveNoObjectBehind) {
  Rechthoek(0, 0, 5, 5, true);
  Tekst(0, 0, "x");
  const std::size_t brushes = winlayer::LiveGdiObjects(OBJ_BRUSH);
  const std::size_t pens = winlayer::LiveGdiObjects(OBJ_PEN);
  const std::size_t fonts = winlayer::LiveGdiObjects(OBJ_FONT);
  InktOpvul(Kleur(1, 0, 0));
  InktOpvul(Kleur(2, 0, 0));  // twice between two shapes
  InktRand(Kleur(3, 0, 0));
  InktRand(Kleur(4, 0, 0));
  Rechthoek(0, 0, 5, 5, true);
  EXPECT_EQ(winlayer::LiveGdiObjects(OBJ_BRUSH), brushes);
  EXPECT_EQ(winlayer::LiveGdiObjects(OBJ_PEN), pens);
  ZetTekstGrootte(20);
  ZetTekstAttributen(true, false, false, false);  // two changes between two texts
  Tekst(0, 0, "x");
  EXPECT_EQ(winlayer::LiveGdiObjects(OBJ_FONT), fonts);
  ZetTekstAttributen(false, false, false, false);
  ZetTekstGrootte(16);
}

TEST_F(LibraryDrawingTest, TextEndsAtItsZeroOrBeforeTheArraysLastPosition) {
  ZetTekstNaam("Arial");
  ZetTekstGrootte(26);
  InktTekst(Kleur(255, 255, 255));
  const char empty[4] = {'\0', 'A', 'B', 'C'};
  Tekst(10, 10, empty);
  EXPECT_EQ(Count(Kleur(255, 255, 255), 100, 50), 0);

  const char unterminated[4] = {'A', 'B', 'C', 'D'};
  Tekst(10, 10, unterminated);
  const int drawn = Count(Kleur(255, 255, 255), 200, 50);
  SetUp();
  InktTekst(Kleur(255, 255, 255));
  Tekst(10, 10, "ABC");
  EXPECT_GT(drawn, 0);
  EXPECT_EQ(Count(Kleur(255, 255, 255), 200, 50), drawn);  // all but the last position
  ZetTekstGrootte(16);
}

TEST_F(LibraryDrawingTest, FaceNamesAreCopiedPositionByPosition) {
  ZetTekstNaam("Comic Sans MS");
  ZetTekstNaam("Arial");  // the constant's zero character ends the name
  EXPECT_STREQ(State().structFont.lfFaceName, "Arial");
  ZetTekstNaam("Comic Sans MS");
  const char five[5] = {'A', 'r', 'i', 'a', 'l'};
  ZetTekstNaam(five);
  EXPECT_STREQ(State().structFont.lfFaceName, "Arial Sans MS");
  ZetTekstNaam("A face name that is longer than thirty-two characters");
  EXPECT_EQ(std::string(State().structFont.lfFaceName, LF_FACESIZE), std::string("A face name that is longer than ").substr(0, 32));
  ZetTekstNaam("Arial");
}

TEST_F(LibraryDrawingTest, AttributesAlwaysSetAllFour) {
  ZetTekstAttributen(true, true, true, true);
  EXPECT_EQ(State().structFont.lfWeight, 700);
  EXPECT_TRUE(State().structFont.lfItalic && State().structFont.lfUnderline && State().structFont.lfStrikeOut);
  ZetTekstAttributen(false, false, false, false);
  EXPECT_EQ(State().structFont.lfWeight, 400);
  EXPECT_FALSE(State().structFont.lfItalic || State().structFont.lfUnderline || State().structFont.lfStrikeOut);
  EXPECT_EXIT(ZetTekstGrootte(0x80000000u), testing::ExitedWithCode(201), "does not fit");
}

TEST_F(LibraryDrawingTest, TextLeavesTheBackgroundBetweenItsGlyphs) {
  InktOpvul(Kleur(0, 0, 200));
  InktRand(Kleur(0, 0, 200));
  Rechthoek(0, 0, 300, 60, true);
  ZetTekstNaam("Arial");
  ZetTekstGrootte(26);
  InktTekst(Kleur(255, 255, 255));
  Tekst(10, 10, "Hallo");
  EXPECT_GT(Count(Kleur(255, 255, 255), 300, 60), 20);
  EXPECT_EQ(At(12, 12), Kleur(0, 0, 200));
  ZetTekstGrootte(16);
}

class LibraryBitmapTest : public LibraryDrawingTest {
 protected:
  testing_support::TempDir dir_;
  std::uint32_t Load(const std::string& name, int w, int h, testing_support::PixelColour colour) {
    const std::string path = dir_ / name;
    testing_support::WriteBytes(path, testing_support::MakeBmp(w, h, 24, false, colour));
    return LaadBitmap(runtime::View<const char>(path.c_str(), path.size() + 1));
  }
};

TEST_F(LibraryBitmapTest, ABitmapAtANegativePlaceShowsItsInnerPart) {
  const std::uint32_t bmp = Load("picture.bmp", 100, 50, [](int x, int y) { return RGB(x, y, 7); });
  ASSERT_NE(bmp, 0u);
  TekenBitmap(bmp, -10, -10);
  TekenBitmap(bmp, 200, 200);  // twice in one frame
  EXPECT_EQ(At(0, 0), RGB(10, 10, 7));
  EXPECT_EQ(At(89, 39), RGB(99, 49, 7));
  EXPECT_EQ(At(90, 10), RGB(0, 0, 0));
  EXPECT_EQ(At(200, 200), RGB(0, 0, 7));
  const std::size_t bitmaps = winlayer::LiveGdiObjects(OBJ_BITMAP);
  VerwijderBitmap(bmp);
  EXPECT_EQ(winlayer::LiveGdiObjects(OBJ_BITMAP), bitmaps - 1);
}

TEST_F(LibraryBitmapTest, MasksShowThePictureWhereTheyAreBlack) {
  InktOpvul(Kleur(40, 50, 60));
  InktRand(Kleur(40, 50, 60));
  Rechthoek(0, 0, 100, 100, true);
  const auto picture = Load("p.bmp", 20, 20, [](int x, int y) { return RGB(x * 10, y * 10, 99); });
  const auto black = Load("black.bmp", 20, 20, [](int, int) { return RGB(0, 0, 0); });
  const auto white = Load("white.bmp", 20, 20, [](int, int) { return RGB(255, 255, 255); });
  TekenAlphaBitmap(black, white, 0, 0);  // all transparent: nothing changes
  EXPECT_EQ(At(5, 5), Kleur(40, 50, 60));
  TekenAlphaBitmap(picture, black, 30, 30);  // all opaque: exactly the picture
  EXPECT_EQ(At(30, 30), RGB(0, 0, 99));
  EXPECT_EQ(At(49, 49), RGB(190, 190, 99));
  EXPECT_EQ(At(50, 50), Kleur(40, 50, 60));
  for (auto b : {picture, black, white}) VerwijderBitmap(b);
}

TEST_F(LibraryBitmapTest, AMissingPictureLoadsAsZeroAndDrawsNothing) {
  EXPECT_EQ(LaadBitmap("Media/does-not-exist.bmp"), 0u);
  TekenBitmap(0, 0, 0);
  TekenAlphaBitmap(0, 0, 0, 0);
  VerwijderBitmap(0);
  EXPECT_EQ(Count(Kleur(0, 0, 0), 50, 50), 2500);
}

}  // namespace
