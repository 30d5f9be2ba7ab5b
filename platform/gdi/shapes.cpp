// Lines, polygons, rectangles and single pixels, drawn with a context's pen
// and brush into its bitmap.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "objects.h"
#include "raster.h"

using namespace winlayer::gdi;

namespace {

// A call's points, kept by value when it is recorded.
struct Points {
  std::vector<POINT> points;
  Points(const POINT* p, int count) : points(p, p + count) {}
  bool operator==(const Points& o) const {
    return std::equal(points.begin(), points.end(), o.points.begin(), o.points.end(),
                      [](const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; });
  }
};

void StrokeLine(const DrawState& dc, const Surface& target, int x0, int y0, int x1, int y1) {
  if (!dc.pen->Visible()) return;
  raster::Line(target, target.Bounds(), x0, y0, x1, y1, target.Encode(dc.pen->color));
}

void StrokeLines(const DrawState& dc, const Surface& target, const Points& p) {
  for (std::size_t i = 0; i + 1 < p.points.size(); ++i)
    StrokeLine(dc, target, p.points[i].x, p.points[i].y, p.points[i + 1].x, p.points[i + 1].y);
}

// The interior in the brush, then the closed outline in the pen on top.
void DrawPolygon(const DrawState& dc, const Surface& target, const Points& p) {
  const POINT* points = p.points.data();
  const int count = static_cast<int>(p.points.size());
  if (dc.brush->Visible())
    raster::FillPolygon(target, target.Bounds(), points, count, dc.fillMode == WINDING, target.Encode(dc.brush->color));
  if (dc.pen->Visible()) raster::Outline(target, target.Bounds(), points, count, target.Encode(dc.pen->color));
}

// The outline runs through the outermost ring of pixels; the brush fills what
// it encloses. With both, every pixel of the rectangle is set.
void DrawRectangle(const DrawState& dc, const Surface& target, int left, int top, int right, int bottom) {
  const POINT corners[4] = {{left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}};
  DrawPolygon(dc, target, Points(corners, 4));
}

void DrawPixel(const DrawState&, const Surface& target, int x, int y, COLORREF color) {
  target.Write(x, y, target.Encode(color));
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
  const POINT ends[2] = {dc->position, {x, y}};
  dc.Draw<StrokeLine>(Around(ends, 2), Cover::Partial, ends[0].x, ends[0].y, x, y);
  dc->position = {x, y};
  return TRUE;
}

BOOL WINAPI Polyline(HDC hdc, const POINT* apt, int cpt) {
  LockedDC dc(hdc);
  if (!dc || !apt || cpt < 2) return FALSE;
  dc.Draw<StrokeLines>(Around(apt, cpt), Cover::Partial, Points(apt, cpt));
  return TRUE;
}

BOOL WINAPI Polygon(HDC hdc, const POINT* apt, int cpt) {
  LockedDC dc(hdc);
  if (!dc || !apt || cpt < 2) return FALSE;
  dc.Draw<DrawPolygon>(Around(apt, cpt), Cover::Partial, Points(apt, cpt));
  return TRUE;
}

BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  LockedDC dc(hdc);
  if (!dc) return FALSE;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (left == right || top == bottom) return TRUE;
  // The brush sets every pixel inside the outline; with no pen, the last row
  // and column are left as they were.
  const bool pen = dc->pen->Visible();
  const Rect touched = pen ? Rect{left, top, right, bottom} : Rect{left, top, right - 1, bottom - 1};
  const Cover cover = dc->brush->Visible() ? Cover::Opaque : Cover::Partial;
  dc.Draw<DrawRectangle>(touched, cover, left, top, right, bottom);
  return TRUE;
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
  LockedDC dc(hdc);
  if (!dc || !InBitmap(*dc, x, y)) return static_cast<COLORREF>(-1);
  dc.Draw<DrawPixel>({x, y, x + 1, y + 1}, Cover::Opaque, x, y, color);
  // The colour as the bitmap keeps it.
  const std::uint32_t stored = dc->Target().Encode(color);
  if (dc->Target().Format() == PixelFormat::Color32) return ColorFromPixel(stored);
  return stored ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
  LockedDC dc(hdc);
  if (!dc || !InBitmap(*dc, x, y)) return CLR_INVALID;
  dc.Settle();
  return dc->Target().Read(x, y);
}

}  // extern "C"
