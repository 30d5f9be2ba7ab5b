// Triangle meshes: normals, flat lighting, back-face removal and drawing.
#include <cstdint>

#include "BrannowayLib.h"
#include "state.h"

namespace Brannoway3D {

void SetLightDirection(float x, float y, float z) {
  Light = {x, y, z};
  NormalizeVector(Light);
}

tVector LightDirection() { return Light; }

void CalculateVertices(runtime::View<tVertex> VertList) {
  for (tVertex& v : VertList) RenderToCamera(v);
}

void CalculateNormals(runtime::View<const tVertex> VertList, runtime::View<tTriangle> TriangleList) {
  for (tTriangle& t : TriangleList) {
    const tVector p1 = VertList[t.Index[0]].pos, p2 = VertList[t.Index[1]].pos, p3 = VertList[t.Index[2]].pos;
    t.Normal = VectorProduct(SubstractVector(p3, p2), SubstractVector(p1, p2));
    NormalizeVector(t.Normal);
  }
}

namespace {

// A colour component times the light's share, truncated toward zero.
std::uint32_t Shade(std::uint32_t component, float share) {
  const float v = static_cast<float>(component) * share;
  return v > 0 ? static_cast<std::uint32_t>(v) : 0;
}

}  // namespace

void RenderArray(runtime::View<const tVertex> VertList, runtime::View<const tTriangle> TriangleList, bool WithColor,
                 bool Filled, bool Lighting) {
  using namespace BrannowayLib;
  for (const tTriangle& t : TriangleList) {
    const tVertex& c1 = VertList[t.Index[0]];
    const tVertex& c2 = VertList[t.Index[1]];
    const tVertex& c3 = VertList[t.Index[2]];
    if (!(c1.scr.zBuffer > 0) && !(c2.scr.zBuffer > 0) && !(c3.scr.zBuffer > 0)) continue;
    // Clockwise on screen (y downward) is facing the camera.
    const std::int64_t x1 = c1.scr.x, y1 = c1.scr.y, x2 = c2.scr.x, y2 = c2.scr.y, x3 = c3.scr.x, y3 = c3.scr.y;
    const std::int64_t facing = runtime::Sub(runtime::Mul(x1 - x2, y3 - y2), runtime::Mul(y1 - y2, x3 - x2));
    if (facing >= 0) continue;
    if (WithColor) {
      std::uint32_t colour;
      if (Lighting) {
        const float share = 0.5f - 0.5f * InProduct(Light, t.Normal);
        colour = Kleur(Shade(t.r, share), Shade(t.g, share), Shade(t.b, share));
      } else {
        colour = Kleur(t.r, t.g, t.b);
      }
      InktOpvul(colour);
      InktRand(colour);
    }
    Driehoek(c1.scr.x, c1.scr.y, c2.scr.x, c2.scr.y, c3.scr.x, c3.scr.y, Filled);
  }
}

}  // namespace Brannoway3D
