#include "sdl_keys.h"

#include "../key_table.h"

namespace winlayer::display {

UINT VirtualKey(const SDL_Keysym& key) {
  const SDL_Keycode k = key.sym;
  if (k >= SDLK_a && k <= SDLK_z) return 'A' + static_cast<UINT>(k - SDLK_a);
  if (k >= SDLK_0 && k <= SDLK_9) return '0' + static_cast<UINT>(k - SDLK_0);
  return VirtualKeyOfUsage(key.scancode);
}

int ButtonKey(Uint8 sdlButton) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT: return VK_LBUTTON;
    case SDL_BUTTON_RIGHT: return VK_RBUTTON;
    case SDL_BUTTON_MIDDLE: return VK_MBUTTON;
    default: return 0;
  }
}

}  // namespace winlayer::display
