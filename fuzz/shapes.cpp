// Shapes and transfers anywhere in the 32-bit plane. Rules that hold for any
// input: a polygon shows the same pixels whichever way round its vertices
// go, a line covers the same pixels in both directions (its end points
// aside), every shape drawn 16 pixels further shows the same pixels moved,
// and a transfer gives, pixel by pixel, its raster operation applied to the
// pixels as they were before the call.
#include <climits>
#include <vector>

#include "fuzz_input.h"

namespace {

using fuzzing::Surface;

// The pen's and the brush's colours as pixels (0x00RRGGBB).
constexpr std::uint32_t kInk = 0x30A0F0, kFill = 0xE08020;

// The pen and brush that every surface here draws with, made once.
void Prepare(const Surface& s) {
  static HPEN pen = CreatePen(PS_SOLID, 1, RGB(0x30, 0xA0, 0xF0));
  static HBRUSH brush = CreateSolidBrush(RGB(0xE0, 0x80, 0x20));
  SelectObject(s.dc(), pen);
  SelectObject(s.dc(), brush);
}



bool Movable(const std::vector<POINT>& points) {
  for (const POINT& p : points)
    if (p.x > INT_MAX - 16 || p.y > INT_MAX - 16) return false;
  return true;
}

std::vector<POINT> Moved(std::vector<POINT> points) {
  for (POINT& p : points) {
    p.x += 16;
    p.y += 16;
  }
  return points;
}

void CheckSame(const Surface& a, const Surface& b, int dx, int dy, const char* what) {
  int x = 0, y = 0;
  FUZZ_CHECK(fuzzing::SameShifted(a, b, dx, dy, &x, &y), "%s: pixel %d,%d differs", what, x, y);
}

// Polygon, Rectangle, FillRect and PatBlt: translation, and for polygons the vertex order.
void Shape(fuzzing::Input& in, int kind) {
  Surface plain(64, 48), shifted(80, 64), reversed(64, 48);
  for (const Surface* s : {&plain, &shifted, &reversed}) Prepare(*s);
  std::vector<POINT> points(static_cast<std::size_t>(kind == 0 ? in.Between(1, 12) : 2));
  for (POINT& p : points) p = {in.Coordinate(), in.Coordinate()};
  // PatBlt's second pair is an extent, not a corner: it stays.
  const bool movable = Movable(kind == 3 ? std::vector<POINT>{points[0]} : points);
  std::vector<POINT> moved = points;
  if (movable && kind == 3) moved[0] = Moved({points[0]})[0];
  else if (movable) moved = Moved(points);
  const DWORD rop = static_cast<DWORD>(in.Take<std::uint8_t>()) << 16;
  auto draw = [&](const Surface& s, const std::vector<POINT>& p) {
    switch (kind) {
      case 0: Polygon(s.dc(), p.data(), static_cast<int>(p.size())); break;
      case 1: Rectangle(s.dc(), p[0].x, p[0].y, p[1].x, p[1].y); break;
      case 2: {
        const RECT r{p[0].x, p[0].y, p[1].x, p[1].y};
        FillRect(s.dc(), &r, static_cast<HBRUSH>(GetCurrentObject(s.dc(), OBJ_BRUSH)));
        break;
      }
      default: PatBlt(s.dc(), p[0].x, p[0].y, p[1].x, p[1].y, rop);
    }
  };
  draw(plain, points);
  if (movable) {
    draw(shifted, moved);
    CheckSame(plain, shifted, 16, 16, "moved shape");
  }
  if (kind == 0) {
    std::vector<POINT> backwards(points.rbegin(), points.rend());
    draw(reversed, backwards);
    CheckSame(plain, reversed, 0, 0, "polygon with its vertices reversed");
  }
}

// A line one way and the other: the same pixels once each end point is added.
void Line(fuzzing::Input& in) {
  Surface there(64, 48), back(64, 48), shifted(80, 64);
  for (const Surface* s : {&there, &back, &shifted}) Prepare(*s);
  const POINT a{in.Coordinate(), in.Coordinate()}, b{in.Coordinate(), in.Coordinate()};
  auto line = [](const Surface& s, POINT from, POINT to, bool mark) {
    MoveToEx(s.dc(), from.x, from.y, nullptr);
    LineTo(s.dc(), to.x, to.y);
    if (mark && to.x >= 0 && to.y >= 0 && to.x < s.width() && to.y < s.height()) s.At(to.x, to.y) = kInk;
  };
  line(there, a, b, true);
  line(back, b, a, true);
  // Both now hold the line with both end points, the far one marked by hand.
  if (a.x >= 0 && a.y >= 0 && a.x < 64 && a.y < 48) there.At(a.x, a.y) = kInk;
  if (b.x >= 0 && b.y >= 0 && b.x < 64 && b.y < 48) back.At(b.x, b.y) = kInk;
  CheckSame(there, back, 0, 0, "line drawn backwards");
  if (Movable({a, b})) {
    Surface plain(64, 48);
    Prepare(plain);
    line(plain, a, b, false);
    line(shifted, {a.x + 16, a.y + 16}, {b.x + 16, b.y + 16}, false);
    CheckSame(plain, shifted, 16, 16, "moved line");
  }
}

// Each bit of the code names one combination of pattern, source and destination bits.
std::uint32_t Ternary(std::uint8_t code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  std::uint32_t r = 0;
  for (int i = 0; i < 8; ++i)
    if (code & (1 << i)) r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  return r & 0xFFFFFF;
}

void Randomise(const Surface& s, std::uint32_t seed) {
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) {
      seed = seed * 1664525u + 1013904223u;
      s.At(x, y) = seed >> 8;
    }
}

// BitBlt within one bitmap or between two, against a plain per-pixel reference.
void Transfer(fuzzing::Input& in) {
  const bool within = in.Bit();
  Surface dst(48, 40), other(40, 48);
  const Surface& src = within ? dst : other;
  Prepare(dst);
  Randomise(dst, in.Take<std::uint32_t>());
  if (!within) Randomise(other, in.Take<std::uint32_t>());
  const int x = in.Coordinate(), y = in.Coordinate(), cx = in.Coordinate(), cy = in.Coordinate();
  const int sx = in.Coordinate(), sy = in.Coordinate();
  const std::uint8_t code = in.Take<std::uint8_t>();

  // The expected pixels, from copies of both surfaces as they were.
  std::vector<std::uint32_t> before(static_cast<std::size_t>(dst.width() * dst.height()));
  std::vector<std::uint32_t> source(static_cast<std::size_t>(src.width() * src.height()));
  for (int py = 0; py < dst.height(); ++py)
    for (int px = 0; px < dst.width(); ++px) before[static_cast<std::size_t>(py * dst.width() + px)] = dst.At(px, py) & 0xFFFFFF;
  for (int py = 0; py < src.height(); ++py)
    for (int px = 0; px < src.width(); ++px) source[static_cast<std::size_t>(py * src.width() + px)] = src.At(px, py) & 0xFFFFFF;

  const BOOL ok = BitBlt(dst.dc(), x, y, cx, cy, src.dc(), sx, sy, static_cast<DWORD>(code) << 16 | 0x0020);
  const bool usesSource = ((code >> 2) ^ code) & 0x33;
  for (int py = 0; py < dst.height(); ++py)
    for (int px = 0; px < dst.width(); ++px) {
      const std::uint32_t d = before[static_cast<std::size_t>(py * dst.width() + px)];
      std::uint32_t want = d;
      // Pixel (px, py) is in the transfer when it lies in the rectangle and its source in the source.
      const long long fromX = static_cast<long long>(px) - x + sx, fromY = static_cast<long long>(py) - y + sy;
      long long left = x, top = y, right = static_cast<long long>(x) + cx, bottom = static_cast<long long>(y) + cy;
      if (!usesSource) {  // a pattern-only code is a PatBlt, whose negative extents count backwards
        if (cx < 0) { left = right; right = x; }
        if (cy < 0) { top = bottom; bottom = y; }
      }
      const bool inRect = px >= left && px < right && py >= top && py < bottom;
      const bool inSource = !usesSource || (fromX >= 0 && fromY >= 0 && fromX < src.width() && fromY < src.height());
      if (ok && inRect && inSource) {
        const std::uint32_t s = usesSource ? source[static_cast<std::size_t>(fromY * src.width() + fromX)] : 0;
        want = Ternary(code, kFill, s, d);
      }
      const std::uint32_t got = dst.At(px, py) & 0xFFFFFF;
      FUZZ_CHECK(got == want, "code %02x %s: pixel %d,%d is %06x, not %06x", code, within ? "within" : "between", px, py, got, want);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::Input in(data, size);
  const int kind = in.Take<std::uint8_t>() % 6;
  if (kind < 4) Shape(in, kind);
  else if (kind == 4) Line(in);
  else Transfer(in);
  return 0;
}
