// MediaMaker: draws the game's 29 pictures into a folder, as Windows bitmap
// files, or its icon: as PNG files operation-brannoway-<size>.png, at the
// sizes given (48, 128 and 256 for the desktop unless told), and as the
// Windows icon file operation-brannoway.ico.
//
//   MediaMaker <folder>
//   MediaMaker --icons <folder> [size...]
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "media.h"

namespace {

// The icon sizes after --icons <folder>, or the desktop's when none is given;
// empty when one is not a size.
std::vector<int> IconSizes(int argc, char** argv) {
  if (argc == 3) return {48, 128, 256};
  std::vector<int> sizes;
  for (int i = 3; i < argc; ++i) {
    char* end = nullptr;
    const long size = std::strtol(argv[i], &end, 10);
    if (end == argv[i] || *end || size < 16 || size > 1024) return {};
    sizes.push_back(static_cast<int>(size));
  }
  return sizes;
}

}  // namespace

int main(int argc, char** argv) {
  const bool icons = argc >= 3 && std::string(argv[1]) == "--icons";
  const std::vector<int> sizes = icons ? IconSizes(argc, argv) : std::vector<int>{};
  if ((argc != 2 && !icons) || (icons && sizes.empty())) {
    std::fprintf(stderr, "usage: MediaMaker <folder>\n       MediaMaker --icons <folder> [size (16 to 1024)...]\n");
    return 2;
  }
  const std::string dir = argv[icons ? 2 : 1];
  mkdir(dir.c_str(), 0755);
  if (icons) {
    for (int size : sizes)
      if (!MediaMaker::MakeIcon(size, dir + "/operation-brannoway-" + std::to_string(size) + ".png")) {
        std::fprintf(stderr, "MediaMaker: cannot write the %d-pixel icon into %s\n", size, dir.c_str());
        return 1;
      }
    if (!MediaMaker::MakeWindowsIcon({16, 24, 32, 48, 256}, dir + "/operation-brannoway.ico")) {
      std::fprintf(stderr, "MediaMaker: cannot write the Windows icon into %s\n", dir.c_str());
      return 1;
    }
    return 0;
  }
  MediaMaker::MakeMenuPictures(dir);
  MediaMaker::MakeMatchPictures(dir);
  return 0;
}
