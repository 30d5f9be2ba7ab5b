// The screen that display contexts draw on when they belong to no window.
#pragma once

#include <winlayer/display.h>

#include <memory>

#include "objects.h"

namespace winlayer::gdi {

// The screen's surface (kDefaultScreenWidth x kDefaultScreenHeight), made on
// first use and never deleted.
std::shared_ptr<Bitmap> ScreenBitmap();

}  // namespace winlayer::gdi
