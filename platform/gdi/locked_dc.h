// A drawing call's hold on its contexts: found by handle, locked with the
// surfaces of their windows, and what the call drew, at once or recorded.
#pragma once

#include <windows.h>

#include <memory>

#include "deferred_drawing.h"
#include "objects.h"
#include "window_surface.h"

namespace winlayer::gdi {

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
  FastLock* heldLocks_[4] = {};
  int held_ = 0;
  bool drawn_ = false;
};

}  // namespace winlayer::gdi
