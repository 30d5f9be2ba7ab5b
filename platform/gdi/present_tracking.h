// Presents: a plain copy from a memory bitmap onto a window (window_surface.h
// tells the rule they keep).
#pragma once

#include <cstdint>

#include "objects.h"

namespace winlayer::gdi {

// Whether a copy from `src` to `dst` with this operation is a present.
bool IsTrackablePresent(const DC& dst, const DC& src, std::uint8_t code);

// The present of `d` from (sx, sy) of the second context's bitmap onto the
// first context's window, both clipped already. A deferring bitmap's frame
// ends here: shown, it is drawn and copied; otherwise it is held back from
// the screen until the next frame, or shown late if that does not come
// before the refresh it missed.
void Present(LockedDC& dcs, const Rect& d, int sx, int sy);

}  // namespace winlayer::gdi
