// Deferred drawing: a paced program draws far more frames than a screen
// shows (400 a second on a 60 Hz screen), so the drawing calls on a back
// buffer are recorded and drawn only when their pixels are shown or read.
//
// Each call is kept with everything it depends on: its arguments, the state
// of its context (DrawState) and, for a copy, its source bitmap, whose
// pixels are held still until the copy is drawn (a write into a source
// first draws every recording that reads it). Drawn later, a call gives the
// very pixels it would have given at once.
//
// A frame is the calls between two presents of the bitmap. At most one
// finished frame waits undrawn beside the one being recorded. Since the
// calls work pixel by pixel, a pixel that the next frame sets opaquely at any
// point ends the same whatever the frame before left in it:
//   - the frame before is dropped, never drawn, when the next frame sets
//     every pixel it changed opaquely, and is not shown either;
//   - it is drawn at once when a copy within the bitmap reads pixels it
//     changed before the next frame has set them;
//   - a frame identical to the one before it (the same calls with the same
//     objects and sources) that sets every pixel it changes opaquely leaves
//     the bitmap as it was: it is dropped, and its present changes nothing.
// Anything that reads the bitmap (GetPixel, a copy from it, GetDIBits, a
// present that will be shown) draws everything pending first.
//
// Deferral applies to colour memory bitmaps that are not sections, in a
// paced program only: an unpaced one (Test, WINLAYER_FRAME_RATE=0) draws at
// once, so that what it measures is drawing. WINLAYER_DEFER=0 turns it off,
// WINLAYER_DEFER=1 on even unpaced (the tests run both ways).
#pragma once

#include <atomic>
#include <memory>
#include <tuple>
#include <typeinfo>
#include <vector>

#include "draw_state.h"
#include "fast_lock.h"
#include "surface.h"

namespace winlayer::gdi {

struct Bitmap;

constexpr const char* kDeferVariable = "WINLAYER_DEFER";

// Whether this process records drawing (the variable and the frame rate).
bool DeferralEnabled();
// For tests: overrides the choice above (until called again).
void SetDeferralForTesting(bool enabled);

// How a call changes the pixels of its rectangle. Every call but a copy
// within one bitmap works pixel by pixel: a pixel's new value depends on that
// pixel's old one at most. `Opaque` sets every pixel of the rectangle whatever
// was there; `Partial` may keep or blend some; `WithinTarget` copies from the
// target itself, so it reads pixels outside its rectangle too.
enum class Cover : std::uint8_t { Partial, Opaque, WithinTarget };

// One recorded drawing call.
class RecordedCall {
 public:
  RecordedCall(std::shared_ptr<const DrawState> state, const Rect& touched, Cover cover)
      : touched(touched), cover(cover), state_(std::move(state)) {}
  virtual ~RecordedCall() = default;
  virtual void Draw(const Surface& target) const = 0;
  // The same call with the same arguments and state: it draws the same pixels.
  virtual bool SameAs(const RecordedCall& other) const = 0;

  const Rect touched;  // every pixel the call may change lies in it
  const Cover cover;

 protected:
  const std::shared_ptr<const DrawState> state_;
};

// A call of `Fn(state, target, args...)`, its arguments kept by value.
template <auto Fn, typename... Args>
class Call final : public RecordedCall {
 public:
  Call(std::shared_ptr<const DrawState> state, const Rect& touched, Cover cover, Args... args)
      : RecordedCall(std::move(state), touched, cover), args_(std::move(args)...) {}
  void Draw(const Surface& target) const override {
    std::apply([&](const Args&... a) { Fn(*state_, target, a...); }, args_);
  }
  bool SameAs(const RecordedCall& other) const override {
    if (typeid(other) != typeid(*this)) return false;
    const auto& o = static_cast<const Call&>(other);
    return (state_ == o.state_ || *state_ == *o.state_) && args_ == o.args_;
  }

 private:
  std::tuple<Args...> args_;
};

// A copy's source as the copy sees it: another bitmap, kept (and held still
// while the copy waits), or the target itself.
struct Source {
  std::shared_ptr<Bitmap> bitmap;  // null: the target
  std::uint64_t version = 0;       // the bitmap's contents, as counted by its writes
  COLORREF bkColor = RGB(255, 255, 255);  // its context's, for colour-to-monochrome copies
  bool operator==(const Source& o) const { return bitmap == o.bitmap && version == o.version && bkColor == o.bkColor; }
  const Surface& Pixels(const Surface& target) const;
};

// The recorded calls of one bitmap. Every method takes the recording's own
// lock: a write into a source may draw a recording from another thread.
class Recording {
 public:
  explicit Recording(Bitmap& bitmap);
  ~Recording();
  Recording(const Recording&) = delete;
  Recording& operator=(const Recording&) = delete;

  // The state a call made now draws with: a copy of its context's, made
  // only when it changed since the last call. Only calls that record ask,
  // and they hold the lock of the context the bitmap is selected into.
  std::shared_ptr<const DrawState> Snapshot(const DrawState& now);
  // Records a call of the frame being recorded; `source` is the bitmap it
  // copies from, if another one.
  void Add(std::unique_ptr<RecordedCall> call, const std::shared_ptr<Bitmap>& source);

  // Draws every pending call: the bitmap's pixels are then as if drawn at once.
  void DrawPending();

  // The frame ends with a present. Drops or draws the frame before it as the
  // cover rule allows; when `shown`, draws everything. Returns false when the
  // frame was identical to the one before (the bitmap is as it was).
  // `changed` gathers the pixels the frame changed.
  bool EndFrame(bool shown, Rect* changed);

  // Draws the last finished frame for a present held back from the screen;
  // false when calls after it are drawn already (the bitmap holds more).
  bool DrawHeldFrame();

  // Whether a pending call copies from `source`.
  bool Reads(const Bitmap* source);


 private:
  using Calls = std::vector<std::unique_ptr<RecordedCall>>;
  void DrawPreviousLocked();
  void ForgetSourcesIfIdleLocked();
  void NoteRead(const Rect& r);
  bool Covers(const Rect& r) const;

  Bitmap& bitmap_;
  FastLock lock_;
  std::shared_ptr<const DrawState> lastState_;  // guarded by the context's lock (Snapshot)
  // The finished frame before the one being recorded: its calls, whether they
  // still wait to be drawn, and the pixels they change.
  Calls previous_;
  std::size_t previousDrawn_ = 0;
  Rect previousTouched_;
  // The frame being recorded: its calls, how many of them are drawn (a read
  // in the middle of a frame draws what came before it), its opaque cover so
  // far, and whether a copy within the bitmap read pixels the previous frame
  // changed before this frame set them.
  Calls current_;
  std::size_t currentDrawn_ = 0;
  std::vector<Rect> covered_;
  bool readsPrevious_ = false;
  Rect currentTouched_;
  // The bitmaps the pending calls copy from, held still until they are drawn.
  std::vector<std::shared_ptr<Bitmap>> sources_;
};

// Recorded calls drawn and frames never drawn so far, all bitmaps together
// (for tests and benchmarks).
struct DeferredCounts {
  std::uint64_t callsDrawn, framesDropped;
};
DeferredCounts DeferredTotals();

// Before anything writes into `bitmap`: every recording that copies from it
// draws first, so that it copies the pixels as they were at its call.
void BeforeWrite(Bitmap& bitmap);

// Whether the rectangles together cover every pixel of `r`.
bool CoveredBy(const Rect& r, const std::vector<Rect>& cover);

}  // namespace winlayer::gdi
