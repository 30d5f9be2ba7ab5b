// Writes small Windows bitmap files of any depth for the loader's tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// The colour of pixel (x, y); for depths of 8 bits and less it must be in `palette`.
using PixelColour = std::function<COLORREF(int x, int y)>;

std::vector<std::uint8_t> MakeBmp(int width, int height, int bitsPerPixel, bool topDown, const PixelColour& colour,
                                  const std::vector<COLORREF>& palette = {});

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// A fresh directory for one test's files, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace testing_support
