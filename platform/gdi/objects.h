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

  // A drawing call on the first context's bitmap: `Fn(state, target,
  // args...)`, drawn at once, or recorded when the bitmap defers its drawing
  // (deferred_drawing.h). `touched` holds every pixel it may change.
  template <auto Fn, typename... Args>
  void Draw(const Rect& touched, Cover cover, Args... args) {
    DrawFrom<Fn>(nullptr, touched, cover, std::move(args)...);
  }
  // The same for a call that copies from another bitmap, `source`.
  template <auto Fn, typename... Args>
  void DrawFrom(const std::shared_ptr<Bitmap>& source, const Rect& touched, Cover cover, Args... args) {
    Bitmap& target = *dc_->bitmap;
    BeforeWrite(target);
    if (Recording* r = RecordingOf(target)) {
      r->Add(std::make_unique<Call<Fn, Args...>>(r->Snapshot(*dc_), touched, cover, std::move(args)...), source);
      drawn_ = true;  // a memory bitmap: its present learns what changed from the recording
      return;
    }
    Fn(*dc_, *target.surface, args...);
    Drawn(touched);
  }
  // Before a call reads the pixels of a context's bitmap: what is recorded is drawn.
  void Settle() const { SettleBitmap(*dc_->bitmap); }
  void SettleSecond() const { SettleBitmap(*second_->bitmap); }
  static void SettleBitmap(Bitmap& b) {
    if (b.recording) b.recording->DrawPending();
  }

  // How this call's present reaches the screen (present_tracking.cpp):
  // held back from it when the next frame comes before the screen's next
  // refresh; shown late (without pacing it again) for a frame held back.
  void HoldBack() { presentKind_ = PresentKind::HeldBack; }
  void ShowLate() { presentKind_ = PresentKind::LateShow; }

 private:
  Recording* RecordingOf(Bitmap& target);
  PresentKind presentKind_ = PresentKind::Shown;
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
