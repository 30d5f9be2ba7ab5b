// The present path of a window: every drawing call that changed the window's
// client pixels is one present, paced and counted by the pacing rules
// (pacing/present_pacing.h), and then handed to the display.
#pragma once

#include <windows.h>

#include <functional>

namespace winlayer::display {

// The present path of a new window, for its surface.
std::function<void()> PresentPath(HWND window);

}  // namespace winlayer::display
