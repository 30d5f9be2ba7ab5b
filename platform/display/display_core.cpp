#include "display_core.h"

namespace winlayer::display {

void DisplayCore::AddWindow(HWND window, std::shared_ptr<gdi::WindowSurface> surface) {
  std::lock_guard guard(lock_);
  windows_[window] = {std::move(surface), false, true};
}

void DisplayCore::RemoveWindow(HWND window) {
  std::lock_guard guard(lock_);
  windows_.erase(window);
}

void DisplayCore::ShowWhole(HWND window) {
  std::lock_guard guard(lock_);
  if (auto it = windows_.find(window); it != windows_.end()) it->second.dirty = it->second.whole = true;
}

bool DisplayCore::AnyDirtyLocked() const {
  for (const auto& [handle, w] : windows_)
    if (w.dirty) return true;
  return false;
}

void DisplayCore::Pass(Clock::time_point now) {
  const std::vector<HWND>& presented = presented_.Take();
  std::lock_guard guard(lock_);
  for (HWND h : presented)
    if (auto it = windows_.find(h); it != windows_.end()) it->second.dirty = true;
  if (AnyDirtyLocked() && presented_.CopyDue(now)) CopyDirtyLocked();
}

void DisplayCore::CopyDirtyLocked() {
  bool showed = false;
  for (auto& [handle, w] : windows_) {
    if (!w.dirty) continue;
    w.dirty = false;
    gdi::Rect taken;
    {
      std::lock_guard surfaceGuard(w.surface->lock);
      const gdi::Surface& pixels = *w.surface->bitmap->surface;
      const gdi::Rect changed = w.whole ? pixels.Bounds() : w.surface->changedSinceShown;
      w.surface->changedSinceShown = {};
      w.whole = false;
      if (changed.Empty()) continue;
      taken = backend_.Take(handle, pixels, changed);
    }
    if (taken.Empty()) continue;
    backend_.Show(handle, taken);
    showed = true;
  }
  if (showed) backend_.AfterShowing();
}

bool DisplayCore::ReadyToSleep(std::optional<Clock::time_point>* wakeBy) {
  bool changedWaiting;
  {
    std::lock_guard guard(lock_);
    changedWaiting = AnyDirtyLocked();
  }
  if (!presented_.ReadyToSleep(changedWaiting)) return false;
  *wakeBy = changedWaiting ? std::optional(presented_.NextCopy()) : std::nullopt;
  return true;
}

}  // namespace winlayer::display
