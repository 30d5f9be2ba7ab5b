#include "raster.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace winlayer::gdi::raster {

namespace {

using Wide = __int128;

std::int64_t CeilDiv(Wide n, std::int64_t d) {  // d > 0
  Wide q = n / d;
  if (q * d < n) ++q;
  return static_cast<std::int64_t>(q);
}

std::int64_t FloorDiv(std::int64_t n, std::int64_t d) {  // d > 0
  std::int64_t q = n / d;
  if (q * d > n) --q;
  return q;
}

// Keeps q = ceil(N / D) exact while N grows by a fixed step each row or
// column, with one add and one compare per step (D > 0).
struct CeilStepper {
  std::int64_t q = 0;      // ceil(N / D)
  std::int64_t r = 0;      // q * D - N, in [0, D)
  std::int64_t stepQ = 0;  // step = stepQ * D + stepR, stepR in [0, D)
  std::int64_t stepR = 0;
  std::int64_t d = 1;

  void Init(Wide n, std::int64_t step, std::int64_t divisor) {
    d = divisor;
    q = CeilDiv(n, d);
    r = static_cast<std::int64_t>(Wide{q} * d - n);
    stepQ = FloorDiv(step, d);
    stepR = step - stepQ * d;
  }
  void Advance() {
    q += stepQ;
    r -= stepR;
    if (r < 0) {
      ++q;
      r += d;
    }
  }
};

// A polygon edge, oriented downwards, covering rows [yTop, yBottom).
struct Edge {
  std::int64_t yTop, yBottom;
  std::int64_t xTop, dx, dy;
  int direction;  // +1 where the polygon runs downwards, -1 upwards
  CeilStepper x;

  void StartAt(std::int64_t y) { x.Init(Wide{xTop} * dy + Wide{y - yTop} * dx, dx, dy); }
};

Edge MakeEdge(const POINT& a, const POINT& b) {
  const bool down = a.y < b.y;
  const POINT& top = down ? a : b;
  const POINT& bottom = down ? b : a;
  return Edge{top.y, bottom.y, top.x, std::int64_t{bottom.x} - top.x, std::int64_t{bottom.y} - top.y,
              down ? 1 : -1, {}};
}

void Span(const Surface& s, const Rect& clip, std::int64_t y, std::int64_t x0, std::int64_t x1,
          std::uint32_t encoded) {
  x0 = std::max<std::int64_t>(x0, clip.left);
  x1 = std::min<std::int64_t>(x1, clip.right);
  if (x0 < x1) s.FillSpan(static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1), encoded);
}

// A triangle's rows are bounded by its long edge and one of the two short ones,
// so no sorting of crossings is needed.
void FillTriangle(const Surface& s, const Rect& clip, const POINT* p, std::uint32_t encoded) {
  POINT v[3] = {p[0], p[1], p[2]};
  std::sort(v, v + 3, [](const POINT& a, const POINT& b) { return a.y < b.y; });
  if (v[0].y == v[2].y) return;

  const std::int64_t firstRow = std::max<std::int64_t>(v[0].y, clip.top);
  const std::int64_t endRow = std::min<std::int64_t>(v[2].y, clip.bottom);
  if (firstRow >= endRow) return;

  Edge longEdge = MakeEdge(v[0], v[2]);
  longEdge.StartAt(firstRow);
  std::int64_t y = firstRow;
  for (int half = 0; half < 2; ++half) {
    Edge shortEdge = MakeEdge(v[half], v[half + 1]);
    const std::int64_t end = std::min<std::int64_t>(shortEdge.yBottom, endRow);
    if (y >= end) continue;
    shortEdge.StartAt(y);
    for (; y < end; ++y) {
      const std::int64_t a = longEdge.x.q, b = shortEdge.x.q;
      Span(s, clip, y, std::min(a, b), std::max(a, b), encoded);
      longEdge.x.Advance();
      shortEdge.x.Advance();
    }
  }
}

struct Crossing {
  std::int64_t x;
  int direction;
};

void FillGeneral(const Surface& s, const Rect& clip, const POINT* p, int count, bool winding,
                 std::uint32_t encoded) {
  std::vector<Edge> edges;
  edges.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const POINT& a = p[i];
    const POINT& b = p[(i + 1) % count];
    if (a.y != b.y) edges.push_back(MakeEdge(a, b));
  }
  if (edges.empty()) return;
  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.yTop < b.yTop; });

  std::int64_t minY = edges.front().yTop, maxY = edges.front().yBottom;
  for (const Edge& e : edges) maxY = std::max(maxY, e.yBottom);
  const std::int64_t firstRow = std::max<std::int64_t>(minY, clip.top);
  const std::int64_t endRow = std::min<std::int64_t>(maxY, clip.bottom);

  std::vector<Edge*> active;
  std::vector<Crossing> crossings;
  std::size_t next = 0;
  for (std::int64_t y = firstRow; y < endRow; ++y) {
    while (next < edges.size() && edges[next].yTop <= y) {
      Edge& e = edges[next++];
      if (e.yBottom > y) {
        e.StartAt(y);
        active.push_back(&e);
      }
    }
    std::erase_if(active, [y](const Edge* e) { return e->yBottom <= y; });

    crossings.clear();
    for (const Edge* e : active) crossings.push_back({e->x.q, e->direction});
    std::sort(crossings.begin(), crossings.end(), [](const Crossing& a, const Crossing& b) { return a.x < b.x; });

    if (winding) {
      int turns = 0;
      for (std::size_t k = 0; k + 1 < crossings.size(); ++k) {
        turns += crossings[k].direction;
        if (turns != 0) Span(s, clip, y, crossings[k].x, crossings[k + 1].x, encoded);
      }
    } else {
      for (std::size_t k = 0; k + 1 < crossings.size(); k += 2)
        Span(s, clip, y, crossings[k].x, crossings[k + 1].x, encoded);
    }
    for (Edge* e : active) e->x.Advance();
  }
}

// Four corners joined by horizontal and vertical sides, as Rectangle draws:
// under either rule its rows [top, bottom) are spans [left, right), the
// general rule's ceilings of whole numbers, with no crossings to sort.
bool IsUprightRectangle(const POINT* p, int count) {
  if (count != 4) return false;
  const bool acrossFirst = p[0].y == p[1].y && p[1].x == p[2].x && p[2].y == p[3].y && p[3].x == p[0].x;
  const bool downFirst = p[0].x == p[1].x && p[1].y == p[2].y && p[2].x == p[3].x && p[3].y == p[0].y;
  return acrossFirst || downFirst;
}

Rect Around(const POINT* p, int count) {
  LONG left = p[0].x, top = p[0].y, right = left, bottom = top;
  for (int i = 1; i < count; ++i) {
    left = std::min(left, p[i].x);
    top = std::min(top, p[i].y);
    right = std::max(right, p[i].x);
    bottom = std::max(bottom, p[i].y);
  }
  return {left, top, right, bottom};
}

}  // namespace

Rect Intersect(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

void Line(const Surface& s, const Rect& clip, int x0, int y0, int x1, int y1, std::uint32_t encoded) {
  const std::int64_t dx = std::int64_t{x1} - x0, dy = std::int64_t{y1} - y0;
  const std::int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  if (adx == 0 && ady == 0) return;

  // Walk the major axis one pixel at a time; the minor coordinate at step k
  // is start + round(k * delta / length), halves rounded down.
  const bool xMajor = adx >= ady;
  const std::int64_t length = xMajor ? adx : ady;
  const std::int64_t majorStart = xMajor ? x0 : y0, minorStart = xMajor ? y0 : x0;
  const int majorSign = (xMajor ? dx : dy) > 0 ? 1 : -1;
  const std::int64_t minorDelta = xMajor ? dy : dx;
  const std::int64_t majorLo = xMajor ? clip.left : clip.top, majorHi = xMajor ? clip.right : clip.bottom;
  const std::int64_t minorLo = xMajor ? clip.top : clip.left, minorHi = xMajor ? clip.bottom : clip.right;

  std::int64_t kFirst, kLast;
  if (majorSign > 0) {
    kFirst = std::max<std::int64_t>(0, majorLo - majorStart);
    kLast = std::min<std::int64_t>(length - 1, majorHi - 1 - majorStart);
  } else {
    kFirst = std::max<std::int64_t>(0, majorStart - (majorHi - 1));
    kLast = std::min<std::int64_t>(length - 1, majorStart - majorLo);
  }
  if (kFirst > kLast) return;

  // A horizontal line is a span; a vertical one has no minor steps.
  if (minorDelta == 0 && xMajor) {
    if (minorStart < minorLo || minorStart >= minorHi) return;
    const std::int64_t a = majorStart + majorSign * kFirst, b = majorStart + majorSign * kLast;
    s.FillSpan(static_cast<int>(minorStart), static_cast<int>(std::min(a, b)), static_cast<int>(std::max(a, b)) + 1,
               encoded);
    return;
  }
  CeilStepper minor;
  minor.Init(Wide{2} * kFirst * minorDelta - length, 2 * minorDelta, 2 * length);
  if (s.Format() == PixelFormat::Color32) {
    // The same steps, walking a pixel pointer: one major step a pixel, a minor
    // step whenever the rounded minor coordinate changes.
    // The offset is kept apart from the pointer: it may lie outside the rows while the line is clipped.
    std::uint8_t* const origin = reinterpret_cast<std::uint8_t*>(s.Row32(0));
    const std::int64_t pitch = s.Pitch();
    const std::int64_t majorStride = (xMajor ? 4 : pitch) * majorSign, minorStride = xMajor ? pitch : 4;
    std::int64_t m = minorStart + minor.q;
    const std::int64_t major = majorStart + majorSign * kFirst;
    std::int64_t offset = (xMajor ? major : m) * 4 + (xMajor ? m : major) * pitch;
    const auto step = [&] {
      const std::int64_t before = minor.q;
      minor.Advance();
      m += minor.q - before;
      offset += majorStride + (minor.q - before) * minorStride;
      return minor.q != before;
    };
    // The minor coordinate moves one way only: past the clip rectangle's
    // near side nothing is drawn, and once past its far side nothing more is.
    std::int64_t k = kFirst;
    for (; k <= kLast && (m < minorLo || m >= minorHi); ++k) step();
    // The stepper's fields held in registers for the drawn part.
    std::int64_t r = minor.r;
    const std::int64_t stepQ = minor.stepQ, stepR = minor.stepR, d = minor.d;
    const std::int64_t baseStride = majorStride + stepQ * minorStride;
    for (; k <= kLast; ++k) {
      *reinterpret_cast<std::uint32_t*>(origin + offset) = encoded;
      offset += baseStride;
      std::int64_t moved = stepQ;
      r -= stepR;
      if (r < 0) {
        r += d;
        offset += minorStride;
        ++moved;
      }
      if (moved != 0) {
        m += moved;
        if (m < minorLo || m >= minorHi) break;
      }
    }
    return;
  }
  for (std::int64_t k = kFirst; k <= kLast; ++k, minor.Advance()) {
    const std::int64_t m = minorStart + minor.q;
    if (m < minorLo || m >= minorHi) continue;
    const std::int64_t major = majorStart + majorSign * k;
    const int px = static_cast<int>(xMajor ? major : m), py = static_cast<int>(xMajor ? m : major);
    s.Write(px, py, encoded);
  }
}

void FillPolygon(const Surface& s, const Rect& clip, const POINT* points, int count, bool winding,
                 std::uint32_t encoded) {
  if (count < 3 || clip.Empty()) return;
  if (count == 3)
    FillTriangle(s, clip, points, encoded);
  else if (IsUprightRectangle(points, count))
    FillRect(s, clip, Around(points, count), encoded);
  else
    FillGeneral(s, clip, points, count, winding, encoded);
}

void Outline(const Surface& s, const Rect& clip, const POINT* points, int count, std::uint32_t encoded) {
  if (clip.Empty()) return;
  for (int i = 0; i < count; ++i) {
    const POINT& a = points[i];
    const POINT& b = points[(i + 1) % count];
    Line(s, clip, a.x, a.y, b.x, b.y, encoded);
  }
}

void FillRect(const Surface& s, const Rect& clip, Rect r, std::uint32_t encoded) {
  r = Intersect(r, clip);
  if (r.Empty()) return;
  for (int y = r.top; y < r.bottom; ++y) s.FillSpan(y, r.left, r.right, encoded);
}

}  // namespace winlayer::gdi::raster
