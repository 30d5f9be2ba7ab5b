// MediaMaker: draws the game's 29 pictures into a folder, as Windows bitmap
// files, or its icon: at the sizes the desktop wants, as PNG files
// operation-brannoway-<size>.png, and as the Windows icon file
// operation-brannoway.ico.
//
//   MediaMaker <folder>
//   MediaMaker --icons <folder>
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "media.h"

int main(int argc, char** argv) {
  const bool icons = argc == 3 && std::string(argv[1]) == "--icons";
  if (argc != 2 && !icons) {
    std::fprintf(stderr, "usage: MediaMaker <folder>\n       MediaMaker --icons <folder>\n");
    return 2;
  }
  const std::string dir = argv[argc - 1];
  mkdir(dir.c_str(), 0755);
  if (icons) {
    for (int size : {48, 128, 256})
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
