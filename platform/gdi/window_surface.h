// A window's pixels and what its presents know of them: the home of present
// tracking (present_tracking.cpp).
//
// The rule: after each present the window holds exactly what a full copy of
// the presented bitmap would give, while the present copies only what
// changed. The bitmap counts its changes since a window last took them
// (Bitmap::changed, changesTakenBy); the window remembers its last present
// (lastPresent), which any other drawing into the window forgets; and the
// display learns what to show again from changedSinceShown.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "fast_lock.h"
#include "surface.h"

namespace winlayer::pacing {
class WindowPacing;
}

namespace winlayer::gdi {

struct Bitmap;

// A number no other bitmap or window surface of the process has had, so that
// a record of one is never mistaken for another made at the same address.
std::uint64_t NewSerial();

// A window's last present from a memory bitmap, while nothing else has
// written into the window since: the next present with the same bitmap,
// rectangle and source corner need copy only what changed in the bitmap.
struct TrackedPresent {
  std::uint64_t bitmap = 0;  // the bitmap's serial; 0: none (the next present copies in full)
  Rect target;
  int sourceX = 0, sourceY = 0;
};

// How a present reaches the screen: `Shown` is paced, counted and shown;
// `HeldBack` is paced and counted, but the next frame comes before the
// screen's next refresh, so its pixels stay in the bitmap; `LateShow` shows a
// frame held back whose successor did not come in time.
enum class PresentKind : std::uint8_t { Shown, HeldBack, LateShow };

// The pixels of a window's client area, drawn by the window's contexts and
// shown by the display. The lock is held while pixels are drawn or shown, so
// the display never shows half of a drawing call.
struct WindowSurface {
  using PresentPath = std::function<void(PresentKind)>;
  WindowSurface(HWND w, std::shared_ptr<Bitmap> b, std::shared_ptr<pacing::WindowPacing> p, PresentPath present)
      : window(w), bitmap(std::move(b)), pacing(std::move(p)), presentPath(std::move(present)) {}
  FastLock lock;
  const HWND window;
  const std::shared_ptr<Bitmap> bitmap;
  const std::uint64_t serial = NewSerial();
  // Guarded by the lock: the last present that later ones may build on, and
  // the part of the pixels changed since the display last showed them.
  TrackedPresent lastPresent;
  Rect changedSinceShown = {0, 0, 0, 0};
  int plainCopiesLeft = 0;  // presents to copy without comparing rows first
  // The window's frame schedule (null: unpaced).
  const std::shared_ptr<pacing::WindowPacing> pacing;
  // The window's present path: called on the drawing thread, with no lock
  // held, after each call that changed the pixels.
  const PresentPath presentPath;
};

}  // namespace winlayer::gdi
