// Making bitmap objects.
#pragma once

#include <memory>

#include "objects.h"

namespace winlayer::gdi {

// Whether a bitmap of this size may be made (positive sides, at most 1 GiB of pixels).
bool AcceptableBitmapSize(long long width, long long height);

// Enters a new bitmap over a surface; null when the table is full.
HBITMAP NewBitmap(std::unique_ptr<Surface> surface, WORD bitsPerPixel);

}  // namespace winlayer::gdi
