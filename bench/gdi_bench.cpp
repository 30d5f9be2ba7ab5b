// Drawing speed of the layer beside plain references: filled triangles,
// whole-buffer copies and the game's outlined text.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <random>
#include <vector>

#include "memory_bitmap.h"

namespace {

constexpr int kWidth = 800, kHeight = 600, kTriangles = 10000;

using Triangle = std::array<POINT, 3>;

const std::vector<Triangle>& Triangles() {
  static const std::vector<Triangle> triangles = [] {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> x(0, kWidth - 1), y(0, kHeight - 1);
    std::vector<Triangle> t(kTriangles);
    for (Triangle& tri : t)
      for (POINT& p : tri) p = {x(random), y(random)};
    return t;
  }();
  return triangles;
}

// A memory context over a fresh colour bitmap.
struct Target : testing_support::MemoryBitmap {
  explicit Target(int w = kWidth, int h = kHeight) : MemoryBitmap(w, h), dc(MemoryBitmap::dc()) {}
  HDC dc;
};

// The reference fill: a floating-point edge walk, each row of a triangle
// written as one span with the fastest plain 32-bit fill (the C library's).
void SpanFill(std::uint32_t* pixels, const Triangle& t, std::uint32_t colour) {
  POINT v[3] = {t[0], t[1], t[2]};
  std::sort(v, v + 3, [](const POINT& a, const POINT& b) { return a.y < b.y; });
  if (v[0].y == v[2].y) return;
  const float longSlope = float(v[2].x - v[0].x) / float(v[2].y - v[0].y);
  float xLong = float(v[0].x);
  for (int half = 0; half < 2; ++half) {
    const POINT& a = v[half];
    const POINT& b = v[half + 1];
    if (a.y == b.y) continue;
    const float slope = float(b.x - a.x) / float(b.y - a.y);
    float xShort = float(a.x);
    for (int y = a.y; y < b.y; ++y, xLong += longSlope, xShort += slope) {
      const int x0 = int(std::ceil(std::min(xLong, xShort))), x1 = int(std::ceil(std::max(xLong, xShort)));
      if (x0 < x1)
        std::wmemset(reinterpret_cast<wchar_t*>(pixels + y * kWidth + x0), static_cast<wchar_t>(colour), std::size_t(x1 - x0));
    }
  }
}

void PolygonTriangles(benchmark::State& state) {
  Target target;
  SelectObject(target.dc, GetStockObject(NULL_PEN));
  HBRUSH silver = CreateSolidBrush(RGB(192, 192, 192));
  SelectObject(target.dc, silver);
  for (auto _ : state)
    for (const Triangle& t : Triangles()) Polygon(target.dc, t.data(), 3);
  SelectObject(target.dc, GetStockObject(WHITE_BRUSH));
  DeleteObject(silver);
}
BENCHMARK(PolygonTriangles)->Unit(benchmark::kMillisecond);

void PolygonTrianglesWithOutline(benchmark::State& state) {
  Target target;
  SelectObject(target.dc, GetStockObject(WHITE_PEN));
  SelectObject(target.dc, GetStockObject(LTGRAY_BRUSH));
  for (auto _ : state)
    for (const Triangle& t : Triangles()) Polygon(target.dc, t.data(), 3);
}
BENCHMARK(PolygonTrianglesWithOutline)->Unit(benchmark::kMillisecond);

void CairoTriangles(benchmark::State& state) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_source_rgb(cr, 0.75, 0.75, 0.75);
  for (auto _ : state) {
    for (const Triangle& t : Triangles()) {
      cairo_move_to(cr, t[0].x, t[0].y);
      cairo_line_to(cr, t[1].x, t[1].y);
      cairo_line_to(cr, t[2].x, t[2].y);
      cairo_close_path(cr);
      cairo_fill(cr);
    }
    cairo_surface_flush(surface);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}
BENCHMARK(CairoTriangles)->Unit(benchmark::kMillisecond);

void SpanFillTriangles(benchmark::State& state) {
  std::vector<std::uint32_t> pixels(kWidth * kHeight);
  for (auto _ : state) {
    for (const Triangle& t : Triangles()) SpanFill(pixels.data(), t, 0xC0C0C0);
    benchmark::DoNotOptimize(pixels.data());
  }
}
BENCHMARK(SpanFillTriangles)->Unit(benchmark::kMillisecond);

// Every triangle followed by a whole-buffer copy, as the speed-comparison program presents.
void PolygonTrianglesEachCopiedWithBitBlt(benchmark::State& state) {
  Target target, shown;
  SelectObject(target.dc, GetStockObject(NULL_PEN));
  SelectObject(target.dc, GetStockObject(LTGRAY_BRUSH));
  for (auto _ : state)
    for (const Triangle& t : Triangles()) {
      Polygon(target.dc, t.data(), 3);
      BitBlt(shown.dc, 0, 0, kWidth, kHeight, target.dc, 0, 0, SRCCOPY);
    }
}
BENCHMARK(PolygonTrianglesEachCopiedWithBitBlt)->Unit(benchmark::kMillisecond);

void SpanFillTrianglesEachCopiedWithMemcpy(benchmark::State& state) {
  std::vector<std::uint32_t> pixels(kWidth * kHeight), shown(kWidth * kHeight);
  for (auto _ : state)
    for (const Triangle& t : Triangles()) {
      SpanFill(pixels.data(), t, 0xC0C0C0);
      std::memcpy(shown.data(), pixels.data(), pixels.size() * 4);
      benchmark::DoNotOptimize(shown.data());
    }
}
BENCHMARK(SpanFillTrianglesEachCopiedWithMemcpy)->Unit(benchmark::kMillisecond);

void BitBlt640x480(benchmark::State& state) {
  Target from(640, 480), to(640, 480);
  for (auto _ : state) BitBlt(to.dc, 0, 0, 640, 480, from.dc, 0, 0, SRCCOPY);
}
BENCHMARK(BitBlt640x480)->Unit(benchmark::kMicrosecond);

void Memcpy640x480(benchmark::State& state) {
  std::vector<std::uint32_t> from(640 * 480), to(640 * 480);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * 4);
    benchmark::DoNotOptimize(to.data());
  }
}
BENCHMARK(Memcpy640x480)->Unit(benchmark::kMicrosecond);

// The game's outlined text: nine times in black around the place, once in white on it.
void OutlinedGameText(benchmark::State& state) {
  Target target(640, 480);
  LOGFONTA lf{};
  lf.lfHeight = 16;
  lf.lfWeight = FW_NORMAL;
  lf.lfQuality = ANTIALIASED_QUALITY;
  std::strcpy(lf.lfFaceName, "Arial");
  HFONT font = CreateFontIndirectA(&lf);
  HGDIOBJ old = SelectObject(target.dc, font);
  SetBkMode(target.dc, TRANSPARENT);
  const char text[] = "Wachten op speler 1";
  for (auto _ : state) {
    SetTextColor(target.dc, RGB(0, 0, 0));
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        RECT r{200 + dx, 200 + dy, 200 + dx, 200 + dy};
        DrawTextA(target.dc, text, sizeof text - 1, &r, DT_NOCLIP);
      }
    SetTextColor(target.dc, RGB(255, 255, 255));
    RECT r{200, 200, 200, 200};
    DrawTextA(target.dc, text, sizeof text - 1, &r, DT_NOCLIP);
  }
  DeleteObject(SelectObject(target.dc, old));
}
BENCHMARK(OutlinedGameText)->Unit(benchmark::kMicrosecond);

// Measuring 256 characters in a new font of a given size: made, measured, deleted.
void MeasureTextInANewFont(benchmark::State& state) {
  Target target(64, 64);
  char text[256];
  for (int i = 0; i < 256; ++i) text[i] = static_cast<char>(i == 0 ? 1 : i);
  int weight = 100;
  for (auto _ : state) {
    LOGFONTA lf{};
    lf.lfHeight = static_cast<LONG>(state.range(0));
    lf.lfWeight = weight = weight == 900 ? 100 : weight + 1;  // a new font each time, not one from the cache
    std::strcpy(lf.lfFaceName, "Arial");
    HGDIOBJ old = SelectObject(target.dc, CreateFontIndirectA(&lf));
    SIZE size{};
    GetTextExtentPoint32A(target.dc, text, 256, &size);
    benchmark::DoNotOptimize(size);
    DeleteObject(SelectObject(target.dc, old));
  }
}
BENCHMARK(MeasureTextInANewFont)->Arg(16)->Arg(1024)->Unit(benchmark::kMicrosecond);

}  // namespace
