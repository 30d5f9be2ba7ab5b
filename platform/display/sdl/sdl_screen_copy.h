// The SDL display's copy of windows' pixels to the screen: into each SDL
// window's surface, converted to the screen's pixel layout and enlarged by
// the window's whole factor, then the copied part updated on the screen.
// Display thread only.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <map>
#include <vector>

#include "../display_core.h"

namespace winlayer::display {

class SdlScreenCopy final : public ScreenBackend {
 public:
  void Add(HWND handle, SDL_Window* window, int scale) { windows_[handle] = {window, scale, {}, nullptr}; }
  void Remove(HWND handle) { windows_.erase(handle); }

  gdi::Rect Take(HWND handle, const gdi::Surface& pixels, const gdi::Rect& changed) override;
  void Show(HWND handle, const gdi::Rect& taken) override;

 private:
  struct Shown {
    SDL_Window* window = nullptr;
    int scale = 1;  // each client pixel is shown as scale × scale screen pixels
    std::vector<std::uint32_t> converted;  // one row, or all, in the screen's pixel layout
    SDL_Surface* screen = nullptr;  // the window surface copied to last
  };
  static void Enlarge(Shown& shown, const std::uint32_t* source, std::ptrdiff_t sourcePitch, int width, int height,
                      SDL_Surface* screen, void* target);

  std::map<HWND, Shown> windows_;
};

}  // namespace winlayer::display
