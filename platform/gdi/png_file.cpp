// A surface written as a PNG picture, for the headless display's driver.
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

#include "objects.h"

namespace winlayer::gdi {

bool WritePng(const Surface& s, const char* path) {
  std::vector<unsigned char> rgb(static_cast<std::size_t>(s.Width()) * static_cast<std::size_t>(s.Height()) * 3);
  std::size_t i = 0;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) {
      const COLORREF c = s.Read(x, y);
      rgb[i++] = GetRValue(c);
      rgb[i++] = GetGValue(c);
      rgb[i++] = GetBValue(c);
    }
  return stbi_write_png(path, s.Width(), s.Height(), 3, rgb.data(), s.Width() * 3) != 0;
}

}  // namespace winlayer::gdi
