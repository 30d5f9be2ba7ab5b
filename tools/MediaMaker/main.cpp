// MediaMaker: draws the game's 29 pictures into a folder, as Windows bitmap files.
//
//   MediaMaker <folder>
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "media.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: MediaMaker <folder>\n");
    return 2;
  }
  const std::string dir = argv[1];
  mkdir(dir.c_str(), 0755);
  MediaMaker::MakeMenuPictures(dir);
  MediaMaker::MakeMatchPictures(dir);
  return 0;
}
