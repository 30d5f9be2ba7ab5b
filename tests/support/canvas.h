// A memory drawing context over a 32-bit bitmap, for pixel-exact tests.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

class Canvas {
 public:
  Canvas(int width, int height, COLORREF background = RGB(0, 0, 0));
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  int width() const { return width_; }
  int height() const { return height_; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  // Selects a solid pen and brush of these colours (a NULL pen or brush for CLR_INVALID).
  void Inks(COLORREF pen, COLORREF brush);
  // The pixels as rows of characters: '#' where the pixel is `ink`, '.' elsewhere.
  std::string Picture(COLORREF ink) const;
  int Count(COLORREF color) const;

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ oldBitmap_;
  HGDIOBJ oldPen_ = nullptr;
  HGDIOBJ oldBrush_ = nullptr;
  int width_, height_;
};

// Rows of a picture joined with newlines, for readable expectations.
std::string Rows(std::initializer_list<const char*> rows);

}  // namespace testing_support
