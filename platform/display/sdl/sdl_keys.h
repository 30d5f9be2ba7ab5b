// The keys and mouse buttons of SDL's events as the programs know them.
#pragma once

#include <SDL.h>
#include <windows.h>

namespace winlayer::display {

// The virtual-key code of a key; 0 for keys the programs never ask for.
// Letters and digits follow the keyboard's layout, as Windows' virtual keys
// do; every other key is found in the displays' key table (key_table.h) by
// its place on the keyboard.
UINT VirtualKey(const SDL_Keysym& key);
// VK_LBUTTON, VK_RBUTTON or VK_MBUTTON; 0 for other buttons.
int ButtonKey(Uint8 sdlButton);

}  // namespace winlayer::display
