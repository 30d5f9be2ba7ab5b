// Drawing into the back buffer, and presenting it whole or piece by piece.
#include <algorithm>
#include <cstring>
#include <vector>

#include "state.h"

namespace Wimdows {

namespace {

// Copies a rectangle of the back buffer to the same place in the window.
void Show(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  HDC dc = GetDC(window.hwnd);
  BitBlt(dc, left, top, width, height, hDCBuf, left, top, SRCCOPY);
  ReleaseDC(window.hwnd, dc);
}

}  // namespace

void SetBuffering(bool state) {
  if (window.state != STATE_ACTIVE) return;
  if (buffering && !state) UpdateWindow();  // nothing drawn while buffering is lost
  buffering = state;
}

void UpdateWindow() {
  if (window.state != STATE_ACTIVE) return;
  Show(0, 0, static_cast<std::int32_t>(window.xlen), static_cast<std::int32_t>(window.ylen));
}

void Polygon(std::uint32_t n, runtime::View<const std::int32_t> x, runtime::View<const std::int32_t> y,
             std::uint32_t color, bool fill) {
  if (window.state != STATE_ACTIVE || n == 0) return;
  std::vector<POINT> points(n);
  std::int32_t xmin = x[0], xmax = x[0], ymin = y[0], ymax = y[0];
  for (std::uint32_t i = 0; i < n; ++i) {
    points[i] = {x[i], y[i]};
    xmin = std::min(xmin, x[i]);
    xmax = std::max(xmax, x[i]);
    ymin = std::min(ymin, y[i]);
    ymax = std::max(ymax, y[i]);
  }
  HPEN pen = CreatePen(PS_SOLID, 0, color);
  HBRUSH brush = fill ? CreateSolidBrush(color) : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  HGDIOBJ oldPen = SelectObject(hDCBuf, pen), oldBrush = SelectObject(hDCBuf, brush);
  SetPolyFillMode(hDCBuf, WINDING);
  ::Polygon(hDCBuf, points.data(), static_cast<int>(n));
  // Swapped out before they are released: selected objects can't be deleted.
  SelectObject(hDCBuf, oldPen);
  SelectObject(hDCBuf, oldBrush);
  DeleteObject(pen);
  if (fill) DeleteObject(brush);
  if (!buffering)
    Show(xmin, ymin, runtime::Add(runtime::Sub(xmax, xmin), 1), runtime::Add(runtime::Sub(ymax, ymin), 1));
}

void SetFont(std::uint32_t style, std::uint32_t color) { font = {style, color}; }

void WriteText(std::int32_t x, std::int32_t y, const char* text) {
  if (window.state != STATE_ACTIVE || !text) return;
  SetBkMode(hDCBuf, TRANSPARENT);
  SetTextColor(hDCBuf, font.color);
  RECT r{x, y, x, y};
  DrawTextA(hDCBuf, text, -1, &r, DT_NOCLIP | DT_CALCRECT);
  DrawTextA(hDCBuf, text, -1, &r, DT_NOCLIP);
  if (!buffering) Show(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

}  // namespace Wimdows
