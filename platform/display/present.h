// The present path of a window: every drawing call that changed the window's
// client pixels is one present, counted here once for all displays, paced by
// the frame limiter, and then handed to the display.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

namespace winlayer::display {

// The present path of a new window, for its surface.
std::function<void()> PresentPath(HWND window);

// Presents so far, all windows together.
std::uint64_t PresentCount();

}  // namespace winlayer::display
