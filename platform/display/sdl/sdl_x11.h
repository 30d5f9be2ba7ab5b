// What the SDL display needs of X11 directly: to sleep on the server's
// connection, to learn of windows other clients destroy, and to survive the
// errors SDL's calls on such a window then cause. Elsewhere (Wayland) these
// answer "none".
#pragma once

#include <SDL.h>

namespace winlayer::display::x11 {

// The X server's id of an SDL window; 0 on other systems.
unsigned long WindowId(SDL_Window* window);
// The X server's connection, to sleep on; -1 on other systems.
int ServerConnection(SDL_Window* window);
// From now on, errors about windows that vanished are not fatal.
void IgnoreVanishedWindows();
// The id of the window a system event says was destroyed; 0 for any other event.
unsigned long DestroyedWindow(const SDL_SysWMmsg& message);

}  // namespace winlayer::display::x11
