// The screen that display contexts draw on when they belong to no window.
#pragma once

#include <memory>

#include "objects.h"

namespace winlayer::gdi {

constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

// The screen's surface, made on first use and never deleted.
std::shared_ptr<Bitmap> ScreenBitmap();

}  // namespace winlayer::gdi
