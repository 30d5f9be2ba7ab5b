#include "sdl_x11.h"

#include <SDL_syswm.h>

namespace winlayer::display::x11 {

namespace {

XErrorHandler previousHandler = nullptr;

int IgnoreVanished(::Display* display, XErrorEvent* error) {
  if (error->error_code == BadWindow || error->error_code == BadDrawable) return 0;
  return previousHandler ? previousHandler(display, error) : 0;
}

bool InfoOf(SDL_Window* window, SDL_SysWMinfo* info) {
  SDL_VERSION(&info->version);
  return SDL_GetWindowWMInfo(window, info) && info->subsystem == SDL_SYSWM_X11;
}

}  // namespace

unsigned long WindowId(SDL_Window* window) {
  SDL_SysWMinfo info;
  return InfoOf(window, &info) ? info.info.x11.window : 0;
}

int ServerConnection(SDL_Window* window) {
  SDL_SysWMinfo info;
  return InfoOf(window, &info) ? ConnectionNumber(info.info.x11.display) : -1;
}

void IgnoreVanishedWindows() { previousHandler = XSetErrorHandler(IgnoreVanished); }

unsigned long DestroyedWindow(const SDL_SysWMmsg& m) {
  if (m.subsystem != SDL_SYSWM_X11 || m.msg.x11.event.type != DestroyNotify) return 0;
  return m.msg.x11.event.xdestroywindow.window;
}

}  // namespace winlayer::display::x11
