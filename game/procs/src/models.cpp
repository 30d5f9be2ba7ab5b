// The projectile and the radar: meshes around their own origin, moved to
// their place only on a copy when they are drawn.
#include <cmath>

#include "BrannowayLib.h"
#include "BrannowayProcs.h"

namespace BrannowayProcs {

using namespace Brannoway3D;
using BrannowayLib::Kleur;

namespace {

constexpr float kPitchAngle = 3.1415925f;   // the half turn of the projectile
constexpr float kFifthTurn = 1.2566369f;     // 72 degrees
constexpr float kDishTilt = 0.1570796f;      // 9 degrees

constexpr tVector kProjectile[9] = {
    {0, 1.6f, 0},          {-0.2f, 0.48f, 0.2f}, {0.2f, 0.48f, 0.2f},  {0.2f, 0.48f, -0.2f}, {-0.2f, 0.48f, -0.2f},
    {-0.2f, -0.8f, 0.2f},  {0.2f, -0.8f, 0.2f},  {0.2f, -0.8f, -0.2f}, {-0.2f, -0.8f, -0.2f},
};
constexpr std::uint32_t kProjectileTriangles[14][3] = {
    {0, 1, 2}, {0, 2, 3}, {0, 3, 4}, {0, 4, 1},                                      // nose
    {2, 1, 5}, {2, 5, 6}, {3, 2, 6}, {3, 6, 7}, {4, 3, 7}, {4, 7, 8}, {1, 4, 8}, {1, 8, 5},  // sides
    {5, 7, 6}, {5, 8, 7},                                                            // bottom
};

constexpr std::uint32_t kRadarTriangles[24][3] = {
    {0, 1, 2},   {0, 2, 3},   {0, 3, 4},  {0, 4, 5},   {0, 5, 1},                              // back of the dish
    {12, 13, 16}, {12, 16, 13}, {14, 15, 16}, {14, 16, 15},                                    // the stalk, both sides
    {1, 7, 8},   {1, 8, 2},   {2, 8, 9},  {2, 9, 3},   {3, 9, 10}, {3, 10, 4}, {4, 10, 11}, {4, 11, 5},
    {5, 11, 7},  {5, 7, 1},                                                                    // the band to the rim
    {6, 8, 7},   {6, 9, 8},   {6, 10, 9}, {6, 11, 10}, {6, 7, 11},                            // the front cone
};

// Moves a copy of the mesh to its place, projects it and draws it lit.
template <typename Vertices, typename Triangles>
void DrawAt(const tVector& Pos, Vertices vList, const Triangles& tList) {
  for (tVertex& v : vList) {
    v.pos = {Pos.x + v.pos.x, Pos.y + v.pos.y, Pos.z + v.pos.z};
    RenderToCamera(v);
  }
  RenderArray(vList, tList, true, true, true);
}

}  // namespace

void MaakProjectiel(tProjectiel& Projectiel) {
  Projectiel.Pos = {0, 0, 0};
  for (int k = 0; k < 9; ++k) Projectiel.vList[k].pos = kProjectile[k];
  const std::uint32_t red = Kleur(255, 0, 0), white = Kleur(255, 255, 255);
  for (int t = 0; t < 14; ++t)
    SetTriangle(Projectiel.tList[t], kProjectileTriangles[t][0], kProjectileTriangles[t][1],
                kProjectileTriangles[t][2], t < 4 ? red : white);
  CalculateNormals(Projectiel.vList, Projectiel.tList);
}

void PitchProjectiel(tProjectiel& Projectiel) {
  for (tVertex& v : Projectiel.vList) RotateVectorX(v.pos, kPitchAngle);
  for (tTriangle& t : Projectiel.tList) RotateVectorX(t.Normal, kPitchAngle);
}

void TekenProjectiel(tProjectiel Projectiel) { DrawAt(Projectiel.Pos, Projectiel.vList, Projectiel.tList); }

void MaakRadar(tRadar& Radar) {
  Radar.Pos = {0, 0, 0};
  Radar.vList[0].pos = {0, 0, 0};
  Radar.vList[6].pos = {0, 0, 0.5f};
  for (int i = 0; i <= 4; ++i) {
    const float a = static_cast<float>(i) * kFifthTurn;
    Radar.vList[1 + i].pos = {std::sin(a), std::cos(a), -0.3f};
    Radar.vList[7 + i].pos = {0.8f * std::sin(a), 0.8f * std::cos(a), 0};
  }
  Radar.vList[12].pos = {0, 0.1f, 0};
  Radar.vList[13].pos = {0, -0.1f, 0};
  Radar.vList[14].pos = {-0.1f, 0, 0};
  Radar.vList[15].pos = {0.1f, 0, 0};
  Radar.vList[16].pos = {0, 0, -1};
  const std::uint32_t grey = Kleur(200, 200, 200), white = Kleur(255, 255, 255);
  for (int t = 0; t < 24; ++t)
    SetTriangle(Radar.tList[t], kRadarTriangles[t][0], kRadarTriangles[t][1], kRadarTriangles[t][2],
                t >= 5 && t <= 8 ? white : grey);
  for (int k = 0; k <= 15; ++k) RotateVectorX(Radar.vList[k].pos, kDishTilt);  // the stalk's end stays
  CalculateNormals(Radar.vList, Radar.tList);
}

void DraaiRadar(tRadar& Radar, float Hoek) {
  Radar.Angle += Hoek;
  for (tVertex& v : Radar.vList) RotateVectorY(v.pos, Hoek);
}

void TekenRadar(tRadar Radar) { DrawAt(Radar.Pos, Radar.vList, Radar.tList); }

}  // namespace BrannowayProcs
