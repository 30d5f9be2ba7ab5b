// The present path of a window: every drawing call that changed the window's
// client pixels is one present, paced and counted by the pacing rules
// (rules/present_pacing.h), and then handed to the display, unless it was
// held back from the screen (gdi/window_surface.h).
#pragma once

#include <windows.h>

#include <memory>

#include "../gdi/window_surface.h"
#include "../rules/present_pacing.h"

namespace winlayer::display {

// The present path of a new window, for its surface, on the window's schedule.
gdi::WindowSurface::PresentPath PresentPath(HWND window, std::shared_ptr<pacing::WindowPacing> pacing);

}  // namespace winlayer::display
