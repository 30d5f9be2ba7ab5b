// Lines, polygons, rectangles and single pixels, drawn with a context's pen
// and brush into its bitmap.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "objects.h"
#include "raster.h"

using namespace winlayer::gdi;

namespace {

void StrokeLine(const DC& dc, int x0, int y0, int x1, int y1) {
  if (!dc.pen->Visible()) return;
  raster::Line(dc.Target(), dc.Clip(), x0, y0, x1, y1, dc.Target().Encode(dc.pen->color));
}

// The interior in the brush, then the closed outline in the pen on top.
void DrawPolygon(const DC& dc, const POINT* points, int count) {
  const Surface& target = dc.Target();
  if (dc.brush->Visible())
    raster::FillPolygon(target, dc.Clip(), points, count, dc.fillMode == WINDING, target.Encode(dc.brush->color));
  if (dc.pen->Visible()) raster::Outline(target, dc.Clip(), points, count, target.Encode(dc.pen->color));
}

// The pixels that lines or a polygon through these points may touch: one
// pixel wide pens never leave the box around the points, right and bottom included.
Rect Around(const POINT* points, int count) {
  long long left = points[0].x, top = points[0].y, right = left, bottom = top;
  for (int i = 1; i < count; ++i) {
    left = std::min<long long>(left, points[i].x);
    top = std::min<long long>(top, points[i].y);
    right = std::max<long long>(right, points[i].x);
    bottom = std::max<long long>(bottom, points[i].y);
  }
  const auto held = [](long long v) { return static_cast<int>(std::clamp<long long>(v, INT32_MIN, INT32_MAX)); };
  return {held(left), held(top), held(right + 1), held(bottom + 1)};
}

bool InBitmap(const DC& dc, int x, int y) {
  return x >= 0 && y >= 0 && x < dc.Target().Width() && y < dc.Target().Height();
}

}  // namespace

extern "C" {

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
  LockedDC dc(hdc);
  if (!dc) return FALSE;
  if (lppt) *lppt = dc->position;
  dc->position = {x, y};
  return TRUE;
}

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
  LockedDC dc(hdc);
  if (!dc) return FALSE;
  StrokeLine(*dc, dc->position.x, dc->position.y, x, y);
  const POINT ends[2] = {dc->position, {x, y}};
  dc->position = {x, y};
  dc.Drawn(Around(ends, 2));
  return TRUE;
}

BOOL WINAPI Polyline(HDC hdc, const POINT* apt, int cpt) {
  LockedDC dc(hdc);
  if (!dc || !apt || cpt < 2) return FALSE;
  for (int i = 0; i + 1 < cpt; ++i) StrokeLine(*dc, apt[i].x, apt[i].y, apt[i + 1].x, apt[i + 1].y);
  dc.Drawn(Around(apt, cpt));
  return TRUE;
}

BOOL WINAPI Polygon(HDC hdc, const POINT* apt, int cpt) {
  LockedDC dc(hdc);
  if (!dc || !apt || cpt < 2) return FALSE;
  DrawPolygon(*dc, apt, cpt);
  dc.Drawn(Around(apt, cpt));
  return TRUE;
}

BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  LockedDC dc(hdc);
  if (!dc) return FALSE;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (left == right || top == bottom) return TRUE;
  // The outline runs through the outermost ring of pixels; the brush fills what it encloses.
  const POINT corners[4] = {{left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}};
  DrawPolygon(*dc, corners, 4);
  dc.Drawn({left, top, right, bottom});
  return TRUE;
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
  LockedDC dc(hdc);
  if (!dc || !InBitmap(*dc, x, y)) return static_cast<COLORREF>(-1);
  dc->Target().Write(x, y, dc->Target().Encode(color));
  dc.Drawn({x, y, x + 1, y + 1});
  return dc->Target().Read(x, y);
}

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
  LockedDC dc(hdc);
  if (!dc || !InBitmap(*dc, x, y)) return CLR_INVALID;
  return dc->Target().Read(x, y);
}

}  // extern "C"
