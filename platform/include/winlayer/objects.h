// The layer's own view of its graphics objects, for tests and tools: how many
// pens, brushes, fonts, bitmaps and drawing contexts are alive. Stock objects
// are not counted.
#pragma once

#include <windows.h>

#include <cstddef>

namespace winlayer {

// For tests and tools only. Live objects of one kind (OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP, OBJ_DC, OBJ_MEMDC).
std::size_t LiveGdiObjects(DWORD objectType);
// Live objects of every kind together.
std::size_t LiveGdiObjects();

}  // namespace winlayer
