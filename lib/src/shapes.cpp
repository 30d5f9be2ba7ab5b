// Colours, the fill and edge inks, and shapes in the back buffer.
#include <vector>

#include "state.h"

namespace BrannowayLib {

void UpdatePen() {
  ModuleState& s = State();
  if (GetCurrentObject(s.hBuffer, OBJ_PEN) != s.cPen) DeleteObject(SelectObject(s.hBuffer, s.cPen));
}

void UpdateBrush() {
  ModuleState& s = State();
  if (GetCurrentObject(s.hBuffer, OBJ_BRUSH) != s.cBrush) DeleteObject(SelectObject(s.hBuffer, s.cBrush));
}

std::uint32_t Kleur(std::uint32_t rood, std::uint32_t groen, std::uint32_t blauw) {
  runtime::CheckRange(rood, 0u, 255u);
  runtime::CheckRange(groen, 0u, 255u);
  runtime::CheckRange(blauw, 0u, 255u);
  return rood | (groen << 8) | (blauw << 16);
}

// Replacing an ink: the old object is deleted now, or, while still selected
// into the back buffer, when the next shape swaps it out.
void InktOpvul(std::uint32_t Kleur) {
  ModuleState& s = State();
  DeleteObject(s.cBrush);
  s.cBrush = CreateSolidBrush(Kleur);
}

void InktRand(std::uint32_t Kleur) {
  ModuleState& s = State();
  DeleteObject(s.cPen);
  s.cPen = CreatePen(PS_SOLID, 1, Kleur);
}

void Lijn(std::int32_t vanX, std::int32_t vanY, std::int32_t naarX, std::int32_t naarY) {
  ModuleState& s = State();
  if (!s.hBuffer) return;
  UpdatePen();
  MoveToEx(s.hBuffer, vanX, vanY, nullptr);
  LineTo(s.hBuffer, naarX, naarY);
}

void Rechthoek(std::int32_t links, std::int32_t boven, std::int32_t rechts, std::int32_t onder, bool Filled) {
  ModuleState& s = State();
  if (!s.hBuffer) return;
  UpdatePen();
  if (Filled) {
    UpdateBrush();
    Rectangle(s.hBuffer, links, boven, rechts, onder);
  } else {
    MoveToEx(s.hBuffer, links, boven, nullptr);
    LineTo(s.hBuffer, rechts, boven);
    LineTo(s.hBuffer, rechts, onder);
    LineTo(s.hBuffer, links, onder);
    LineTo(s.hBuffer, links, boven);
  }
}

void Polygoon(runtime::View<const POINT> Punten, bool Filled) {
  ModuleState& s = State();
  if (!s.hBuffer) return;
  const std::vector<POINT> points(Punten.begin(), Punten.end());  // the caller's array stays as it is
  const runtime::View<const POINT> p(points.data(), points.size());
  const int n = runtime::Narrow<int>(points.size());
  UpdatePen();
  if (Filled) {
    UpdateBrush();
    Polygon(s.hBuffer, points.data(), n);
  } else {
    MoveToEx(s.hBuffer, p[0].x, p[0].y, nullptr);
    for (int i = 1; i < n; ++i) LineTo(s.hBuffer, p[i].x, p[i].y);
    LineTo(s.hBuffer, p[0].x, p[0].y);
  }
}

void Driehoek(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t x3, std::int32_t y3,
              bool Filled) {
  const POINT corners[3] = {{x1, y1}, {x2, y2}, {x3, y3}};
  Polygoon(corners, Filled);
}

}  // namespace BrannowayLib
