// The stock objects every context starts with, and the factory of contexts.
#pragma once

#include <windows.h>

#include <memory>

#include "objects.h"

namespace winlayer::gdi {

std::shared_ptr<Object> StockObject(int index);  // null for an unknown index
std::shared_ptr<Bitmap> DefaultBitmap();         // the 1 x 1 monochrome bitmap of a new memory context
LOGFONTA SystemFontDescription();

// A new drawing context with the state every context starts with, entered in
// the table. `bitmap` is the surface it draws on.
std::shared_ptr<DC> NewDC(Kind kind, std::shared_ptr<Bitmap> bitmap);
// A new context that draws on a window's client area.
std::shared_ptr<DC> NewWindowDC(std::shared_ptr<WindowSurface> surface);

// Takes a display surface out of the table when its window goes.
void RetireObject(const Object& object);

}  // namespace winlayer::gdi
