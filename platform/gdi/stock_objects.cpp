// The stock objects of GetStockObject, and the 1 x 1 bitmap a new memory
// context starts with: made once, never deleted.
#include <array>
#include <cstring>

#include "objects.h"

namespace winlayer::gdi {

LOGFONTA SystemFontDescription() {
  LOGFONTA lf{};
  lf.lfHeight = 16;
  lf.lfWeight = FW_BOLD;
  lf.lfCharSet = ANSI_CHARSET;
  lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  std::strcpy(lf.lfFaceName, "System");
  return lf;
}

namespace {

LOGFONTA GuiFontDescription() {
  LOGFONTA lf{};
  lf.lfHeight = -11;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::strcpy(lf.lfFaceName, "MS Shell Dlg");
  return lf;
}

LOGFONTA FixedFontDescription() {
  LOGFONTA lf{};
  lf.lfHeight = 16;
  lf.lfWeight = FW_NORMAL;
  lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  std::strcpy(lf.lfFaceName, "Courier New");
  return lf;
}

std::shared_ptr<Object> MakeStock(int index) {
  std::shared_ptr<Object> o;
  switch (index) {
    case WHITE_BRUSH: o = std::make_shared<Brush>(BS_SOLID, RGB(255, 255, 255)); break;
    case LTGRAY_BRUSH: o = std::make_shared<Brush>(BS_SOLID, RGB(192, 192, 192)); break;
    case GRAY_BRUSH: o = std::make_shared<Brush>(BS_SOLID, RGB(128, 128, 128)); break;
    case DKGRAY_BRUSH: o = std::make_shared<Brush>(BS_SOLID, RGB(64, 64, 64)); break;
    case BLACK_BRUSH: o = std::make_shared<Brush>(BS_SOLID, RGB(0, 0, 0)); break;
    case NULL_BRUSH: o = std::make_shared<Brush>(BS_NULL, RGB(0, 0, 0)); break;
    case WHITE_PEN: o = std::make_shared<Pen>(PS_SOLID, 0, RGB(255, 255, 255)); break;
    case BLACK_PEN: o = std::make_shared<Pen>(PS_SOLID, 0, RGB(0, 0, 0)); break;
    case NULL_PEN: o = std::make_shared<Pen>(PS_NULL, 0, RGB(0, 0, 0)); break;
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
    case ANSI_VAR_FONT: o = std::make_shared<Font>(SystemFontDescription()); break;
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT: o = std::make_shared<Font>(FixedFontDescription()); break;
    case DEFAULT_GUI_FONT: o = std::make_shared<Font>(GuiFontDescription()); break;
    default: return nullptr;
  }
  o->stock = true;
  AddObject(o);
  return o;
}

constexpr int kStockCount = DEFAULT_GUI_FONT + 1;

struct StockSet {
  std::array<std::shared_ptr<Object>, kStockCount> objects;
  std::shared_ptr<Bitmap> defaultBitmap;
  StockSet() {
    for (int i = 0; i < kStockCount; ++i) objects[static_cast<std::size_t>(i)] = MakeStock(i);
    defaultBitmap = std::make_shared<Bitmap>(Surface::Allocate(PixelFormat::Mono, 1, 1), 1);
    defaultBitmap->stock = true;
    AddObject(defaultBitmap);
  }
};

StockSet& Stock() {
  static StockSet* set = new StockSet;  // never destroyed: handles stay valid to the end
  return *set;
}

}  // namespace

std::shared_ptr<Object> StockObject(int index) {
  if (index < 0 || index >= kStockCount) return nullptr;
  return Stock().objects[static_cast<std::size_t>(index)];
}

std::shared_ptr<Bitmap> DefaultBitmap() { return Stock().defaultBitmap; }

}  // namespace winlayer::gdi
