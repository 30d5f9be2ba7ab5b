#include "present_tracking.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "../rules/poll_pacing.h"
#include "../rules/present_pacing.h"
#include "raster.h"
#include "transfer.h"

namespace winlayer::gdi {

namespace {

// Whether two rows of pixels are equal. The browser's C library compares
// byte by byte; eight bytes at a time there is several times faster, where
// the C library of a desktop is faster still.
bool RowsEqual(const std::uint32_t* a, const std::uint32_t* b, int pixels) {
#if defined(__EMSCRIPTEN__)
  int i = 0;
  for (; i + 2 <= pixels; i += 2) {
    std::uint64_t x, y;
    std::memcpy(&x, a + i, 8);
    std::memcpy(&y, b + i, 8);
    if (x != y) return false;
  }
  return i == pixels || a[i] == b[i];
#else
  return std::memcmp(a, b, static_cast<std::size_t>(pixels) * 4) == 0;
#endif
}

// Copies the rows of `d` that differ from the source's, and returns the
// rows it copied. A frame loop redraws every pixel of its back buffer, most
// of them as they were: comparing costs less than copying, and the display
// then shows again only what really changed.
Rect CopyDifferingRows(const Surface& dst, const Surface& src, const Rect& d, int sx, int sy) {
  int first = d.bottom, last = d.top - 1;
  const std::size_t rowBytes = static_cast<std::size_t>(d.Width()) * 4;
  for (int y = d.top; y < d.bottom; ++y) {
    std::uint32_t* to = dst.Row32(y) + d.left;
    const std::uint32_t* from = src.Row32(sy + y - d.top) + sx;
    if (RowsEqual(to, from, d.Width())) continue;
    std::memcpy(to, from, rowBytes);
    first = std::min(first, y);
    last = y;
  }
  return first <= last ? Rect{d.left, first, d.right, last + 1} : Rect{};
}

// Presents that copy without comparing rows, once most rows of one differed.
constexpr int kPlainCopiesAfterBusyFrame = 15;

// The copy of a present. The window remembers it; the next one from the
// same bitmap with the same rectangle and source corner copies only what
// changed in the bitmap since, provided this window took the bitmap's changes
// last and nothing else wrote into the window in between (LockedDC::Drawn
// forgets the present then). The window's pixels are then what a full copy
// would give.
void CopyToWindow(LockedDC& dcs, const Rect& d, int sx, int sy) {
  DC& dst = *dcs;
  WindowSurface& window = *dst.windowSurface;
  Bitmap& bitmap = *dcs.Second().bitmap;
  const TrackedPresent now{bitmap.serial, d, sx, sy};
  const TrackedPresent& last = window.lastPresent;
  Rect copy = d;
  if (last.bitmap == now.bitmap && bitmap.changesTakenBy == window.serial && last.target == d && last.sourceX == sx &&
      last.sourceY == sy) {
    const Rect changed = bitmap.changed;  // in the bitmap; the copy moves it by (d.left - sx, d.top - sy)
    copy = raster::Intersect(d, {changed.left + d.left - sx, changed.top + d.top - sy, changed.right + d.left - sx,
                                 changed.bottom + d.top - sy});
  }
  // While most rows change from frame to frame (a camera in flight), comparing
  // them costs more than it saves: copy outright, and try again later.
  Rect shown = copy;
  if (window.plainCopiesLeft > 0) {
    --window.plainCopiesLeft;
    if (!copy.Empty())
      Transfer(dst, dst.Target(), bitmap.surface.get(), 0, copy, sx + copy.left - d.left, sy + copy.top - d.top,
               kSourceCopy);
  } else {
    shown = CopyDifferingRows(dst.Target(), *bitmap.surface, copy, sx + copy.left - d.left, sy + copy.top - d.top);
    if (shown.Height() * 2 > copy.Height()) window.plainCopiesLeft = kPlainCopiesAfterBusyFrame;
  }
  dcs.Drawn(shown);  // a present even when nothing changed: the frame is paced and shown
  window.lastPresent = now;
  bitmap.changed = {};
  bitmap.changesTakenBy = window.serial;
}

// The presents this thread held back from the screen, one per window.
struct HeldPresent {
  std::weak_ptr<WindowSurface> window;
  std::weak_ptr<Bitmap> bitmap;
  HDC windowDC, memoryDC;
  Rect d;
  int sx, sy;
};
thread_local std::vector<HeldPresent> heldPresents;

void ShowHeldPresents() {
  std::vector<HeldPresent> held;
  held.swap(heldPresents);
  for (const HeldPresent& h : held) {
    LockedDC dcs(h.windowDC, h.memoryDC);
    if (!dcs || dcs->windowSurface != h.window.lock() || dcs.Second().bitmap != h.bitmap.lock()) continue;
    // Drawn since, in part, the bitmap no longer holds that frame; the next present shows the newer one.
    if (Recording* r = dcs.Second().bitmap->recording.get(); r && !r->DrawHeldFrame()) continue;
    CopyToWindow(dcs, h.d, h.sx, h.sy);
    dcs.ShowLate();
  }
}

void HoldBack(LockedDC& dcs, const Rect& d, int sx, int sy, pacing::Clock::time_point due) {
  const HeldPresent held{dcs->windowSurface, dcs.Second().bitmap, static_cast<HDC>(ToHandle(dcs->handle)),
                         static_cast<HDC>(ToHandle(dcs.Second().handle)), d, sx, sy};
  heldPresents.push_back(held);
  pacing::HoldFrameBack(due, ShowHeldPresents);
  dcs.HoldBack();
  dcs.Drawn(Rect{});  // paced and counted like any present
}

void ForgetHeldPresent(const WindowSurface& window) {
  std::erase_if(heldPresents, [&](const HeldPresent& h) { return h.window.lock().get() == &window; });
}

}  // namespace

bool IsTrackablePresent(const DC& dst, const DC& src, std::uint8_t code) {
  return code == kSourceCopy && dst.windowSurface && !src.windowSurface && !src.bitmap->section &&
         src.Target().Format() == PixelFormat::Color32 && dst.Target().Format() == PixelFormat::Color32;
}

void Present(LockedDC& dcs, const Rect& d, int sx, int sy) {
  WindowSurface& window = *dcs->windowSurface;
  Bitmap& bitmap = *dcs.Second().bitmap;
  if (!heldPresents.empty()) ForgetHeldPresent(window);
  if (Recording* r = bitmap.recording.get()) {
    const auto now = pacing::Clock::now();
    const bool shown = !window.pacing || window.pacing->ShownAtNextRefresh(now);
    r->EndFrame(shown, &bitmap.changed);
    if (!shown) {
      HoldBack(dcs, d, sx, sy, window.pacing->RefreshAfter(now).value_or(now));
      return;
    }
  }
  CopyToWindow(dcs, d, sx, sy);
}

}  // namespace winlayer::gdi
