// The 3D engine: vector arithmetic, the camera's defaults, projection and its
// bounds, picking rays, and how meshes are culled, lit and drawn.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "Brannoway3D.h"
#include "BrannowayLib.h"
#include "runtime/numeric.h"
#include "shown_pixel.h"

namespace {

using namespace Brannoway3D;

constexpr float kTolerance = 1e-4f;

void ExpectNear(tVector actual, tVector expected, float tolerance = kTolerance) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// The defaults of the module initialisation, for tests that change the camera.
void DefaultCamera() {
  PositionCamera(0, 0, 0);
  RotateCamera(0, 0, 0);
  SetCameraView(0, 0, 400, 300);
}

tVertex Projected(float x, float y, float z) {
  tVertex v{};
  v.pos = {x, y, z};
  RenderToCamera(v);
  return v;
}

class EngineTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    Initialise();
    BrannowayLib::Venster(0, 0, 650, 513, BrannowayLib::TitleFrom("Engine"));
  }
  void SetUp() override { DefaultCamera(); }
};

TEST_F(EngineTest, VectorArithmetic) {
  ExpectNear(VectorProduct({1, 0, 0}, {0, 1, 0}), {0, 0, 1});
  ExpectNear(SubstractVector({1, 2, 3}, {1, 1, 1}), {0, 1, 2});
  EXPECT_FLOAT_EQ(InProduct({1, 2, 3}, {4, -5, 6}), 12);
  tVector zero{0, 0, 0};
  NormalizeVector(zero);
  ExpectNear(zero, {0, 0, 0}, 0);
  tVector v{3, 0, 4};
  NormalizeVector(v);
  ExpectNear(v, {0.6f, 0, 0.8f});
  tVector r{0, 0, 1};
  RotateVector(r, 1.5707963f, 0, 1, 0);  // a quarter turn about y
  ExpectNear(r, {1, 0, 0});
}

TEST_F(EngineTest, TheModuleStartsWithTheDefaultCameraAndLight) {
  const tCam& c = Camera();
  EXPECT_NEAR(c.h, 1.665532f, 1e-5f);
  EXPECT_NEAR(c.w, 1.249149f, 1e-5f);
  EXPECT_NEAR(c.aspect, 1.3333334f, 1e-7f);
  EXPECT_NEAR(c.Q, 1.0001f, 1e-5f);
  EXPECT_FLOAT_EQ(c.fov, 1.0814400f);
  ExpectNear(LightDirection(), {0.240772f, -0.963087f, 0.120386f}, 1e-5f);
}

TEST_F(EngineTest, RotationsAreAbsoluteNotAdded) {
  RotateCamera(0.5f, 0, 0);
  ExpectNear(Camera().z, {0, -std::sin(0.5f), std::cos(0.5f)});
  ExpectNear(Camera().x, {1, 0, 0});
  const tCam once = Camera();
  RotateCamera(0.5f, 0, 0);
  ExpectNear(Camera().z, once.z, 0);
  ExpectNear(Camera().y, once.y, 0);
  RotateCamera(0, 3.14159265f, 0);  // a half turn looks along -z
  ExpectNear(Camera().z, {0, 0, -1});
}

TEST_F(EngineTest, ProjectionWithTheDefaults) {
  const tVertex centre = Projected(0, 0, 10);
  EXPECT_EQ(centre.scr.x, 200);
  EXPECT_EQ(centre.scr.y, 150);
  EXPECT_NEAR(centre.scr.zBuffer, 9899.9f, 0.1f);
  EXPECT_FALSE(centre.onscreen);

  const tVertex up = Projected(1, 1, 10);
  EXPECT_EQ(up.scr.x, 225);
  EXPECT_EQ(up.scr.y, 125);

  const tVertex behind = Projected(-2, 0, -5);
  EXPECT_EQ(behind.scr.x, 102);
  EXPECT_EQ(behind.scr.y, 150);
  EXPECT_NEAR(behind.scr.zBuffer, -5100.1f, 0.1f);
  EXPECT_TRUE(behind.onscreen);
}

TEST_F(EngineTest, TheViewsRightEdgeIsAcceptedAndMinusOneIsNot) {
  std::set<int> accepted, rejected;
  for (float px = -8.2f; px <= 8.2f; px += 0.0005f) {
    const tVertex v = Projected(px, 0, 10);
    (v.onscreen ? rejected : accepted).insert(v.scr.x);
  }
  EXPECT_TRUE(accepted.count(400));
  EXPECT_TRUE(accepted.count(0));
  EXPECT_TRUE(rejected.count(401));
  EXPECT_TRUE(rejected.count(-1));
}

TEST_F(EngineTest, APointOnTheNearPlaneIsHeldAtTheBoundAndRejected) {
  for (float px : {0.0f, 1.0f, -1.0f}) {
    const tVertex v = Projected(px, 1, 0.1f);
    EXPECT_TRUE(v.onscreen);
    EXPECT_LE(std::abs(static_cast<long long>(v.scr.x)), (1LL << 30) - 1);
    EXPECT_LE(std::abs(static_cast<long long>(v.scr.y)), (1LL << 30) - 1);
  }
  EXPECT_EQ(runtime::TruncateSaturated(1e300, 100), 100);
  EXPECT_EQ(runtime::TruncateSaturated(-2.9, 100), -2);
  EXPECT_EQ(runtime::TruncateSaturated(std::nan(""), 100), -100);
}

TEST_F(EngineTest, ScreenToWorldFollowsTheCamera) {
  ExpectNear(ScreenToWorld(200, 150, 7), {0, 0, 7});
  const tVector right = ScreenToWorld(399, 150, 1);
  EXPECT_GT(right.x, 0);
  EXPECT_NEAR(right.y, 0, 1e-6f);
  RotateCamera(1.5707964f, 0, 0);  // looking straight down
  ExpectNear(ScreenToWorld(200, 150, 5), {0, -5, 0});
  // What projects to a pixel lies on that pixel's ray (the two differ only near the camera).
  DefaultCamera();
  PositionCamera(3, 4, 5);
  RotateCamera(0.3f, 1.1f, 0);
  const tVector ray = ScreenToWorld(120, 90, 50);
  const tVertex back = Projected(3 + ray.x, 4 + ray.y, 5 + ray.z);
  EXPECT_NEAR(back.scr.x, 120, 1);
  EXPECT_NEAR(back.scr.y, 90, 1);
}

// A triangle already projected to three pixels, its normal and colour set by hand.
struct Face {
  tVertex v[3];
  tTriangle t[1];
  Face(POINT a, POINT b, POINT c, tVector normal, float depth = 10) : v{}, t{} {
    const POINT p[3] = {a, b, c};
    for (int k = 0; k < 3; ++k) v[k].scr = {p[k].x, p[k].y, depth};
    t[0].Index = {{0, 1, 2}};
    t[0].Normal = normal;
    t[0].r = 255;
    t[0].g = 200;
    t[0].b = 128;
  }
};

// Clears the corner of the back buffer and draws the face there.
void Drawn(const Face& f, bool withColor = true, bool lighting = true) {
  BrannowayLib::InktOpvul(0);
  BrannowayLib::InktRand(0);
  BrannowayLib::Rechthoek(0, 0, 100, 100, true);
  RenderArray(f.v, f.t, withColor, true, lighting);
}

// A pixel of the back buffer, as the window shows it after a present.
COLORREF Pixel(int x, int y);

TEST_F(EngineTest, LightingShadesByTheFacesNormal) {
  struct Case {
    tVector normal;
    COLORREF expected;
  };
  for (const Case& c : {Case{{0, 1, 0}, RGB(250, 196, 125)}, Case{{0, -1, 0}, RGB(4, 3, 2)}, Case{{1, 0, 0}, RGB(96, 75, 48)}}) {
    Face f({10, 10}, {40, 10}, {10, 40}, c.normal);
    Drawn(f);
    EXPECT_EQ(Pixel(15, 15), c.expected);
  }
  Face own({10, 10}, {40, 10}, {10, 40}, {0, -1, 0});
  Drawn(own, true, false);
  EXPECT_EQ(Pixel(15, 15), RGB(255, 200, 128));  // no lighting: its own colour
  BrannowayLib::InktOpvul(BrannowayLib::Kleur(1, 2, 3));
  BrannowayLib::InktRand(BrannowayLib::Kleur(1, 2, 3));
  RenderArray(own.v, own.t, false, true, true);
  EXPECT_EQ(Pixel(15, 15), RGB(1, 2, 3));  // no colour: the inks as they were
}

TEST_F(EngineTest, OnlyClockwiseTrianglesInFrontAreDrawn) {
  Face clockwise({10, 10}, {20, 10}, {10, 20}, {0, 1, 0});
  Drawn(clockwise);
  EXPECT_NE(Pixel(12, 12), RGB(0, 0, 0));
  Face counter({10, 10}, {10, 20}, {20, 10}, {0, 1, 0});
  Drawn(counter);
  EXPECT_EQ(Pixel(12, 12), RGB(0, 0, 0));
  Face line({10, 10}, {20, 20}, {30, 30}, {0, 1, 0});
  Drawn(line);
  EXPECT_EQ(Pixel(20, 20), RGB(0, 0, 0));

  Face behind({10, 10}, {20, 10}, {10, 20}, {0, 1, 0}, 0);
  Drawn(behind);
  EXPECT_EQ(Pixel(12, 12), RGB(0, 0, 0));
  behind.v[2].scr.zBuffer = 0.5f;  // one corner in front is enough
  Drawn(behind);
  EXPECT_NE(Pixel(12, 12), RGB(0, 0, 0));

  // A corner held at the bound still draws, quickly and without overflow.
  Face huge({10, 10}, {(1 << 30) - 1, 10}, {10, (1 << 30) - 1}, {0, 1, 0});
  Drawn(huge);
  EXPECT_NE(Pixel(60, 60), RGB(0, 0, 0));
}

TEST_F(EngineTest, NormalsFollowTheCornerOrder) {
  tVertex v[3] = {};
  v[0].pos = {0, 0, 0};
  v[1].pos = {1, 0, 0};
  v[2].pos = {0, 1, 0};
  tTriangle t[2] = {};
  t[0].Index = {{0, 1, 2}};
  t[1].Index = {{0, 0, 0}};  // degenerate: keeps a zero normal
  CalculateNormals(v, t);
  ExpectNear(t[0].Normal, {0, 0, 1});  // (P3 - P2) x (P1 - P2)
  ExpectNear(t[1].Normal, {0, 0, 0}, 0);
}

COLORREF Pixel(int x, int y) {
  BrannowayLib::Update();
  return testing_support::ShownPixel("Engine", x, y);
}

}  // namespace
