// Graphics objects and the handle table behind HPEN, HBRUSH, HFONT, HBITMAP
// and HDC.
//
// A handle is a 32-bit number: the slot's index plus one in the low 20 bits
// and the slot's generation (1..4095) above them. A deleted object's slot is
// reused only after every other free slot, and with the next generation, so
// a stale handle is rejected instead of reaching the object that reused the
// slot. Handle values are never below 0x100000, so they never collide with
// the small "system colour + 1" values that some calls accept as brushes.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <type_traits>
#include <vector>

#include "fast_lock.h"
#include "surface.h"

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
};

// A window's last present from a memory bitmap, while nothing else has
// written into the window since: the next present with the same bitmap,
// rectangle and source corner need copy only what changed in the bitmap.
struct TrackedPresent {
  std::uint64_t bitmap = 0;  // the bitmap's serial; 0: none (the next present copies in full)
  Rect target;
  int sourceX = 0, sourceY = 0;
};

// The pixels of a window's client area, drawn by the window's contexts and
// shown by the display. The lock is held while pixels are drawn or shown, so
// the display never shows half of a drawing call.
struct WindowSurface {
  WindowSurface(HWND w, std::shared_ptr<Bitmap> b, std::function<void()> present)
      : window(w), bitmap(std::move(b)), presented(std::move(present)) {}
  FastLock lock;
  const HWND window;
  const std::shared_ptr<Bitmap> bitmap;
  const std::uint64_t serial = NewSerial();
  // Guarded by the lock: the last present that later ones may build on, and
  // the part of the pixels changed since the display last showed them.
  TrackedPresent lastPresent;
  Rect changedSinceShown = {0, 0, 0, 0};
  int plainCopiesLeft = 0;  // presents to copy without comparing rows first (blit.cpp)
  // The window's present path: called on the drawing thread, with no lock
  // held, after each call that changed the pixels.
  const std::function<void()> presented;
};

struct DC : Object {
  explicit DC(Kind k) : Object(k) {}
  FastLock lock;  // one drawing call at a time on a context
  std::shared_ptr<Pen> pen;
  std::shared_ptr<Brush> brush;
  std::shared_ptr<Font> font;
  std::shared_ptr<Bitmap> bitmap;
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF bkColor = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  int fillMode = ALTERNATE;
  POINT position{0, 0};
  std::shared_ptr<WindowSurface> windowSurface;  // set for the contexts of a window

  const Surface& Target() const { return *bitmap->surface; }
  Rect Clip() const { return bitmap->surface->Bounds(); }
};

// ---- the table ------------------------------------------------------------

// Enters an object and returns its handle; 0 when the table is full.
std::uint32_t AddObject(std::shared_ptr<Object> object);
HANDLE ToHandle(std::uint32_t value);

std::shared_ptr<Object> FindObject(HANDLE h);

// Whether an object of this kind is a T; the kind says it without a
// dynamic_cast, which every drawing call would pay for.
template <typename T>
constexpr bool IsA(Kind k) {
  if constexpr (std::is_same_v<T, Pen>) return k == Kind::Pen;
  else if constexpr (std::is_same_v<T, Brush>) return k == Kind::Brush;
  else if constexpr (std::is_same_v<T, Font>) return k == Kind::Font;
  else if constexpr (std::is_same_v<T, Bitmap>) return k == Kind::Bitmap;
  else if constexpr (std::is_same_v<T, DC>) return k == Kind::DC || k == Kind::MemDC;
  else return std::is_same_v<T, Object>;
}

// The drawing context of a handle, as Find<DC> finds it. The calling thread
// remembers the last one it found: a frame's drawing calls nearly all name
// the same back buffer, and this spares each of them the table's lock and
// the counting of references. The remembered one is lent (`owner` left
// empty) until ReturnDC; otherwise `owner` holds the context.
DC* BorrowDC(HANDLE h, std::shared_ptr<DC>& owner);
void ReturnDC();

template <typename T>
std::shared_ptr<T> Find(HANDLE h) {
  std::shared_ptr<Object> o = FindObject(h);
  if (!o || !IsA<T>(o->kind)) return nullptr;
  return std::static_pointer_cast<T>(std::move(o));
}

enum class RemoveResult { Removed, Stock, Selected, Invalid };
// Takes a non-stock object out of the table unless it is selected somewhere;
// a context only when `contexts` says so (DeleteObject refuses them).
RemoveResult RemoveObject(HANDLE h, std::shared_ptr<Object>* removed = nullptr, bool contexts = true);

// Selection counts change under the table lock; while it is held,
// FindInLockedTable finds an object without taking the lock again.
std::unique_lock<FastLock> LockTable();
const std::shared_ptr<Object>* FindInLockedTable(HANDLE h);

std::size_t LiveObjects(Kind kind);

// ---- stock objects -----------------------------------------------------------

std::shared_ptr<Object> StockObject(int index);  // null for an unknown index
std::shared_ptr<Bitmap> DefaultBitmap();         // the 1 x 1 monochrome bitmap of a new memory context
LOGFONTA SystemFontDescription();

// A new drawing context with the state every context starts with, entered in
// the table. `bitmap` is the surface it draws on.
std::shared_ptr<DC> NewDC(Kind kind, std::shared_ptr<Bitmap> bitmap);
// A new context that draws on a window's client area.
std::shared_ptr<DC> NewWindowDC(std::shared_ptr<WindowSurface> surface);

// Takes a display surface out of the table when its window goes.
void RetireObject(const Object& object);

// ---- access from the operations ---------------------------------------------

// One or two drawing contexts found by handle and locked for one call, with
// the surfaces of their windows. Contexts are locked before surfaces, each
// kind in address order, so calls on several contexts never deadlock.
class LockedDC {
 public:
  explicit LockedDC(HDC h);
  LockedDC(HDC first, HDC second);  // both, or neither when one is invalid
  ~LockedDC();
  LockedDC(const LockedDC&) = delete;
  LockedDC& operator=(const LockedDC&) = delete;

  explicit operator bool() const { return dc_ != nullptr; }
  DC* operator->() const { return dc_; }
  DC& operator*() const { return *dc_; }
  DC& Second() const { return *second_; }
  // Marks that the call changed pixels of the first context within `touched`
  // (its whole bitmap when not given), so a window shows them and a present
  // from the bitmap copies them.
  void Drawn();
  void Drawn(const Rect& touched);

 private:
  void LockAll();
  std::shared_ptr<DC> owner_;  // before dc_: its constructor fills it
  DC* dc_ = nullptr;
  bool borrowed_ = false;
  std::shared_ptr<DC> second_;
  FastLock* held_lock_[4] = {};
  int held_ = 0;
  bool drawn_ = false;
};

}  // namespace winlayer::gdi
