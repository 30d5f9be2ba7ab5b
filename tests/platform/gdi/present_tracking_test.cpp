// Presents that copy only what changed: after any sequence of drawing into
// two back buffers, presents of either with various rectangles, drawing
// straight onto the window and the window's own erase, each present leaves
// the window exactly as a full copy would.
#include <gtest/gtest.h>
#include <winlayer/headless.h>

#include <cstdint>
#include <string>

#include "memory_bitmap.h"
#include "random_calls.h"
#include "window_thread.h"

namespace {

namespace headless = winlayer::headless;
using testing_support::Random;
using testing_support::WindowSpec;
using testing_support::WindowThread;

using BackBuffer = testing_support::MemoryBitmap;

// One random drawing call into a context: the kinds of call a frame makes.
void DrawSomething(HDC dc, Random& r, int w, int h) {
  HBRUSH brush = CreateSolidBrush(r.Colour());
  HPEN pen = CreatePen(PS_SOLID, 1, r.Colour());
  HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
  const int x = r.Below(w + 20) - 10, y = r.Below(h + 20) - 10;
  switch (r.Below(7)) {
    case 0: {
      const POINT corners[3] = {{x, y}, {x + r.Below(30) - 15, y + r.Below(30)}, {x - r.Below(20), y + r.Below(20)}};
      Polygon(dc, corners, 3);
      break;
    }
    case 1:
      MoveToEx(dc, x, y, nullptr);
      LineTo(dc, r.Below(w), r.Below(h));
      break;
    case 2: {
      const RECT area{x, y, x + r.Below(25), y + r.Below(25)};
      FillRect(dc, &area, brush);
      break;
    }
    case 3:
      SetPixel(dc, r.Below(w), r.Below(h), r.Colour());
      break;
    case 4:
      SetTextColor(dc, r.Colour());
      SetBkMode(dc, r.Below(2) ? TRANSPARENT : OPAQUE);
      TextOutA(dc, x, y, "Wg", 2);
      break;
    case 5:
      PatBlt(dc, x, y, r.Below(20), r.Below(20), r.Below(2) ? PATCOPY : DSTINVERT);
      break;
    default:
      Rectangle(dc, x, y, x + r.Below(20), y + r.Below(20));
  }
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}

TEST(PresentCopyTest, EveryPresentLeavesTheWindowAsAFullCopyWould) {
  WindowSpec spec;
  spec.width = 90 + GetSystemMetrics(SM_CXFIXEDFRAME) * 2;
  WindowThread window(spec);
  HWND hwnd = window.hwnd();
  RECT client{};
  GetClientRect(hwnd, &client);
  const int w = client.right, h = client.bottom;
  // The window's first paint (its erase) now, not in the middle of the presents.
  UpdateWindow(hwnd);
  HDC windowDC = GetDC(hwnd);
  BackBuffer a(w, h), b(w, h);
  Random r(2024);
  int presents = 0;
  for (int step = 0; step < 3000; ++step) {
    const int what = r.Below(20);
    if (what < 9) {
      DrawSomething(r.Below(3) ? a.dc() : b.dc(), r, w, h);
      continue;
    }
    if (what == 9) {  // drawn straight onto the window
      DrawSomething(windowDC, r, w, h);
      continue;
    }
    if (what == 10) {  // the window erases itself, before UpdateWindow returns
      InvalidateRect(hwnd, nullptr, TRUE);
      UpdateWindow(hwnd);
      continue;
    }
    // A present: mostly the whole of `a` as a frame loop does, sometimes
    // another bitmap, rectangle, source corner or raster operation.
    const BackBuffer& source = what < 17 ? a : b;
    int x = 0, y = 0, cx = w, cy = h, sx = 0, sy = 0;
    DWORD rop = SRCCOPY;
    if (what == 18) {
      x = r.Below(20) - 5, y = r.Below(20) - 5, cx = r.Below(w), cy = r.Below(h), sx = r.Below(20), sy = r.Below(20);
    }
    if (what == 19) rop = r.Below(2) ? SRCINVERT : SRCAND;
    const headless::Frame before = headless::ClientPixels(hwnd);
    ASSERT_TRUE(BitBlt(windowDC, x, y, cx, cy, source.dc(), sx, sy, rop));
    ++presents;
    const headless::Frame after = headless::ClientPixels(hwnd);
    ASSERT_EQ(after.width, w);
    for (int py = 0; py < h; ++py)
      for (int px = 0; px < w; ++px) {
        const int fx = px - x + sx, fy = py - y + sy;  // the source pixel a full copy puts here
        const bool copied = px >= x && px < x + cx && py >= y && py < y + cy && fx >= 0 && fy >= 0 && fx < w && fy < h;
        COLORREF want = before.At(px, py);
        if (copied) {
          const COLORREF s = GetPixel(source.dc(), fx, fy);
          want = rop == SRCCOPY ? s : rop == SRCAND ? (want & s) : (want ^ s);
        }
        ASSERT_EQ(after.At(px, py), want) << "step " << step << " (present " << presents << ") at " << px << "," << py;
      }
  }
  ReleaseDC(hwnd, windowDC);
}

}  // namespace
