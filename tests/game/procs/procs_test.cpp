// The game's models and board: squares, picking, the field drawing, ship
// hulls and collisions, projectile and radar meshes, and the utilities.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <vector>

#include "Brannoway3D.h"
#include "BrannowayLib.h"
#include "BrannowayProcs.h"
#include "runtime/numeric.h"
#include "shown_pixel.h"

namespace {

using namespace BrannowayProcs;
namespace engine = Brannoway3D;

constexpr float kPi = 3.14159265f;

void ExpectNear(tVector actual, tVector expected, float tolerance = 1e-4f) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

tVeld Field(bool inverted, tVeldInfo* info = nullptr) {
  return tVeld{info, {0, 0, 0}, inverted, BrannowayLib::Kleur(0, 0, 255)};
}

tSchip Ship(std::int32_t x, std::int32_t y, eOrientatie o, std::uint8_t length) { return ShipAt({x, y}, o, length); }

COLORREF BackBuffer(int x, int y) {
  BrannowayLib::Update();
  return testing_support::ShownPixel("Board", x, y);
}

void ClearView() {
  BrannowayLib::InktOpvul(0);
  BrannowayLib::InktRand(0);
  BrannowayLib::Rechthoek(0, 0, 640, 480, true);
}

// A camera 60 units above the middle of a field at the origin, looking straight down.
void LookDownOnTheField() {
  engine::SetCameraView(0, 0, 490, 480);
  engine::PositionCamera(18.75f, 60, 12.5f);
  engine::RotateCamera(kPi / 2, 0, 0);
  Cam = {18.75f, 60, 12.5f};
}

class BoardTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    Initialise();
    VELD_BREEDTE = 15;
    VELD_HOOGTE = 10;
    VELD_VIERKANT = 2.5f;
    BrannowayLib::Venster(0, 0, 650, 513, BrannowayLib::TitleFrom("Board"));
  }
  void SetUp() override { ClearView(); }
};

TEST_F(BoardTest, SquareCentresOfNormalAndInvertedFields) {
  ExpectNear(VindVeld3DPositie(Field(false), 3, 4), {8.75f, 0, 11.25f});
  ExpectNear(VindVeld3DPositie(Field(true), 3, 4), {28.75f, 0, 13.75f});
  ExpectNear(VindVeld3DPositie(Field(false), 0, 0), {1.25f, 0, 1.25f});
  ExpectNear(VindVeld3DPositie(Field(true), 0, 0), {36.25f, 0, 23.75f});
  ExpectNear(VindVeld3DPositie(Field(false), -1, 10), {-1.25f, 0, 26.25f});  // beyond the field too
}

TEST_F(BoardTest, PickingTruncatesTowardZero) {
  struct Case {
    float x;
    std::int32_t column;
  };
  engine::SetCameraView(0, 0, 490, 480);
  for (const Case& c : {Case{-1, 0}, Case{-2.6f, -1}, Case{37.4f, 14}, Case{37.6f, 15}, Case{8.0f, 3}}) {
    engine::PositionCamera(c.x, 30, 6);
    engine::RotateCamera(kPi / 2, 0, 0);
    Cam = {c.x, 30, 6};
    const POINT p = VindVeldPositie(Field(false), 245, 240);  // the centre pixel: straight down
    EXPECT_EQ(p.x, c.column) << c.x;
    EXPECT_EQ(p.y, 2) << c.x;
  }
  // The inverted field counts from the far corner.
  engine::PositionCamera(8.0f, 30, 6);
  Cam = {8.0f, 30, 6};
  const POINT inverted = VindVeldPositie(Field(true), 245, 240);
  EXPECT_EQ(inverted.x, 11);
  EXPECT_EQ(inverted.y, 7);
}

TEST_F(BoardTest, PixelsOnOrAboveTheHorizonPickNoSquare) {
  engine::SetCameraView(0, 0, 490, 480);
  engine::PositionCamera(0, 20, -40);
  engine::RotateCamera(0, 0, 0);  // looking level: the centre row is the horizon
  Cam = {0, 20, -40};
  for (std::int32_t y : {0, 100, 240}) {
    const POINT p = VindVeldPositie(Field(false), 245, y);
    EXPECT_TRUE(p.x < 0 || p.x >= 15 || p.y < 0 || p.y >= 10) << y;
  }
  // Just below the horizon the square is far away, yet no number overflows.
  const POINT far = VindVeldPositie(Field(false), 245, 241);
  EXPECT_TRUE(far.y < 0 || far.y >= 10);
}

// Counts the separate white runs along a row or a column of the back buffer.
int WhiteRuns(bool alongRow, int at, int from, int to) {
  int runs = 0;
  bool inside = false;
  for (int k = from; k < to; ++k) {
    const bool white = (alongRow ? BackBuffer(k, at) : BackBuffer(at, k)) == RGB(255, 255, 255);
    if (white && !inside) ++runs;
    inside = white;
  }
  return runs;
}

TEST_F(BoardTest, AnEmptyFieldIsItsGridOfTwentySixLines) {
  tVeldInfo info(15, 10);
  LookDownOnTheField();
  TekenVeld(Field(false, &info));
  const int across = WhiteRuns(true, 250, 0, 490);  // lines of constant x, crossed along a row between two lines
  const int down = WhiteRuns(false, 245, 0, 480);   // lines of constant z, crossed along a column
  EXPECT_EQ(across, 16);
  EXPECT_EQ(down, 11);
  EXPECT_EQ(BackBuffer(245 + 7, 240 + 7), RGB(0, 0, 0));  // free squares stay unpainted

  // The grid of an inverted field at the same place is the same grid.
  std::vector<COLORREF> normal;
  for (int x = 0; x < 490; x += 3) normal.push_back(BackBuffer(x, 200));
  ClearView();
  TekenVeld(Field(true, &info));
  for (int x = 0, k = 0; x < 490; x += 3, ++k) ASSERT_EQ(BackBuffer(x, 200), normal[static_cast<std::size_t>(k)]) << x;
}

TEST_F(BoardTest, MarkedSquaresAreCyanOrRedAndFollowTheNumbering) {
  tVeldInfo info(15, 10);
  info[0][0] = Gemist;
  info[14][9] = Geraakt;
  LookDownOnTheField();
  auto pixelOf = [](tVector p) {
    tVertex v{};
    v.pos = p;
    engine::RenderToCamera(v);
    return POINT{v.scr.x, v.scr.y};
  };
  TekenVeld(Field(false, &info));
  POINT missed = pixelOf(VindVeld3DPositie(Field(false), 0, 0)), hit = pixelOf(VindVeld3DPositie(Field(false), 14, 9));
  EXPECT_EQ(BackBuffer(missed.x, missed.y), RGB(0, 255, 255));
  EXPECT_EQ(BackBuffer(hit.x, hit.y), RGB(255, 0, 0));
  ClearView();
  TekenVeld(Field(true, &info));
  missed = pixelOf(VindVeld3DPositie(Field(true), 0, 0));
  EXPECT_EQ(BackBuffer(missed.x, missed.y), RGB(0, 255, 255));
  EXPECT_EQ(missed.x, hit.x);  // square (0, 0) of the inverted field lies where (14, 9) of the other does
  EXPECT_EQ(missed.y, hit.y);
  EXPECT_EXIT((void)info[15], testing::ExitedWithCode(201), "index out of bounds: 15");
  EXPECT_EXIT((void)info[0][10], testing::ExitedWithCode(201), "index out of bounds: 10");
}

TEST_F(BoardTest, ShipHullsLieOnTheirSquares) {
  tSchip a = Ship(0, 1, Verticaal, 2);
  MaakSchip(a, Field(false));
  ExpectNear(a.vList[0].pos, {1.25f, 0.625f, 5.0f});
  ExpectNear(a.vList[8].pos, {0.3125f, 0, 0.25f});
  ExpectNear(a.vList[9].pos, {2.1875f, 0, 0.25f});

  tSchip b = Ship(0, 1, Verticaal, 2);
  MaakSchip(b, Field(true));
  ExpectNear(b.vList[0].pos, {36.25f, 0.625f, 20.0f});
  ExpectNear(b.vList[8].pos, {37.1875f, 0, 24.75f});
  ExpectNear(b.vList[9].pos, {35.3125f, 0, 24.75f});

  tSchip c = Ship(5, 2, Horizontaal, 3);
  MaakSchip(c, Field(false));
  ExpectNear(c.vList[0].pos, {15.0f, 0.625f, 6.25f});
  ExpectNear(c.vList[3].pos, {7.75f, 0.625f, 7.1875f});
  ExpectNear(c.vList[4].pos, {7.75f, 0.625f, 5.3125f});
  EXPECT_EQ(c.tList[0].b, 255u);

  // Every face's normal points away from the hull's middle: the deck up, the sides out.
  ExpectNear(c.tList[11].Normal, {0, 1, 0});
  tVector centre{0, 0, 0};
  for (const tVertex& v : c.vList) centre = {centre.x + v.pos.x / 10, centre.y + v.pos.y / 10, centre.z + v.pos.z / 10};
  for (const tTriangle& t : c.tList) {
    const tVector p = c.vList[t.Index[0]].pos;
    EXPECT_GT(engine::InProduct(t.Normal, engine::SubstractVector(p, centre)), 0);
  }
  tSchip tooLong = Ship(0, 0, Verticaal, 6);
  EXPECT_EXIT(MaakSchip(tooLong, Field(false)), testing::ExitedWithCode(201), "value out of range: 6");
}

TEST_F(BoardTest, ShipsCollideExactlyWhenTheyShareASquare) {
  const tSchip vertical = Ship(3, 4, Verticaal, 3);  // (3, 4), (3, 3), (3, 2)
  EXPECT_TRUE(SchipBotst(vertical, Ship(4, 3, Horizontaal, 2)));   // (4, 3), (3, 3)
  EXPECT_TRUE(SchipBotst(Ship(4, 3, Horizontaal, 2), vertical));
  EXPECT_FALSE(SchipBotst(vertical, Ship(3, 1, Verticaal, 2)));    // rows 0 and 1
  EXPECT_TRUE(SchipBotst(vertical, Ship(3, 2, Verticaal, 2)));
  EXPECT_FALSE(SchipBotst(vertical, Ship(4, 4, Verticaal, 3)));    // the next column
  EXPECT_FALSE(SchipBotst(vertical, Ship(3, 7, Verticaal, 3)));    // end to end
  EXPECT_TRUE(SchipBotst(Ship(5, 2, Horizontaal, 3), Ship(3, 2, Horizontaal, 2)));
  EXPECT_FALSE(SchipBotst(Ship(5, 2, Horizontaal, 3), Ship(5, 3, Horizontaal, 3)));

  // The rule agrees with the covered squares for every pair on a small board.
  auto squares = [](const tSchip& s) {
    std::set<std::pair<int, int>> covered;
    for (int k = 0; k < s.Lengte; ++k)
      covered.insert(s.Orientatie == Verticaal ? std::pair{s.Voorkant.x, s.Voorkant.y - k} : std::pair{s.Voorkant.x - k, s.Voorkant.y});
    return covered;
  };
  for (int x1 = 0; x1 < 5; ++x1)
    for (int y1 = 0; y1 < 5; ++y1)
      for (int x2 = 0; x2 < 5; ++x2)
        for (int y2 = 0; y2 < 5; ++y2)
          for (auto o1 : {Horizontaal, Verticaal})
            for (auto o2 : {Horizontaal, Verticaal}) {
              const tSchip a = Ship(x1, y1, o1, 3), b = Ship(x2, y2, o2, 2);
              std::vector<std::pair<int, int>> shared;
              const auto sa = squares(a), sb = squares(b);
              std::set_intersection(sa.begin(), sa.end(), sb.begin(), sb.end(), std::back_inserter(shared));
              ASSERT_EQ(SchipBotst(a, b), !shared.empty());
            }
}

TEST_F(BoardTest, SetTriangleSplitsTheColour) {
  tTriangle t{};
  t.Normal = {1, 2, 3};
  SetTriangle(t, 4, 5, 6, BrannowayLib::Kleur(10, 20, 30));
  EXPECT_EQ(t.r, 10u);
  EXPECT_EQ(t.g, 20u);
  EXPECT_EQ(t.b, 30u);
  EXPECT_EQ(t.Index[0], 4u);
  EXPECT_EQ(t.Index[2], 6u);
  ExpectNear(t.Normal, {1, 2, 3}, 0);
}

TEST_F(BoardTest, AFleetShowsItsHullsOnItsSquares) {
  tVeldInfo info(15, 10);
  LookDownOnTheField();
  tSchip fleet[4] = {Ship(1, 1, Verticaal, 2), Ship(5, 2, Horizontaal, 3), Ship(10, 8, Verticaal, 4), Ship(14, 9, Horizontaal, 5)};
  for (tSchip& s : fleet) MaakSchip(s, Field(false));
  TekenVeld(Field(false, &info));
  TekenSchepen(fleet);
  auto blueAt = [](tVector centre) {
    tVertex v{};
    v.pos = {centre.x, 0.625f, centre.z};
    engine::RenderToCamera(v);
    const COLORREF c = BackBuffer(v.scr.x, v.scr.y);
    return GetBValue(c) > 150 && GetRValue(c) == 0 && GetGValue(c) == 0;
  };
  // The deck, lit from above, shows blue over every square each ship covers, and nowhere else.
  const std::pair<int, int> covered[] = {{1, 1}, {1, 0}, {5, 2}, {4, 2}, {3, 2}, {10, 8}, {10, 5}, {14, 9}, {10, 9}};
  for (auto [x, y] : covered) EXPECT_TRUE(blueAt(VindVeld3DPositie(Field(false), x, y))) << x << "," << y;
  for (auto [x, y] : {std::pair{2, 1}, std::pair{6, 2}, std::pair{10, 4}, std::pair{9, 9}})
    EXPECT_FALSE(blueAt(VindVeld3DPositie(Field(false), x, y))) << x << "," << y;
}

TEST_F(BoardTest, TheProjectileTurnsNoseDownWithItsNormals) {
  tProjectiel p{};
  MaakProjectiel(p);
  ExpectNear(p.tList[12].Normal, {0, -1, 0});
  EXPECT_GT(p.tList[0].Normal.y, 0);
  EXPECT_GT(p.tList[0].Normal.z, 0);
  EXPECT_EQ(p.tList[0].r, 255u);
  EXPECT_EQ(p.tList[0].g, 0u);
  PitchProjectiel(p);
  ExpectNear(p.tList[12].Normal, {0, 1, 0});
  ExpectNear(p.vList[0].pos, {0, -1.6f, 0});
  PitchProjectiel(p);
  ExpectNear(p.vList[0].pos, {0, 1.6f, 0});

  // Drawn at its place on a copy: the record stays as it was.
  engine::SetCameraView(0, 0, 490, 480);
  engine::PositionCamera(5, 10, 3);
  engine::RotateCamera(kPi / 2, 0, 0);
  p.Pos = {5, 2, 3};
  const tProjectiel before = p;
  TekenProjectiel(p);
  for (int k = 0; k < 9; ++k) {
    ExpectNear(p.vList[k].pos, before.vList[k].pos, 0);
    EXPECT_EQ(p.vList[k].scr.x, before.vList[k].scr.x);
  }
  tVertex tip{};
  tip.pos = {5, 3.6f, 3};
  engine::RenderToCamera(tip);
  const COLORREF nose = BackBuffer(tip.scr.x + 3, tip.scr.y + 3);  // the red nose, seen from above, around its tip
  EXPECT_GT(GetRValue(nose), 100);
  EXPECT_EQ(GetGValue(nose), 0);
  EXPECT_EQ(GetBValue(nose), 0);
}

TEST_F(BoardTest, TheRadarTurnsItsVerticesButNotItsNormals) {
  tRadar r{};
  r.Angle = 1.0f;
  MaakRadar(r);
  EXPECT_FLOAT_EQ(r.Angle, 1.0f);
  ExpectNear(r.vList[16].pos, {0, 0, -1}, 0);
  ExpectNear(r.vList[1].pos, {0, 1.03462f, -0.13987f}, 1e-4f);
  ExpectNear(r.vList[6].pos, {0, -0.07822f, 0.49384f}, 1e-4f);
  std::vector<tVector> normals;
  for (const tTriangle& t : r.tList) normals.push_back(t.Normal);
  DraaiRadar(r, kPi / 2);
  ExpectNear(r.vList[16].pos, {-1, 0, 0});
  EXPECT_NEAR(r.Angle, 1.0f + kPi / 2, 1e-6f);
  for (int t = 0; t < 24; ++t) ExpectNear(r.tList[t].Normal, normals[static_cast<std::size_t>(t)], 0);
}

TEST_F(BoardTest, RandomNumbersCoverTheirClosedRange) {
  runtime::SeedRandom(12345);
  EXPECT_EQ(Rnd(1, 1), 1);
  std::map<int, int> twoWay, threeWay;
  std::set<int> reversed;
  for (int i = 0; i < 30000; ++i) {
    ++twoWay[Rnd(0, 1)];
    ++threeWay[Rnd(0, 2)];
    reversed.insert(Rnd(5, 3));
  }
  EXPECT_EQ(twoWay.size(), 2u);
  EXPECT_NEAR(twoWay[0] / 30000.0, 0.5, 0.02);
  EXPECT_NEAR(threeWay[1] / 30000.0, 0.5, 0.02);  // the ends are half as likely as the middle
  EXPECT_NEAR(threeWay[0] / 30000.0, 0.25, 0.02);
  EXPECT_NEAR(threeWay[2] / 30000.0, 0.25, 0.02);
  EXPECT_EQ(reversed, (std::set<int>{4, 5}));

  runtime::SeedRandom(99);
  std::vector<int> first;
  for (int i = 0; i < 20; ++i) first.push_back(Rnd(0, 1000));
  runtime::SeedRandom(99);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(Rnd(0, 1000), first[static_cast<std::size_t>(i)]);
  EXPECT_EXIT(Rnd(-2147483647 - 1, 2147483647), testing::ExitedWithCode(215), "overflow");
}

TEST_F(BoardTest, OutlinedTextIsWhiteWithABlackEdge) {
  EXPECT_EQ(VensterExtraBreedte(), 10);
  EXPECT_EQ(VensterExtraHoogte(), 33);
  BrannowayLib::ZetTekstNaam("Arial");
  BrannowayLib::ZetTekstGrootte(16);
  TekenTekst(20, 20, "Speler 1");
  std::set<COLORREF> onBlack;
  for (int y = 15; y < 45; ++y)
    for (int x = 15; x < 100; ++x) onBlack.insert(BackBuffer(x, y));
  EXPECT_EQ(onBlack, (std::set<COLORREF>{RGB(0, 0, 0), RGB(255, 255, 255)}));

  BrannowayLib::InktOpvul(BrannowayLib::Kleur(255, 255, 255));
  BrannowayLib::Rechthoek(0, 0, 200, 100, true);
  TekenTekst(20, 20, "Speler 1");
  int black = 0, white = 0;
  for (int y = 15; y < 45; ++y)
    for (int x = 15; x < 100; ++x) {
      black += BackBuffer(x, y) == RGB(0, 0, 0);
      white += BackBuffer(x, y) == RGB(255, 255, 255);
    }
  EXPECT_GT(black, 50);  // the outline around the letters
  EXPECT_GT(white, 100);
  BrannowayLib::InktOpvul(0);
  BrannowayLib::InktRand(0);
  BrannowayLib::Rechthoek(0, 55, 200, 100, true);
  BrannowayLib::Tekst(20, 60, "wit");  // the text colour stays white afterwards
  bool whiteText = false;
  for (int y = 58; y < 80; ++y)
    for (int x = 18; x < 60; ++x) whiteText = whiteText || BackBuffer(x, y) == RGB(255, 255, 255);
  EXPECT_TRUE(whiteText);
}

}  // namespace
