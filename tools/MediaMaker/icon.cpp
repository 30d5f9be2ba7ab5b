// The game's icon for the desktop: a warship in silhouette before the dusk
// sun of the title screen, a missile falling on it, inside a rounded square.
// Each size is painted at a larger scale and averaged down, so its edges are
// smooth although the drawing operations have no anti-aliasing.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <vector>

#include "media.h"

namespace MediaMaker {

namespace {

constexpr int kPaintedSize = 1024;  // each size is painted this large (or larger), then averaged down

// Paints the icon on a square of `s` pixels; coordinates below are in
// hundredths of the side.
void PaintIcon(Picture& p) {
  const double s = p.Width() / 100.0;
  auto at = [s](double x, double y) { return POINT{static_cast<LONG>(std::lround(x * s)), static_cast<LONG>(std::lround(y * s))}; };
  auto shape = [&](std::initializer_list<std::pair<double, double>> points) {
    std::vector<POINT> out;
    for (auto [x, y] : points) out.push_back(at(x, y));
    return out;
  };
  const int horizon = static_cast<int>(std::lround(62 * s));
  p.VerticalGradient(0, horizon * 2 / 5, RGB(22, 20, 62), RGB(86, 42, 96));
  p.VerticalGradient(horizon * 2 / 5, horizon, RGB(86, 42, 96), RGB(252, 140, 70));
  for (double r = 34; r > 20; r -= 2) p.Circle(50 * s, horizon, r * s, Mix(RGB(252, 150, 70), RGB(255, 200, 110), (34 - r) / 14));
  p.Circle(50 * s, horizon, 19 * s, RGB(255, 228, 150));
  p.VerticalGradient(horizon, p.Height(), RGB(120, 56, 80), RGB(10, 14, 40));
  for (double y = 66; y < 96; y += 5)  // the sun's road on the water
    p.Polygon(shape({{50 - (y - 50) * 0.45, y}, {50 + (y - 50) * 0.45, y}, {50 + (y - 50) * 0.4, y + 1.6}, {50 - (y - 50) * 0.4, y + 1.6}}),
              Mix(RGB(255, 196, 120), RGB(120, 56, 80), (y - 62) / 40));
  // The warship: hull, superstructure, funnel and a gun turret, all in silhouette.
  const COLORREF ship = RGB(18, 10, 26);
  p.Polygon(shape({{8, 60}, {92, 60}, {84, 71}, {16, 71}}), ship);
  p.Polygon(shape({{30, 60}, {30, 52}, {40, 52}, {42, 44}, {52, 44}, {54, 52}, {66, 52}, {66, 60}}), ship);
  p.Polygon(shape({{44, 44}, {45, 36}, {50, 36}, {50, 44}}), ship);
  p.Polygon(shape({{70, 60}, {71, 55}, {79, 55}, {80, 60}}), ship);
  p.Polygon(shape({{76, 56}, {88, 53}, {88.5, 54.5}, {77, 57.5}}), ship);
  // The missile, falling from the top right toward the ship, with its trail.
  auto turned = [&](std::vector<POINT> points) { return Turned(std::move(points), 72 * s, 24 * s, 0.65); };
  p.Polygon(turned(shape({{69, -4}, {75, -4}, {74, 14}, {70, 14}})), RGB(255, 210, 140));
  p.Polygon(turned(shape({{69.5, 14}, {74.5, 14}, {74.5, 30}, {72, 36}, {69.5, 30}})), RGB(236, 236, 244));
  p.Polygon(turned(shape({{69.5, 30}, {74.5, 30}, {72, 36}})), RGB(214, 40, 40));
  p.Polygon(turned(shape({{69.5, 14}, {66, 10}, {66, 17}, {69.5, 19}})), RGB(214, 40, 40));
  p.Polygon(turned(shape({{74.5, 14}, {78, 10}, {78, 17}, {74.5, 19}})), RGB(214, 40, 40));
}

// The rounded square the icon is cut to: white inside, black outside.
void PaintOutline(Picture& p) {
  const double s = p.Width() / 100.0, r = 18 * s, far = p.Width() - 1 - r;
  std::vector<POINT> corners;
  const double centres[][2] = {{far, r}, {far, far}, {r, far}, {r, r}};
  for (int c = 0; c < 4; ++c)
    for (int k = 0; k <= 12; ++k) {
      const double a = -M_PI / 2 + M_PI / 2 * (c + k / 12.0);
      corners.push_back({static_cast<LONG>(std::lround(centres[c][0] + r * std::cos(a))),
                         static_cast<LONG>(std::lround(centres[c][1] + r * std::sin(a)))});
    }
  p.Polygon(corners, RGB(255, 255, 255));
}

}  // namespace

std::vector<unsigned char> IconPixels(int size) {
  const int factor = std::max(1, kPaintedSize / size), painted = size * factor;
  Picture picture(painted, painted), outline(painted, painted);
  PaintIcon(picture);
  PaintOutline(outline);
  // Each pixel of the icon averages a factor × factor block: its colour over
  // the block's inside, its opacity the share of the block inside.
  std::vector<unsigned char> rgba(static_cast<std::size_t>(size) * size * 4);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      std::uint64_t r = 0, g = 0, b = 0, inside = 0;
      for (int dy = 0; dy < factor; ++dy)
        for (int dx = 0; dx < factor; ++dx) {
          const int px = x * factor + dx, py = y * factor + dy;
          if (outline.At(px, py) != RGB(255, 255, 255)) continue;
          const COLORREF c = picture.At(px, py);
          r += GetRValue(c), g += GetGValue(c), b += GetBValue(c), ++inside;
        }
      unsigned char* out = &rgba[(static_cast<std::size_t>(y) * size + x) * 4];
      if (inside) out[0] = static_cast<unsigned char>(r / inside), out[1] = static_cast<unsigned char>(g / inside),
                  out[2] = static_cast<unsigned char>(b / inside);
      out[3] = static_cast<unsigned char>(inside * 255 / (static_cast<std::uint64_t>(factor) * factor));
    }
  return rgba;
}

bool MakeIcon(int size, const std::string& path) { return SavePng(path, size, size, IconPixels(size)); }

// A Windows icon file whose images are PNGs, as Windows reads them since Vista.
bool MakeWindowsIcon(const std::vector<int>& sizes, const std::string& path) {
  std::vector<unsigned char> file;
  auto put16 = [&](unsigned v) { file.push_back(v & 0xFF), file.push_back(v >> 8 & 0xFF); };
  auto put32 = [&](std::size_t v) { put16(v & 0xFFFF), put16(v >> 16 & 0xFFFF); };
  std::vector<std::vector<unsigned char>> images;
  for (int size : sizes) images.push_back(PngBytes(size, size, IconPixels(size)));
  put16(0), put16(1), put16(static_cast<unsigned>(sizes.size()));  // reserved, an icon, the image count
  std::size_t offset = 6 + 16 * sizes.size();
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    const unsigned side = sizes[i] >= 256 ? 0 : static_cast<unsigned>(sizes[i]);  // 0 stands for 256
    file.push_back(static_cast<unsigned char>(side)), file.push_back(static_cast<unsigned char>(side));
    file.push_back(0), file.push_back(0);  // no palette, reserved
    put16(1), put16(32);                   // planes, bits per pixel
    put32(images[i].size()), put32(offset);
    offset += images[i].size();
  }
  for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  return std::fclose(out) == 0 && written;
}

}  // namespace MediaMaker
