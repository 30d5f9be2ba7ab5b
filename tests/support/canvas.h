// A memory drawing context over a 32-bit bitmap, for pixel-exact tests.
#pragma once

#include <windows.h>

#include <string>

#include "memory_bitmap.h"

namespace testing_support {

// A colour memory bitmap filled with a background, with helpers to draw and read.
class Canvas : public MemoryBitmap {
 public:
  Canvas(int width, int height, COLORREF background = RGB(0, 0, 0));
  ~Canvas();

  COLORREF At(int x, int y) const { return GetPixel(dc(), x, y); }
  // Selects a solid pen and brush of these colours (a NULL pen or brush for CLR_INVALID).
  void Inks(COLORREF pen, COLORREF brush);
  // The pixels as rows of characters: '#' where the pixel is `ink`, '.' elsewhere.
  std::string Picture(COLORREF ink) const;
  int Count(COLORREF color) const;

 private:
  HGDIOBJ oldPen_ = nullptr;
  HGDIOBJ oldBrush_ = nullptr;
};

// Rows of a picture joined with newlines, for readable expectations.
std::string Rows(std::initializer_list<const char*> rows);

}  // namespace testing_support
