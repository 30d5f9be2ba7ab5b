#include "screen.h"

namespace winlayer::gdi {

std::shared_ptr<Bitmap> ScreenBitmap() {
  static std::shared_ptr<Bitmap>* screen = [] {
    auto b = std::make_shared<Bitmap>(Surface::Allocate(PixelFormat::Color32, kDefaultScreenWidth, kDefaultScreenHeight), 32);
    b->stock = true;
    AddObject(b);
    return new std::shared_ptr<Bitmap>(b);
  }();
  return *screen;
}

}  // namespace winlayer::gdi
