#include "sdl_message_box.h"

#include <SDL.h>

#include <cstdio>
#include <vector>

#include "../message_buttons.h"

namespace winlayer::display {

int ShowSdlMessageBox(const std::string& text, const std::string& caption, UINT type) {
  std::vector<SDL_MessageBoxButtonData> buttons;
  for (const MessageButton& b : MessageButtons(type)) buttons.push_back({0, b.id, b.label});
  buttons.front().flags = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
  const UINT icon = type & 0xF0;
  const Uint32 flags = icon == MB_ICONERROR     ? SDL_MESSAGEBOX_ERROR
                       : icon == MB_ICONWARNING ? SDL_MESSAGEBOX_WARNING
                                                : SDL_MESSAGEBOX_INFORMATION;
  const SDL_MessageBoxData data{flags, nullptr, caption.c_str(), text.c_str(), static_cast<int>(buttons.size()),
                                buttons.data(), nullptr};
  int chosen = buttons.front().buttonid;
  if (SDL_ShowMessageBox(&data, &chosen) != 0) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return buttons.front().buttonid;
  }
  return chosen < 0 ? DismissedAnswer(type) : chosen;
}

}  // namespace winlayer::display
