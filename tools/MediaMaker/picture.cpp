#include "picture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace MediaMaker {

COLORREF Mix(COLORREF a, COLORREF b, double t) {
  auto mix = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
  return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

COLORREF Scale(COLORREF c, double f) {
  auto s = [f](int x) { return std::clamp(static_cast<int>(std::lround(x * f)), 0, 255); };
  return RGB(s(GetRValue(c)), s(GetGValue(c)), s(GetBValue(c)));
}

Picture::Picture(int width, int height, COLORREF background) : width_(width), height_(height) {
  HDC screen = GetDC(nullptr);
  dc_ = CreateCompatibleDC(screen);
  bitmap_ = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  oldBitmap_ = SelectObject(dc_, bitmap_);
  SetBkMode(dc_, TRANSPARENT);
  FillRect(0, 0, width, height, background);
}

Picture::~Picture() {
  if (oldFont_) DeleteObject(SelectObject(dc_, oldFont_));
  SelectObject(dc_, oldBitmap_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

void Picture::FillRect(int left, int top, int right, int bottom, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  RECT r{left, top, right, bottom};
  ::FillRect(dc_, &r, b);
  DeleteObject(b);
}

void Picture::VerticalGradient(int top, int bottom, COLORREF from, COLORREF to, int left, int right) {
  if (right < 0) right = width_;
  for (int y = top; y < bottom; ++y)
    FillRect(left, y, right, y + 1, Mix(from, to, bottom - top > 1 ? double(y - top) / (bottom - top - 1) : 0));
}

void Picture::Polygon(const std::vector<POINT>& points, COLORREF c) {
  HPEN pen = CreatePen(PS_SOLID, 1, c);
  HBRUSH brush = CreateSolidBrush(c);
  HGDIOBJ oldPen = SelectObject(dc_, pen), oldBrush = SelectObject(dc_, brush);
  ::Polygon(dc_, points.data(), static_cast<int>(points.size()));
  SelectObject(dc_, oldPen);
  SelectObject(dc_, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
}

void Picture::Line(int x0, int y0, int x1, int y1, COLORREF c) {
  HPEN pen = CreatePen(PS_SOLID, 1, c);
  HGDIOBJ old = SelectObject(dc_, pen);
  MoveToEx(dc_, x0, y0, nullptr);
  LineTo(dc_, x1, y1);
  SelectObject(dc_, old);
  DeleteObject(pen);
}

void Picture::Circle(double cx, double cy, double radius, COLORREF c) { Polygon(Disc(cx, cy, radius), c); }

void Picture::Tint(int left, int top, int right, int bottom, COLORREF c, double amount) {
  for (int y = std::max(top, 0); y < std::min(bottom, height_); ++y)
    for (int x = std::max(left, 0); x < std::min(right, width_); ++x) Set(x, y, Mix(At(x, y), c, amount));
}

void Picture::SelectFont(const char* face, int size, bool bold) {
  LOGFONTA lf{};
  lf.lfHeight = size;
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfQuality = ANTIALIASED_QUALITY;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  HGDIOBJ previous = SelectObject(dc_, CreateFontIndirectA(&lf));
  if (!oldFont_)
    oldFont_ = previous;
  else
    DeleteObject(previous);
}

SIZE Picture::Measure(const char* text, const char* face, int size, bool bold) {
  SelectFont(face, size, bold);
  SIZE s{};
  GetTextExtentPoint32A(dc_, text, static_cast<int>(std::strlen(text)), &s);
  return s;
}

void Picture::Text(int x, int y, const char* text, const char* face, int size, bool bold, COLORREF c) {
  SelectFont(face, size, bold);
  SetTextColor(dc_, c);
  RECT r{x, y, x, y};
  DrawTextA(dc_, text, -1, &r, DT_NOCLIP | DT_NOPREFIX);
}

void Picture::CentredText(RECT r, const char* text, const char* face, int size, bool bold, COLORREF c,
                          COLORREF outline, int outlineWidth) {
  const SIZE s = Measure(text, face, size, bold);
  const int x = r.left + (r.right - r.left - s.cx) / 2, y = r.top + (r.bottom - r.top - s.cy) / 2;
  for (int dy = -outlineWidth; dy <= outlineWidth; ++dy)
    for (int dx = -outlineWidth; dx <= outlineWidth; ++dx)
      if (dx || dy) Text(x + dx, y + dy, text, face, size, bold, outline);
  Text(x, y, text, face, size, bold, c);
}

bool Picture::Save(const std::string& path) const {
  std::vector<unsigned char> rgb(static_cast<std::size_t>(width_) * height_ * 3);
  std::size_t i = 0;
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const COLORREF c = At(x, y);
      rgb[i++] = GetRValue(c);
      rgb[i++] = GetGValue(c);
      rgb[i++] = GetBValue(c);
    }
  return stbi_write_bmp(path.c_str(), width_, height_, 3, rgb.data()) != 0;
}

bool SavePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgba) {
  return stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4) != 0;
}

std::vector<unsigned char> PngBytes(int width, int height, const std::vector<unsigned char>& rgba) {
  std::vector<unsigned char> bytes;
  stbi_write_png_to_func(
      [](void* to, void* data, int size) {
        auto* from = static_cast<unsigned char*>(data);
        static_cast<std::vector<unsigned char>*>(to)->insert(static_cast<std::vector<unsigned char>*>(to)->end(), from, from + size);
      },
      &bytes, width, height, 4, rgba.data(), width * 4);
  return bytes;
}

std::vector<POINT> RoundedBar(int left, int top, int right, int bottom) {
  const double r = (bottom - top) / 2.0, cy = top + r;
  std::vector<POINT> p;
  for (int k = 0; k <= 16; ++k) {  // the right end, top to bottom
    const double a = -M_PI / 2 + M_PI * k / 16;
    p.push_back({static_cast<LONG>(std::lround(right - r + r * std::cos(a))), static_cast<LONG>(std::lround(cy + r * std::sin(a)))});
  }
  for (int k = 0; k <= 16; ++k) {  // the left end, bottom to top
    const double a = M_PI / 2 + M_PI * k / 16;
    p.push_back({static_cast<LONG>(std::lround(left + r + r * std::cos(a))), static_cast<LONG>(std::lround(cy + r * std::sin(a)))});
  }
  return p;
}

std::vector<POINT> Disc(double cx, double cy, double radius, int corners) {
  std::vector<POINT> p;
  for (int k = 0; k < corners; ++k) {
    const double a = 2 * M_PI * k / corners;
    p.push_back({static_cast<LONG>(std::lround(cx + radius * std::cos(a))), static_cast<LONG>(std::lround(cy + radius * std::sin(a)))});
  }
  return p;
}

std::vector<POINT> Turned(std::vector<POINT> points, double cx, double cy, double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  for (POINT& p : points) {
    const double x = p.x - cx, y = p.y - cy;
    p = {static_cast<LONG>(std::lround(cx + c * x - s * y)), static_cast<LONG>(std::lround(cy + s * x + c * y))};
  }
  return points;
}

void SaveMasked(const std::vector<Shape>& shapes, int width, int height, const std::string& picturePath,
                const std::string& maskPath, const std::function<void(Picture&)>& more) {
  Picture mask(width, height, RGB(255, 255, 255));
  Picture picture(width, height);
  for (const Shape& s : shapes) {
    mask.Polygon(s.points, RGB(0, 0, 0));
    picture.Polygon(s.points, s.colour);
  }
  if (more) more(picture);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (mask.At(x, y) == RGB(255, 255, 255)) picture.Set(x, y, RGB(0, 0, 0));
  picture.Save(picturePath);
  if (!maskPath.empty()) mask.Save(maskPath);
}

}  // namespace MediaMaker
