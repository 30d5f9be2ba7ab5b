// FillRect, the window manager's own fill: a brush, or a system colour in
// place of one, over a rectangle of any drawing context.
#include <windows.h>

#include "../gdi/objects.h"
#include "../gdi/raster.h"
#include "system_colors.h"

namespace {

using namespace winlayer;

// A brush handle, or a system colour index plus one in its place.
bool BrushColor(HBRUSH hbr, COLORREF* color) {
  const auto value = reinterpret_cast<std::uintptr_t>(hbr);
  if (value > 0 && value < user::kSystemColorBrushLimit) {
    *color = user::SystemColor(static_cast<int>(value) - 1);
    return true;
  }
  auto brush = gdi::Find<gdi::Brush>(hbr);
  if (!brush || !brush->Visible()) return false;
  *color = brush->color;
  return true;
}

void FillColor(const gdi::DrawState&, const gdi::Surface& target, const gdi::Rect& r, COLORREF color) {
  gdi::raster::FillRect(target, target.Bounds(), r, target.Encode(color));
}

}  // namespace

extern "C" int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  COLORREF color;
  if (!lprc || !BrushColor(hbr, &color)) return 0;
  gdi::LockedDC dc(hDC);
  if (!dc) return 0;
  const gdi::Rect r{lprc->left, lprc->top, lprc->right, lprc->bottom};
  dc.Draw<FillColor>(r, gdi::Cover::Opaque, r, color);
  return 1;
}
