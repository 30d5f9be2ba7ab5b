// Pixel transfer between drawing contexts with raster operations, and
// reading a bitmap's pixels. Presents (a plain copy from a memory bitmap to a
// window) are present_tracking.cpp's.
#include <algorithm>
#include <cstring>
#include <vector>

#include "objects.h"
#include "present_tracking.h"
#include "raster.h"
#include "transfer.h"

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
void ConvertRow(const Surface& src, int sx, int sy, int n, COLORREF srcBk, const DrawState& dstState, const Surface& dst,
                std::uint32_t* out) {
  if (src.Format() == PixelFormat::Color32) {
    const std::uint32_t* row = src.Row32(sy) + sx;
    if (dst.Format() == PixelFormat::Color32) {
      for (int i = 0; i < n; ++i) out[i] = row[i] & 0xFFFFFF;
    } else {
      const std::uint32_t bk = PixelFromColor(srcBk);
      for (int i = 0; i < n; ++i) out[i] = (row[i] & 0xFFFFFF) == bk ? 1 : 0;
    }
  } else if (dst.Format() == PixelFormat::Mono) {
    const std::uint8_t* row = src.Row8(sy) + sx;
    for (int i = 0; i < n; ++i) out[i] = row[i];
  } else {
    const std::uint8_t* row = src.Row8(sy) + sx;
    const std::uint32_t zero = dst.Encode(dstState.textColor), one = dst.Encode(dstState.bkColor);
    for (int i = 0; i < n; ++i) out[i] = row[i] ? one : zero;
  }
}

// The rows of `d` in turn. Each source row is read whole before its
// destination row is written, so a copy within one surface whose source
// lies above walks upwards, away from the overlap: every row is then read
// before the copy changes it.
template <typename Row>
void ForEachRowAwayFromOverlap(const Surface& dst, const Surface* src, const Rect& d, int sy, Row row) {
  const bool upwards = src == &dst && sy < d.top;
  for (int k = 0; k < d.Height(); ++k) row(upwards ? d.bottom - 1 - k : d.top + k);
}

// Copies whole rows at once where both surfaces share a layout.
bool FastCopy(const Surface& dst, const Surface& src, const Rect& d, int sx, int sy) {
  if (dst.Format() != PixelFormat::Color32 || src.Format() != PixelFormat::Color32) return false;
  const std::size_t rowBytes = static_cast<std::size_t>(d.Width()) * 4;
  if (&dst == &src) {
    ForEachRowAwayFromOverlap(dst, &src, d, sy, [&](int y) {
      std::memmove(dst.Row32(y) + d.left, src.Row32(sy + y - d.top) + sx, rowBytes);
    });
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

}  // namespace

namespace winlayer::gdi {

void Transfer(const DrawState& dstState, const Surface& dst, const Surface* source, COLORREF sourceBk, Rect d, int sx,
              int sy, std::uint8_t code) {
  const std::uint32_t mask = dst.Format() == PixelFormat::Color32 ? 0xFFFFFFu : 1u;
  const std::uint32_t pattern =
      dstState.brush->Visible() ? dst.Encode(dstState.brush->color) : dst.Encode(RGB(0, 0, 0));
  if (source && code == kCopy && FastCopy(dst, *source, d, sx, sy)) return;
  if (source && FastMask(dst, *source, d, sx, sy, code)) return;

  thread_local std::vector<std::uint32_t> row;  // one row of the source, kept between calls
  if (source && row.size() < static_cast<std::size_t>(d.Width())) row.resize(static_cast<std::size_t>(d.Width()));
  ForEachRowAwayFromOverlap(dst, source, d, sy, [&](int y) {
    if (source) ConvertRow(*source, sx, sy + y - d.top, d.Width(), sourceBk, dstState, dst, row.data());
    const std::uint32_t* src = source ? row.data() : nullptr;
    if (dst.Format() == PixelFormat::Color32)
      ApplyRow(code, dst.Row32(y) + d.left, src, pattern, d.Width(), mask);
    else
      ApplyRow(code, dst.Row8(y) + d.left, src, pattern, d.Width(), mask);
  });
}

}  // namespace winlayer::gdi

namespace {

// The recorded forms of the two transfers: a copy from a source, and a pattern.
void CopyPixels(const DrawState& state, const Surface& target, const Source& source, const Rect& d, int sx, int sy,
                std::uint8_t code) {
  Transfer(state, target, &source.Pixels(target), source.bkColor, d, sx, sy, code);
}

void FillPattern(const DrawState& state, const Surface& target, const Rect& d, std::uint8_t code) {
  Transfer(state, target, nullptr, 0, d, 0, 0, code);
}

// Whether a raster operation's result is the same whatever the destination held.
bool UsesDestination(std::uint8_t code) { return ((code >> 1) ^ code) & 0x55; }
Cover CoverOf(std::uint8_t code) { return UsesDestination(code) ? Cover::Partial : Cover::Opaque; }

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
  // The source as of this call: drawn up to date, and held still while a recorded copy waits.
  Source source;
  source.bkColor = src.bkColor;
  if (src.bitmap != dst.bitmap) {
    dcs.SettleSecond();
    source.bitmap = src.bitmap;
    source.version = src.bitmap->version.load(std::memory_order_relaxed);
  }
  const Cover cover = source.bitmap ? CoverOf(code) : Cover::WithinTarget;
  dcs.DrawFrom<CopyPixels>(source.bitmap, d, cover, source, d, static_cast<int>(sx), static_cast<int>(sy), code);
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
  if (!d.Empty()) dc.Draw<FillPattern>(d, CoverOf(code), d, code);
  return TRUE;
}

int WINAPI GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits, LPBITMAPINFO lpbmi, UINT usage) {
  auto bitmap = Find<Bitmap>(hbm);
  if (!bitmap || !lpbmi || usage != DIB_RGB_COLORS) return 0;
  LockedDC::SettleBitmap(*bitmap);
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
