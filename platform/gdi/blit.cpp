// Pixel transfer between drawing contexts with raster operations, and
// reading a bitmap's pixels.
#include <algorithm>
#include <cstring>
#include <vector>

#include "objects.h"
#include "raster.h"

using namespace winlayer::gdi;

namespace {

constexpr std::uint8_t kCopy = 0xCC, kAnd = 0x88, kPaint = 0xEE, kInvert = 0x66;

bool UsesSource(std::uint8_t code) { return ((code >> 2) ^ code) & 0x33; }

// Any of the 256 ternary operations, bit by bit: each set bit of the code
// names one combination of pattern, source and destination bits.
std::uint32_t Ternary(std::uint8_t code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  std::uint32_t r = 0;
  for (int i = 0; i < 8; ++i)
    if (code & (1 << i)) r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  return r;
}

template <typename Pixel>
void ApplyRow(std::uint8_t code, Pixel* dst, const std::uint32_t* src, std::uint32_t pattern, int n,
              std::uint32_t mask) {
  switch (code) {
    case kCopy: for (int i = 0; i < n; ++i) dst[i] = static_cast<Pixel>(src[i]); return;
    case kAnd: for (int i = 0; i < n; ++i) dst[i] = static_cast<Pixel>(dst[i] & src[i]); return;
    case kPaint: for (int i = 0; i < n; ++i) dst[i] = static_cast<Pixel>(dst[i] | src[i]); return;
    case kInvert: for (int i = 0; i < n; ++i) dst[i] = static_cast<Pixel>((dst[i] ^ src[i]) & mask); return;
    default:
      for (int i = 0; i < n; ++i) dst[i] = static_cast<Pixel>(Ternary(code, pattern, src ? src[i] : 0, dst[i]) & mask);
  }
}

// One row of the source in the destination's encoding: a monochrome source
// becomes the destination's text colour (0) and background colour (1); a
// colour source becomes white (1) where it equals its own background colour;
// monochrome to monochrome copies the bits.
void ConvertRow(const Surface& src, int sx, int sy, int n, const DC& srcDC, const DC& dstDC, std::uint32_t* out) {
  const Surface& dst = dstDC.Target();
  if (src.Format() == PixelFormat::Color32) {
    const std::uint32_t* row = src.Row32(sy) + sx;
    if (dst.Format() == PixelFormat::Color32) {
      for (int i = 0; i < n; ++i) out[i] = row[i] & 0xFFFFFF;
    } else {
      const std::uint32_t bk = PixelFromColor(srcDC.bkColor);
      for (int i = 0; i < n; ++i) out[i] = (row[i] & 0xFFFFFF) == bk ? 1 : 0;
    }
  } else if (dst.Format() == PixelFormat::Mono) {
    const std::uint8_t* row = src.Row8(sy) + sx;
    for (int i = 0; i < n; ++i) out[i] = row[i];
  } else {
    const std::uint8_t* row = src.Row8(sy) + sx;
    const std::uint32_t zero = dst.Encode(dstDC.textColor), one = dst.Encode(dstDC.bkColor);
    for (int i = 0; i < n; ++i) out[i] = row[i] ? one : zero;
  }
}

// Copies whole rows at once where both surfaces share a layout.
bool FastCopy(const Surface& dst, const Surface& src, const Rect& d, int sx, int sy) {
  if (dst.Format() != PixelFormat::Color32 || src.Format() != PixelFormat::Color32) return false;
  const std::size_t rowBytes = static_cast<std::size_t>(d.Width()) * 4;
  if (&dst == &src) {
    // Overlapping rows within one surface: walk away from the overlap.
    if (sy < d.top)
      for (int y = d.bottom - 1; y >= d.top; --y) std::memmove(dst.Row32(y) + d.left, src.Row32(sy + y - d.top) + sx, rowBytes);
    else
      for (int y = d.top; y < d.bottom; ++y) std::memmove(dst.Row32(y) + d.left, src.Row32(sy + y - d.top) + sx, rowBytes);
    return true;
  }
  const bool wholeRows = d.left == 0 && sx == 0 && d.Width() == dst.Width() && d.Width() == src.Width();
  if (wholeRows && dst.Pitch() == src.Pitch() && dst.Pitch() == static_cast<std::ptrdiff_t>(rowBytes)) {
    std::memcpy(dst.Row32(d.top), src.Row32(sy), rowBytes * static_cast<std::size_t>(d.Height()));
    return true;
  }
  for (int y = d.top; y < d.bottom; ++y) std::memcpy(dst.Row32(y) + d.left, src.Row32(sy + y - d.top) + sx, rowBytes);
  return true;
}

// out[i] = op(out[i], in[i] & 0xFFFFFF), four pixels at a time (the
// compiler's vector extension: one 128-bit operation where the machine has it).
template <typename Op>
void CombineRow(std::uint32_t* out, const std::uint32_t* in, int n, Op op) {
  using Four = std::uint32_t __attribute__((vector_size(16)));
  const Four colourBits = {0xFFFFFFu, 0xFFFFFFu, 0xFFFFFFu, 0xFFFFFFu};
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    Four a, b;
    std::memcpy(&a, out + i, sizeof a);
    std::memcpy(&b, in + i, sizeof b);
    a = op(a, b & colourBits);
    std::memcpy(out + i, &a, sizeof a);
  }
  for (; i < n; ++i) out[i] = op(out[i], in[i] & 0xFFFFFFu);
}

// A mask and its picture (AND, then OR) between two colour surfaces, as the
// programs draw every masked bitmap of every frame: straight from row to row,
// each source pixel taken as the general rule takes it (its colour bits).
bool FastMask(const Surface& dst, const Surface& src, const Rect& d, int sx, int sy, std::uint8_t code) {
  if ((code != kAnd && code != kPaint) || &dst == &src || dst.Format() != PixelFormat::Color32 ||
      src.Format() != PixelFormat::Color32)
    return false;
  const int n = d.Width();
  for (int y = d.top; y < d.bottom; ++y) {
    std::uint32_t* out = dst.Row32(y) + d.left;
    const std::uint32_t* in = src.Row32(sy + y - d.top) + sx;
    if (code == kAnd)
      CombineRow(out, in, n, [](auto a, auto b) { return a & b; });
    else
      CombineRow(out, in, n, [](auto a, auto b) { return a | b; });
  }
  return true;
}

void Transfer(const DC& dstDC, const DC* srcDC, Rect d, int sx, int sy, std::uint8_t code) {
  const Surface& dst = dstDC.Target();
  const std::uint32_t mask = dst.Format() == PixelFormat::Color32 ? 0xFFFFFFu : 1u;
  const std::uint32_t pattern =
      dstDC.brush->Visible() ? dst.Encode(dstDC.brush->color) : dst.Encode(RGB(0, 0, 0));
  if (srcDC && code == kCopy && FastCopy(dst, srcDC->Target(), d, sx, sy)) return;
  if (srcDC && FastMask(dst, srcDC->Target(), d, sx, sy, code)) return;

  // Each source row is read whole before its destination row is written, so
  // within one surface it is enough to walk the rows away from the overlap:
  // every row is then read before the call changes it.
  const bool upwards = srcDC && &srcDC->Target() == &dst && sy < d.top;
  thread_local std::vector<std::uint32_t> row;  // one row of the source, kept between calls
  if (srcDC && row.size() < static_cast<std::size_t>(d.Width())) row.resize(static_cast<std::size_t>(d.Width()));
  for (int k = 0; k < d.Height(); ++k) {
    const int y = upwards ? d.bottom - 1 - k : d.top + k;
    if (srcDC) ConvertRow(srcDC->Target(), sx, sy + y - d.top, d.Width(), *srcDC, dstDC, row.data());
    const std::uint32_t* src = srcDC ? row.data() : nullptr;
    if (dst.Format() == PixelFormat::Color32)
      ApplyRow(code, dst.Row32(y) + d.left, src, pattern, d.Width(), mask);
    else
      ApplyRow(code, dst.Row8(y) + d.left, src, pattern, d.Width(), mask);
  }
}

// The destination rectangle of a transfer after clipping to the destination
// and, when there is one, to the source; the source origin moves with it.
Rect ClipTransfer(const Rect& dstBounds, const Rect* srcBounds, long long x, long long y, long long cx,
                  long long cy, long long* sx, long long* sy) {
  long long left = std::max<long long>(x, dstBounds.left), top = std::max<long long>(y, dstBounds.top);
  long long right = std::min<long long>(x + cx, dstBounds.right), bottom = std::min<long long>(y + cy, dstBounds.bottom);
  if (srcBounds) {
    const long long dx = *sx - x, dy = *sy - y;  // source = destination + (dx, dy)
    left = std::max(left, srcBounds->left - dx);
    top = std::max(top, srcBounds->top - dy);
    right = std::min(right, srcBounds->right - dx);
    bottom = std::min(bottom, srcBounds->bottom - dy);
    *sx = left + dx;
    *sy = top + dy;
  }
  if (left >= right || top >= bottom) return {};
  return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom)};
}

// Whether two rows of pixels are equal. The browser's C library compares
// byte by byte; eight bytes at a time there is several times faster, where
// the C library of a desktop is faster still.
bool RowsEqual(const std::uint32_t* a, const std::uint32_t* b, int pixels) {
#if defined(__EMSCRIPTEN__)
  int i = 0;
  for (; i + 2 <= pixels; i += 2) {
    std::uint64_t x, y;
    std::memcpy(&x, a + i, 8);
    std::memcpy(&y, b + i, 8);
    if (x != y) return false;
  }
  return i == pixels || a[i] == b[i];
#else
  return std::memcmp(a, b, static_cast<std::size_t>(pixels) * 4) == 0;
#endif
}

// Copies the rows of `d` that differ from the source's, and returns the
// rows it copied. A frame loop redraws every pixel of its back buffer, most
// of them as they were: comparing costs less than copying, and the display
// then shows again only what really changed.
Rect CopyDifferingRows(const Surface& dst, const Surface& src, const Rect& d, int sx, int sy) {
  int first = d.bottom, last = d.top - 1;
  const std::size_t rowBytes = static_cast<std::size_t>(d.Width()) * 4;
  for (int y = d.top; y < d.bottom; ++y) {
    std::uint32_t* to = dst.Row32(y) + d.left;
    const std::uint32_t* from = src.Row32(sy + y - d.top) + sx;
    if (RowsEqual(to, from, d.Width())) continue;
    std::memcpy(to, from, rowBytes);
    first = std::min(first, y);
    last = y;
  }
  return first <= last ? Rect{d.left, first, d.right, last + 1} : Rect{};
}

// A present: a plain copy from a memory bitmap onto a window. The window
// remembers it; the next one from the same bitmap with the same rectangle and
// source corner copies only what changed in the bitmap since, provided this
// window took the bitmap's changes last and nothing else wrote into the
// window in between (LockedDC::Drawn forgets the present then). The window's
// pixels are then what a full copy would give. A section's pixels change
// without a drawing call, so a present from one is always full.
bool IsTrackablePresent(const DC& dst, const DC& src, std::uint8_t code) {
  return code == kCopy && dst.windowSurface && !src.windowSurface && !src.bitmap->section &&
         src.Target().Format() == PixelFormat::Color32 && dst.Target().Format() == PixelFormat::Color32;
}

// Presents that copy without comparing rows, once most rows of one differed.
constexpr int kPlainCopiesAfterBusyFrame = 15;

void Present(LockedDC& dcs, const Rect& d, int sx, int sy) {
  DC& dst = *dcs;
  DC& src = dcs.Second();
  WindowSurface& window = *dst.windowSurface;
  Bitmap& bitmap = *src.bitmap;
  const TrackedPresent now{bitmap.serial, d, sx, sy};
  const TrackedPresent& last = window.lastPresent;
  Rect copy = d;
  if (last.bitmap == now.bitmap && bitmap.changesTakenBy == window.serial && last.target == d && last.sourceX == sx &&
      last.sourceY == sy) {
    const Rect changed = bitmap.changed;  // in the bitmap; the copy moves it by (d.left - sx, d.top - sy)
    copy = raster::Intersect(d, {changed.left + d.left - sx, changed.top + d.top - sy, changed.right + d.left - sx,
                                 changed.bottom + d.top - sy});
  }
  // While most rows change from frame to frame (a camera in flight), comparing
  // them costs more than it saves: copy outright, and try again later.
  Rect shown = copy;
  if (window.plainCopiesLeft > 0) {
    --window.plainCopiesLeft;
    if (!copy.Empty()) Transfer(dst, &src, copy, sx + copy.left - d.left, sy + copy.top - d.top, kCopy);
  } else {
    shown = CopyDifferingRows(dst.Target(), src.Target(), copy, sx + copy.left - d.left, sy + copy.top - d.top);
    if (shown.Height() * 2 > copy.Height()) window.plainCopiesLeft = kPlainCopiesAfterBusyFrame;
  }
  dcs.Drawn(shown);  // a present even when nothing changed: the frame is paced and shown
  window.lastPresent = now;
  bitmap.changed = {};
  bitmap.changesTakenBy = window.serial;
}

}  // namespace

extern "C" {

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
  const auto code = static_cast<std::uint8_t>(rop >> 16);
  if (!UsesSource(code)) return PatBlt(hdc, x, y, cx, cy, rop);
  if (cx < 0 || cy < 0) return FALSE;

  LockedDC dcs(hdc, hdcSrc);
  if (!dcs) return FALSE;
  DC& dst = *dcs;
  DC& src = dcs.Second();
  long long sx = x1, sy = y1;
  const Rect srcBounds = src.Clip();
  const Rect d = ClipTransfer(dst.Clip(), &srcBounds, x, y, cx, cy, &sx, &sy);
  if (d.Empty()) return TRUE;
  if (IsTrackablePresent(dst, src, code)) {
    Present(dcs, d, static_cast<int>(sx), static_cast<int>(sy));
    return TRUE;
  }
  Transfer(dst, &src, d, static_cast<int>(sx), static_cast<int>(sy), code);
  dcs.Drawn(d);
  return TRUE;
}

BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  const auto code = static_cast<std::uint8_t>(rop >> 16);
  if (UsesSource(code)) return FALSE;
  LockedDC dc(hdc);
  if (!dc) return FALSE;
  // A negative extent counts from the other side, as with a rectangle.
  long long left = x, top = y, cx = w, cy = h;
  if (cx < 0) { left += cx; cx = -cx; }
  if (cy < 0) { top += cy; cy = -cy; }
  const Rect d = ClipTransfer(dc->Clip(), nullptr, left, top, cx, cy, nullptr, nullptr);
  if (!d.Empty()) {
    Transfer(*dc, nullptr, d, 0, 0, code);
    dc.Drawn(d);
  }
  return TRUE;
}

int WINAPI GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits, LPBITMAPINFO lpbmi, UINT usage) {
  auto bitmap = Find<Bitmap>(hbm);
  if (!bitmap || !lpbmi || usage != DIB_RGB_COLORS) return 0;
  // The pixels are read under the context's locks (and a window's surface
  // lock), which every call drawing on that context's bitmap takes too.
  LockedDC dc(hdc);
  if (!dc) return 0;
  const Surface& s = *bitmap->surface;
  BITMAPINFOHEADER& h = lpbmi->bmiHeader;
  if (!lpvBits) {
    h.biWidth = s.Width();
    h.biHeight = s.Height();
    h.biPlanes = 1;
    h.biBitCount = bitmap->bitsPerPixel;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(((s.Width() * bitmap->bitsPerPixel + 31) / 32) * 4 * s.Height());
    return s.Height();
  }
  if (h.biBitCount != 32 || h.biCompression != BI_RGB || h.biWidth != s.Width()) return 0;
  const bool topDown = h.biHeight < 0;
  const long long lines = std::min<long long>(cLines, std::max<long long>(0, s.Height() - static_cast<long long>(start)));
  auto* out = static_cast<std::uint32_t*>(lpvBits);
  for (long long i = 0; i < lines; ++i) {
    // Line i of the caller's buffer is counted from the top or from the bottom.
    const long long line = static_cast<long long>(start) + i;
    const int y = static_cast<int>(topDown ? line : s.Height() - 1 - line);
    std::uint32_t* dst = out + i * s.Width();
    for (int x = 0; x < s.Width(); ++x) dst[x] = PixelFromColor(s.Read(x, y));
  }
  return static_cast<int>(lines);
}

}  // extern "C"
