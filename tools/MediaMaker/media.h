// The game's pictures, made by drawing, not taken from anywhere.
#pragma once

#include <string>
#include <vector>

#include "picture.h"

namespace MediaMaker {

// The title background, the three menu buttons with their lit pictures and
// masks, and the instructions background.
void MakeMenuPictures(const std::string& dir);
// The horizon strip, the sidebar, the weapon button background and the five
// weapons with their dimmed pictures and masks.
void MakeMatchPictures(const std::string& dir);

// The desktop icon, `size` pixels square with a transparent outside, as a PNG file.
bool MakeIcon(int size, const std::string& path);
// The icon at these sizes as one Windows icon file, for the game's .exe.
bool MakeWindowsIcon(const std::vector<int>& sizes, const std::string& path);

}  // namespace MediaMaker
