// The keys the programs can ask for: one table for every display. A key is
// named as the browser names it (KeyboardEvent.code: "KeyA", "Minus",
// "Numpad7") and by its USB usage number, which is SDL's scancode; each
// gives the virtual-key code Windows reports for it on a US keyboard.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

namespace winlayer::display {

struct KeyName {
  std::string_view code;  // the browser's name of the key
  int usage;              // its USB usage number (SDL_Scancode)
  UINT virtualKey;
};

const std::vector<KeyName>& Keys();

// 0 for a key the programs never ask for.
UINT VirtualKeyOfCode(std::string_view code);
UINT VirtualKeyOfUsage(int usage);

}  // namespace winlayer::display
