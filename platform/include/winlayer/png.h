// Saving pixels as PNG pictures, for tests and tools.
#pragma once

#include <windows.h>

namespace winlayer {

// Writes the bitmap's pixels to a PNG file; false if the handle is not a bitmap or the file can't be written.
bool SaveBitmapPng(HBITMAP bitmap, const char* path);

}  // namespace winlayer
