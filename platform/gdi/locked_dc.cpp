// A drawing call's hold on its contexts and surfaces, and the present it
// makes when it changed a window's pixels.
#include <utility>

#include "objects.h"
#include "raster.h"
#include "../rules/poll_pacing.h"

namespace winlayer::gdi {

std::uint64_t NewSerial() {
  static std::atomic<std::uint64_t> next{1};
  return next.fetch_add(1, std::memory_order_relaxed);
}

// A bitmap defers its drawing when it is a colour memory bitmap the program
// draws frames into: not a window's, not a section (whose pixels the program
// reads without a call), not a stock one.
Recording* LockedDC::RecordingOf(Bitmap& target) {
  if (target.recording) return target.recording.get();
  if (dc_->kind != Kind::MemDC || target.stock || target.section ||
      target.surface->Format() != PixelFormat::Color32 || !DeferralEnabled())
    return nullptr;
  target.recording = std::make_unique<Recording>(target);
  return target.recording.get();
}

LockedDC::LockedDC(HDC h) : dc_(BorrowDC(h, owner_)), borrowed_(dc_ && !owner_) { LockAll(); }

LockedDC::LockedDC(HDC first, HDC second)
    : dc_(BorrowDC(first, owner_)), borrowed_(dc_ && !owner_), second_(Find<DC>(second)) {
  if (!dc_ || !second_) {
    dc_ = nullptr;
    second_.reset();
  }
  LockAll();
}

void LockedDC::LockAll() {
  if (!dc_) return;
  // At most two contexts and two surfaces; each pair in address order.
  auto lockPair = [this](FastLock* a, FastLock* b) {
    if (a && b && b < a) std::swap(a, b);
    for (FastLock* m : {a, b})
      if (m && (held_ == 0 || heldLocks_[held_ - 1] != m)) {
        m->lock();
        heldLocks_[held_++] = m;
      }
  };
  auto surfaceOf = [](const DC* dc) { return dc && dc->windowSurface ? &dc->windowSurface->lock : nullptr; };
  lockPair(&dc_->lock, second_ && second_.get() != dc_ ? &second_->lock : nullptr);
  FastLock* s1 = surfaceOf(dc_);
  FastLock* s2 = surfaceOf(second_.get());
  lockPair(s1, s2 != s1 ? s2 : nullptr);
}

void LockedDC::Drawn() { Drawn(dc_->Clip()); }

void LockedDC::Drawn(const Rect& touched) {
  drawn_ = true;
  const Rect r = raster::Intersect(touched, dc_->Clip());
  if (r.Empty()) return;
  Bitmap& bitmap = *dc_->bitmap;
  bitmap.changed = Union(bitmap.changed, r);
  if (WindowSurface* window = dc_->windowSurface.get()) {
    window->lastPresent = {};  // written by something else than a present that builds on it
    window->changedSinceShown = Union(window->changedSinceShown, r);
  }
}

LockedDC::~LockedDC() {
  while (held_ > 0) heldLocks_[--held_]->unlock();
  if (drawn_) {
    pacing::NoteWork();
    if (dc_->windowSurface && dc_->windowSurface->presentPath) dc_->windowSurface->presentPath(presentKind_);
  }
  if (borrowed_) ReturnDC();
}

}  // namespace winlayer::gdi
