// A drawing call's hold on its contexts and surfaces, and the present it
// makes when it changed a window's pixels.
#include <utility>

#include "objects.h"
#include "../pacing/poll_pacing.h"

namespace winlayer::gdi {

LockedDC::LockedDC(HDC h) : dc_(Find<DC>(h)) { LockAll(); }

LockedDC::LockedDC(HDC first, HDC second) : dc_(Find<DC>(first)), second_(Find<DC>(second)) {
  if (!dc_ || !second_) {
    dc_.reset();
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
      if (m && (held_ == 0 || held_lock_[held_ - 1] != m)) {
        m->lock();
        held_lock_[held_++] = m;
      }
  };
  auto surfaceOf = [](const DC* dc) { return dc && dc->windowSurface ? &dc->windowSurface->lock : nullptr; };
  lockPair(&dc_->lock, second_ && second_ != dc_ ? &second_->lock : nullptr);
  FastLock* s1 = surfaceOf(dc_.get());
  FastLock* s2 = surfaceOf(second_.get());
  lockPair(s1, s2 != s1 ? s2 : nullptr);
}

LockedDC::~LockedDC() {
  while (held_ > 0) held_lock_[--held_]->unlock();
  if (!drawn_) return;
  pacing::NoteWork();
  if (dc_->windowSurface && dc_->windowSurface->presented) dc_->windowSurface->presented();
}

}  // namespace winlayer::gdi
