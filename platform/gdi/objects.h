// Graphics objects: what HPEN, HBRUSH, HFONT, HBITMAP and HDC stand for.
// Their handles are handle_table.h's, the stock ones stock_objects.h's, and
// a drawing call's hold on its contexts locked_dc.h's; this header brings
// the three with it, as nearly every user of the objects needs them.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <type_traits>
#include <vector>

#include "deferred_drawing.h"
#include "draw_state.h"
#include "fast_lock.h"
#include "surface.h"
#include "window_surface.h"

namespace winlayer::text {
class RealizedFont;
}

namespace winlayer::gdi {

enum class Kind : std::uint8_t {
  Pen = OBJ_PEN,
  Brush = OBJ_BRUSH,
  DC = OBJ_DC,
  Font = OBJ_FONT,
  Bitmap = OBJ_BITMAP,
  MemDC = OBJ_MEMDC,
};

struct Object {
  explicit Object(Kind k) : kind(k) {}
  virtual ~Object() = default;

  const Kind kind;
  bool stock = false;       // stock objects and display surfaces are never deleted
  int selections = 0;       // drawing contexts it is selected into; guarded by the table lock
  std::uint32_t handle = 0; // set when the object enters the table
  std::atomic<bool> inTable{false};  // cleared when it leaves the table
};

struct Pen : Object {
  Pen(int style, int width, COLORREF color) : Object(Kind::Pen), style(style), width(width), color(color) {}
  int style;
  int width;
  COLORREF color;
  bool Visible() const { return style != PS_NULL; }
};

struct Brush : Object {
  Brush(UINT style, COLORREF color) : Object(Kind::Brush), style(style), color(color) {}
  UINT style;
  COLORREF color;
  bool Visible() const { return style != BS_NULL; }
};

struct Font : Object {
  explicit Font(const LOGFONTA& d) : Object(Kind::Font), description(d) {}
  LOGFONTA description;
  // Faces, sizes and rendered glyphs, found the first time the font draws or measures.
  std::shared_ptr<text::RealizedFont> Realized();

 private:
  std::once_flag realizeOnce_;
  std::shared_ptr<text::RealizedFont> realized_;
};

// A number no other bitmap or window surface of the process has had, so that
// a record of one is never mistaken for another made at the same address.
std::uint64_t NewSerial();

struct Bitmap : Object {
  Bitmap(std::unique_ptr<Surface> s, WORD bitsPerPixel)
      : Object(Kind::Bitmap), surface(std::move(s)), bitsPerPixel(bitsPerPixel) {}
  std::unique_ptr<Surface> surface;
  WORD bitsPerPixel;      // as reported: the depth of the file or of the request
  bool section = false;   // a section: the caller holds a pointer to the pixels
  std::unique_ptr<std::uint8_t[]> sectionMemory;

  // What changed since a window's present last took the pixels (see
  // blit.cpp): the rectangle around every drawing call since, and that
  // window. Guarded by the lock of the context the bitmap is selected into.
  const std::uint64_t serial = NewSerial();
  Rect changed = {0, 0, 0, 0};
  std::uint64_t changesTakenBy = 0;  // a window surface's serial

  // Deferred drawing (deferred_drawing.h): the calls not yet drawn, made at
  // the first drawing call on a bitmap that defers; the writes so far; and
  // how many recordings copy from this bitmap in calls not yet drawn.
  std::unique_ptr<Recording> recording;
  std::atomic<std::uint64_t> version{0};
  std::atomic<int> readers{0};
  bool Defers() const { return recording != nullptr; }
};

struct WindowSurface;

struct DC : Object, DrawState {
  explicit DC(Kind k) : Object(k) {}
  FastLock lock;  // one drawing call at a time on a context
  std::shared_ptr<Bitmap> bitmap;
  POINT position{0, 0};
  std::shared_ptr<WindowSurface> windowSurface;  // set for the contexts of a window

  const Surface& Target() const { return *bitmap->surface; }
  Rect Clip() const { return bitmap->surface->Bounds(); }
};

}  // namespace winlayer::gdi

#include "handle_table.h"
#include "locked_dc.h"
#include "stock_objects.h"
