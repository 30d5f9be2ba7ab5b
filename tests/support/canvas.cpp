#include "canvas.h"

namespace testing_support {

Canvas::Canvas(int width, int height, COLORREF background) : MemoryBitmap(width, height) {
  HBRUSH fill = CreateSolidBrush(background);
  RECT all{0, 0, width, height};
  FillRect(dc(), &all, fill);
  DeleteObject(fill);
}

Canvas::~Canvas() {
  Inks(CLR_INVALID, CLR_INVALID);
  DeleteObject(SelectObject(dc(), oldPen_));
  DeleteObject(SelectObject(dc(), oldBrush_));
}

void Canvas::Inks(COLORREF pen, COLORREF brush) {
  HGDIOBJ newPen = pen == CLR_INVALID ? GetStockObject(NULL_PEN) : CreatePen(PS_SOLID, 1, pen);
  HGDIOBJ newBrush = brush == CLR_INVALID ? GetStockObject(NULL_BRUSH) : CreateSolidBrush(brush);
  HGDIOBJ p = SelectObject(dc(), newPen);
  HGDIOBJ b = SelectObject(dc(), newBrush);
  // The first replaced objects are the context's own stock ones; later ones are ours.
  if (oldPen_) DeleteObject(p); else oldPen_ = p;
  if (oldBrush_) DeleteObject(b); else oldBrush_ = b;
}

std::string Canvas::Picture(COLORREF ink) const {
  std::string s;
  for (int y = 0; y < height(); ++y) {
    if (y) s += '\n';
    for (int x = 0; x < width(); ++x) s += At(x, y) == ink ? '#' : '.';
  }
  return s;
}

int Canvas::Count(COLORREF color) const {
  int n = 0;
  for (int y = 0; y < height(); ++y)
    for (int x = 0; x < width(); ++x) n += At(x, y) == color;
  return n;
}

std::string Rows(std::initializer_list<const char*> rows) {
  std::string s;
  for (const char* r : rows) {
    if (!s.empty()) s += '\n';
    s += r;
  }
  return s;
}

}  // namespace testing_support
