// What a drawing call draws with: the objects and settings of its context at
// the moment of the call. A context holds one; a recorded call keeps a copy
// (deferred_drawing.h), so it draws later exactly as it would have then.
#pragma once

#include <windows.h>

#include <memory>

namespace winlayer::gdi {

struct Pen;
struct Brush;
struct Font;

struct DrawState {
  std::shared_ptr<Pen> pen;
  std::shared_ptr<Brush> brush;
  std::shared_ptr<Font> font;
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF bkColor = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  int fillMode = ALTERNATE;

  // Pens, brushes and fonts never change once made: the same objects draw the same.
  bool operator==(const DrawState& o) const {
    return pen == o.pen && brush == o.brush && font == o.font && textColor == o.textColor && bkColor == o.bkColor &&
           bkMode == o.bkMode && fillMode == o.fillMode;
  }
};

}  // namespace winlayer::gdi
