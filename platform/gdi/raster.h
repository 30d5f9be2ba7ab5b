// The pixel rules of lines and filled polygons, on a surface and a clip
// rectangle. Any 32-bit coordinates are accepted; the work done is bounded by
// the part that falls inside the clip rectangle.
#pragma once

#include <windows.h>

#include "surface.h"

namespace winlayer::gdi::raster {

// Every pixel from (x0, y0) up to, but not including, (x1, y1). Along the minor
// axis each pixel is the exact value rounded to nearest, an exact half going
// to the smaller coordinate, so a line covers the same pixels in both
// directions.
void Line(const Surface& surface, const Rect& clip, int x0, int y0, int x1, int y1, std::uint32_t encoded);

// The interior of a closed polygon, sampling each pixel at its integer lattice
// point: a row's span is [ceil(x_left), ceil(x_right)) and edges are half open
// in y. `winding` chooses the nonzero rule, otherwise the even-odd rule.
void FillPolygon(const Surface& surface, const Rect& clip, const POINT* points, int count, bool winding,
                 std::uint32_t encoded);

// The closed outline through the points: a line from each point to the next
// and from the last back to the first.
void Outline(const Surface& surface, const Rect& clip, const POINT* points, int count, std::uint32_t encoded);

// Fills [left, right) x [top, bottom), clipped.
void FillRect(const Surface& surface, const Rect& clip, Rect r, std::uint32_t encoded);

Rect Intersect(const Rect& a, const Rect& b);

}  // namespace winlayer::gdi::raster
