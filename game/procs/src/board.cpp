// The sea fields: squares, drawing, picking and square centres.
#include <limits>

#include "BrannowayLib.h"
#include "BrannowayProcs.h"
#include "runtime/numeric.h"

namespace BrannowayProcs {

using namespace Brannoway3D;
using namespace BrannowayLib;

std::uint32_t VELD_BREEDTE = 0;
std::uint32_t VELD_HOOGTE = 0;
float VELD_VIERKANT = 0;
tVector Cam{0, 0, 0};

tVeldInfo::tVeldInfo(std::uint32_t columns, std::uint32_t rows)
    : columns_(columns), rows_(rows), squares_(std::size_t{columns} * rows, Vrij) {}

runtime::View<eVeld> tVeldInfo::operator[](runtime::Index column) {
  if (column.v < 0 || column.v >= columns_) runtime::FailIndex(column);
  return {squares_.data() + column.v * rows_, rows_};
}

runtime::View<const eVeld> tVeldInfo::operator[](runtime::Index column) const {
  if (column.v < 0 || column.v >= columns_) runtime::FailIndex(column);
  return {squares_.data() + column.v * rows_, rows_};
}

namespace {

// Where a field's numbering starts and the step from square to square.
struct Numbering {
  float ox, oz, step;
};

Numbering NumberingOf(const tVeld& Veld) {
  const float W = static_cast<float>(VELD_BREEDTE), H = static_cast<float>(VELD_HOOGTE), V = VELD_VIERKANT;
  if (Veld.Geinverteerd) return {Veld.Pos.x + W * V, Veld.Pos.z + H * V, -V};
  return {Veld.Pos.x, Veld.Pos.z, V};
}

tVertex ProjectedPoint(float x, float y, float z) {
  tVertex v{};
  v.pos = {x, y, z};
  RenderToCamera(v);
  return v;
}

// The four corners of square (i, j) in screen pixels, in their fixed order.
void SquareCorners(const tVeld& Veld, std::int32_t i, std::int32_t j, POINT (&corners)[4]) {
  const Numbering n = NumberingOf(Veld);
  const float fi = static_cast<float>(i), fj = static_cast<float>(j);
  const float xs[4] = {n.ox + fi * n.step, n.ox + (fi + 1) * n.step, n.ox + (fi + 1) * n.step, n.ox + fi * n.step};
  const float zs[4] = {n.oz + fj * n.step, n.oz + fj * n.step, n.oz + (fj + 1) * n.step, n.oz + (fj + 1) * n.step};
  for (int k = 0; k < 4; ++k) {
    const tVertex v = ProjectedPoint(xs[k], Veld.Pos.y, zs[k]);
    corners[k] = {v.scr.x, v.scr.y};
  }
}

// Lines from the second point to the first, as the grid is drawn.
void GridLine(tVector from, tVector to) {
  const tVertex a = ProjectedPoint(from.x, from.y, from.z), b = ProjectedPoint(to.x, to.y, to.z);
  Lijn(b.scr.x, b.scr.y, a.scr.x, a.scr.y);
}

}  // namespace

void TekenVeldRooster(float x, float y, float z) {
  const float W = static_cast<float>(VELD_BREEDTE), H = static_cast<float>(VELD_HOOGTE), V = VELD_VIERKANT;
  for (std::uint32_t i = 0; i <= VELD_BREEDTE; ++i) {
    const float fi = static_cast<float>(i);
    GridLine({x + fi * V, y, z}, {x + fi * V, y, z + H * V});
  }
  for (std::uint32_t j = 0; j <= VELD_HOOGTE; ++j) {
    const float fj = static_cast<float>(j);
    GridLine({x, y, z + fj * V}, {x + W * V, y, z + fj * V});
  }
}

void TekenVeld(tVeld Veld) {
  for (std::uint32_t i = 0; i < VELD_BREEDTE; ++i) {
    for (std::uint32_t j = 0; j < VELD_HOOGTE; ++j) {
      POINT corners[4];
      SquareCorners(Veld, static_cast<std::int32_t>(i), static_cast<std::int32_t>(j), corners);
      switch ((*Veld.Info)[i][j]) {
        case Vrij: break;
        case Gemist:
          InktOpvul(Kleur(0, 255, 255));
          InktRand(Kleur(0, 255, 255));
          Polygoon(corners, true);
          break;
        case Geraakt:
          InktOpvul(Kleur(255, 0, 0));
          InktRand(Kleur(255, 0, 0));
          Polygoon(corners, true);
          break;
      }
    }
  }
  InktRand(Kleur(255, 255, 255));
  TekenVeldRooster(Veld.Pos.x, Veld.Pos.y, Veld.Pos.z);
}

void TekenVierkant(tVeld Veld, std::int32_t x, std::int32_t y) {
  POINT corners[4];
  SquareCorners(Veld, x, y, corners);
  Polygoon(corners, true);
}

POINT VindVeldPositie(tVeld Veld, std::int32_t x, std::int32_t y) {
  const tVector d = ScreenToWorld(x, y, 100.0f);
  // A ray that does not go down never meets the sea in front of the camera: no square.
  if (!(d.y < 0)) return {-1, -1};
  const double X = double{Cam.x} - double{Cam.y} * d.x / d.y;
  const double Z = double{Cam.z} - double{Cam.y} * d.z / d.y;
  const double dx = X - Veld.Pos.x, dz = Z - Veld.Pos.z, V = VELD_VIERKANT;
  const double column = Veld.Geinverteerd ? VELD_BREEDTE - dx / V : dx / V;
  const double row = Veld.Geinverteerd ? VELD_HOOGTE - dz / V : dz / V;
  // Far beyond the field the numbers are held at a bound that is still no square.
  constexpr std::int32_t kFar = 1 << 30;
  return {runtime::TruncateSaturated(column, kFar), runtime::TruncateSaturated(row, kFar)};
}

tVector VindVeld3DPositie(tVeld Veld, std::int32_t x, std::int32_t y) {
  const Numbering n = NumberingOf(Veld);
  return {n.ox + (static_cast<float>(x) + 0.5f) * n.step, Veld.Pos.y, n.oz + (static_cast<float>(y) + 0.5f) * n.step};
}

}  // namespace BrannowayProcs
