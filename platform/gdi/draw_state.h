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

  // Draws the same pixels: pens, brushes and fonts never change once made,
  // and two made alike (a frame loop makes its brushes anew each frame) draw alike.
  bool operator==(const DrawState& o) const;
};

// Whether two font descriptions ask for the same font (the face name up to its end).
bool SameFontDescription(const LOGFONTA& a, const LOGFONTA& b);

}  // namespace winlayer::gdi
