// A picture being painted with the Windows drawing operations, written out
// as a Windows bitmap file. The painting helpers are the few a picture
// needs: gradients built from lines, polygons, circles and outlined text.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace MediaMaker {

struct Shape {
  std::vector<POINT> points;
  COLORREF colour;
};

class Picture {
 public:
  Picture(int width, int height, COLORREF background = RGB(0, 0, 0));
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  HDC dc() const { return dc_; }

  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  void Set(int x, int y, COLORREF c) { SetPixel(dc_, x, y, c); }

  // Rows from `top` to `bottom` (excluded), their colour going from `from` to `to`.
  void VerticalGradient(int top, int bottom, COLORREF from, COLORREF to, int left = 0, int right = -1);
  void FillRect(int left, int top, int right, int bottom, COLORREF c);
  void Polygon(const std::vector<POINT>& points, COLORREF c);
  void Line(int x0, int y0, int x1, int y1, COLORREF c);
  void Circle(double cx, double cy, double radius, COLORREF c);
  // Mixes a colour into every pixel of a rectangle, `amount` 0..1.
  void Tint(int left, int top, int right, int bottom, COLORREF c, double amount);

  // Text with its top-left corner at (x, y), or centred in a rectangle.
  void Text(int x, int y, const char* text, const char* face, int size, bool bold, COLORREF c);
  void CentredText(RECT r, const char* text, const char* face, int size, bool bold, COLORREF c, COLORREF outline,
                   int outlineWidth);
  SIZE Measure(const char* text, const char* face, int size, bool bold);

  bool Save(const std::string& path) const;

 private:
  void SelectFont(const char* face, int size, bool bold);
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ oldBitmap_;
  HGDIOBJ oldFont_ = nullptr;
};

COLORREF Mix(COLORREF a, COLORREF b, double t);
COLORREF Scale(COLORREF c, double factor);

// Polygons of simple figures.
std::vector<POINT> RoundedBar(int left, int top, int right, int bottom);  // ends are half circles
std::vector<POINT> Disc(double cx, double cy, double radius, int corners = 48);
std::vector<POINT> Turned(std::vector<POINT> points, double cx, double cy, double angle);

// Rows of red, green, blue and opacity bytes, top row first, as a PNG file.
bool SavePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgba);
// The same as the bytes of a PNG file.
std::vector<unsigned char> PngBytes(int width, int height, const std::vector<unsigned char>& rgba);

// A masked pair: the picture painted from shapes on black (and whatever
// `more` adds), and its mask, black under every shape and white elsewhere.
// The picture is made black wherever the mask is white. An empty mask path
// saves the picture alone.
void SaveMasked(const std::vector<Shape>& shapes, int width, int height, const std::string& picturePath,
                const std::string& maskPath, const std::function<void(Picture&)>& more = {});

}  // namespace MediaMaker
