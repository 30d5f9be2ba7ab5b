#include "sdl_screen_copy.h"

#include <algorithm>

#include "scaling.h"

namespace winlayer::display {

namespace {

// Rows of 0x00RRGGBB pixels; SDL converts when the screen keeps another layout.
void Convert(const void* from, std::ptrdiff_t fromPitch, int width, int height, Uint32 format, void* to,
             std::ptrdiff_t toPitch) {
  SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_RGB888, from, static_cast<int>(fromPitch), format, to,
                    static_cast<int>(toPitch));
}

}  // namespace

gdi::Rect SdlScreenCopy::Take(HWND handle, const gdi::Surface& pixels, const gdi::Rect& changed) {
  auto it = windows_.find(handle);
  if (it == windows_.end()) return {};
  Shown& shown = it->second;
  SDL_Surface* screen = SDL_GetWindowSurface(shown.window);
  if (!screen) return {};
  // A new window surface (SDL made one) holds nothing of ours: it is copied whole.
  const gdi::Rect wanted = screen != shown.screen ? pixels.Bounds() : changed;
  shown.screen = screen;
  const int n = shown.scale;
  const gdi::Rect r{std::max(wanted.left, 0), std::max(wanted.top, 0), std::min({wanted.right, pixels.Width(), screen->w / n}),
                    std::min({wanted.bottom, pixels.Height(), screen->h / n})};
  if (r.Empty()) return {};
  SDL_LockSurface(screen);
  const int bytes = screen->format->BytesPerPixel;
  void* target = static_cast<char*>(screen->pixels) + std::ptrdiff_t{r.top} * n * screen->pitch +
                 std::ptrdiff_t{r.left} * n * bytes;
  const std::uint32_t* source = pixels.Row32(r.top) + r.left;
  if (n == 1)
    Convert(source, pixels.Pitch(), r.Width(), r.Height(), screen->format->format, target, screen->pitch);
  else
    Enlarge(shown, source, pixels.Pitch(), r.Width(), r.Height(), screen, target);
  SDL_UnlockSurface(screen);
  return r;
}

void SdlScreenCopy::Show(HWND handle, const gdi::Rect& r) {
  auto it = windows_.find(handle);
  if (it == windows_.end()) return;
  const int n = it->second.scale;
  const SDL_Rect shown{r.left * n, r.top * n, r.Width() * n, r.Height() * n};
  SDL_UpdateWindowSurfaceRects(it->second.window, &shown, 1);
}

// Each client pixel of a block of rows as an n × n block, written once at
// `target`. A screen of another 32-bit layout gets each row converted
// first; one of another size gets the enlarged block converted whole.
void SdlScreenCopy::Enlarge(Shown& shown, const std::uint32_t* source, std::ptrdiff_t sourcePitch, int width, int height,
                            SDL_Surface* screen, void* target) {
  const int n = shown.scale;
  const Uint32 format = screen->format->format;
  if (format == SDL_PIXELFORMAT_RGB888) {
    EnlargePixels(source, sourcePitch, width, height, n, static_cast<std::uint32_t*>(target), screen->pitch);
  } else if (screen->format->BytesPerPixel == 4) {
    shown.converted.resize(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const char*>(source) + y * sourcePitch);
      Convert(row, sourcePitch, width, 1, format, shown.converted.data(), width * 4);
      EnlargePixels(shown.converted.data(), width * 4, width, 1, n,
                    reinterpret_cast<std::uint32_t*>(static_cast<char*>(target) + std::ptrdiff_t{y} * n * screen->pitch),
                    screen->pitch);
    }
  } else {
    const std::ptrdiff_t pitch = std::ptrdiff_t{width} * n * 4;
    shown.converted.resize(static_cast<std::size_t>(width) * n * height * n);
    EnlargePixels(source, sourcePitch, width, height, n, shown.converted.data(), pitch);
    Convert(shown.converted.data(), pitch, width * n, height * n, format, target, screen->pitch);
  }
}

}  // namespace winlayer::display
