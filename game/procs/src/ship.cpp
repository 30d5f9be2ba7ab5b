// Ships: the squares they cover, their hull meshes, collisions and drawing.
#include "BrannowayProcs.h"

namespace BrannowayProcs {

using namespace Brannoway3D;

namespace {

constexpr float kPi = 3.14159265358979f;

struct Corner {
  float x, y, z;  // in half squares
};

// The hull around the centre of the bow square, bow toward +z; the stern's z
// is filled in per length.
constexpr Corner kHull[10] = {
    {0, 0.5f, 1},   {-0.75f, 0.5f, -0.25f}, {0.75f, 0.5f, -0.25f}, {-0.75f, 0.5f, 0}, {0.75f, 0.5f, 0},
    {0, 0, 1},      {-0.75f, 0, -0.25f},    {0.75f, 0, -0.25f},    {-0.75f, 0, 0},    {0.75f, 0, 0},
};
constexpr bool kAtStern[10] = {false, false, false, true, true, false, false, false, true, true};

// Bow, sides, stern and deck; every face listed with its outward side in front. No bottom.
constexpr std::uint32_t kHullTriangles[13][3] = {
    {0, 5, 7}, {0, 7, 2}, {4, 2, 7}, {4, 7, 9}, {3, 4, 9}, {3, 9, 8}, {1, 3, 8},
    {1, 8, 6}, {0, 1, 6}, {0, 6, 5}, {0, 2, 1}, {1, 2, 4}, {1, 4, 3},
};

// Whether b lies from 0 up to (not including) `length` squares behind a.
bool Behind(std::int32_t a, std::int32_t b, std::uint8_t length) {
  const std::int32_t d = runtime::Sub(a, b);
  return 0 <= d && d < length;
}

}  // namespace

void SetTriangle(tTriangle& tL, std::uint32_t v1, std::uint32_t v2, std::uint32_t v3, std::uint32_t Color) {
  tL.Index[0] = v1;
  tL.Index[1] = v2;
  tL.Index[2] = v3;
  tL.r = Color & 255;
  tL.g = (Color >> 8) & 255;
  tL.b = (Color >> 16) & 255;
}

tSchip ShipAt(POINT front, eOrientatie orientation, std::uint8_t length) {
  tSchip s{};
  s.Voorkant = front;
  s.Orientatie = orientation;
  s.Lengte = length;
  s.Leven = length;
  return s;
}

void MaakSchip(tSchip& Schip, tVeld Veld) {
  runtime::CheckRange<int>(Schip.Lengte, 2, 5);
  const float V = VELD_VIERKANT, h = V / 2;
  const float stern = (2 * static_cast<float>(Schip.Lengte) - 1.2f) * h;
  const bool inverted = Veld.Geinverteerd;
  const float W = static_cast<float>(VELD_BREEDTE), H = static_cast<float>(VELD_HOOGTE);
  const float ox = inverted ? Veld.Pos.x + (W - 1) * V : Veld.Pos.x;
  const float oz = inverted ? Veld.Pos.z + (H - 1) * V : Veld.Pos.z;
  const float step = inverted ? -V : V;
  const tVector bow{h + ox + step * static_cast<float>(Schip.Voorkant.x), Veld.Pos.y,
                    h + oz + step * static_cast<float>(Schip.Voorkant.y)};

  for (int k = 0; k < 10; ++k) {
    const Corner& c = kHull[k];
    tVector p{c.x * h, c.y * h, kAtStern[k] ? -stern : c.z * h};
    if (Schip.Orientatie == Horizontaal) RotateVectorY(p, kPi / 2);
    if (inverted) RotateVectorY(p, kPi);
    Schip.vList[k].pos = {p.x + bow.x, p.y + bow.y, p.z + bow.z};
  }
  for (int t = 0; t < 13; ++t)
    SetTriangle(Schip.tList[t], kHullTriangles[t][0], kHullTriangles[t][1], kHullTriangles[t][2], Veld.Color);
  CalculateNormals(Schip.vList, Schip.tList);
}

bool SchipBotst(const tSchip& Schip1, const tSchip& Schip2) {
  const tSchip& A = Schip1;
  const tSchip& B = Schip2;
  const std::int32_t xA = A.Voorkant.x, yA = A.Voorkant.y, xB = B.Voorkant.x, yB = B.Voorkant.y;
  if (A.Orientatie == Verticaal && B.Orientatie == Verticaal)
    return xA == xB && (Behind(yA, yB, A.Lengte) || Behind(yB, yA, B.Lengte));
  if (A.Orientatie == Verticaal)
    return Behind(yA, yB, A.Lengte) && Behind(xB, xA, B.Lengte);
  if (B.Orientatie == Verticaal)
    return Behind(xA, xB, A.Lengte) && Behind(yB, yA, B.Lengte);
  return yA == yB && (Behind(xA, xB, A.Lengte) || Behind(xB, xA, B.Lengte));
}

void TekenSchepen(runtime::View<tSchip> Schepen) {
  for (tSchip& s : Schepen) {
    CalculateVertices(s.vList);
    RenderArray(s.vList, s.tList, true, true, true);
  }
}

}  // namespace BrannowayProcs
