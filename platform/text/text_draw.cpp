// Text operations: drawing, layout, measuring and font metrics.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "../gdi/objects.h"
#include "../gdi/raster.h"
#include "realized_font.h"

using namespace winlayer;
using namespace winlayer::gdi;
using winlayer::text::Glyph;
using winlayer::text::RealizedFont;

namespace {

// One character of a laid-out line.
struct Placed {
  unsigned char c;
  bool underlined;  // marked by a preceding '&'
  bool operator==(const Placed&) const = default;
};

struct Line {
  std::vector<Placed> chars;
  long long width = 0;
  bool operator==(const Line&) const = default;
};

// Positions are worked out in 64 bits, so text anywhere in the 32-bit plane
// clips like any shape; what is stored in a caller's RECT or SIZE is held to
// the 32-bit range.
LONG Held(long long v) { return static_cast<LONG>(std::clamp<long long>(v, INT32_MIN, INT32_MAX)); }

// A box in 64-bit coordinates, clipped; empty when nothing of it is inside.
Rect ClipBox(long long left, long long top, long long right, long long bottom, const Rect& clip) {
  left = std::max<long long>(left, clip.left);
  top = std::max<long long>(top, clip.top);
  right = std::min<long long>(right, clip.right);
  bottom = std::min<long long>(bottom, clip.bottom);
  if (left >= right || top >= bottom) return {};
  return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom)};
}

std::string_view TextOf(LPCSTR s, int count) {
  if (!s) return {};
  return count < 0 ? std::string_view(s) : std::string_view(s, static_cast<std::size_t>(count));
}

long long Advance(const RealizedFont& font, std::string_view s) {
  long long width = 0;
  for (unsigned char c : s) width += font.Advance(c);
  return width;
}

// Splits a text into lines at CR, LF and CR LF (unless single-line), and
// applies the '&' rule: an '&' is not drawn and underlines the next
// character, "&&" draws one '&'.
std::vector<Line> Layout(RealizedFont& font, std::string_view s, UINT format) {
  std::vector<Line> lines(1);
  const bool prefix = !(format & DT_NOPREFIX);
  const bool single = format & DT_SINGLELINE;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (!single && (c == '\r' || c == '\n')) {
      if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
      lines.emplace_back();
      continue;
    }
    bool underlined = false;
    if (prefix && c == '&') {
      if (i + 1 >= s.size()) break;
      ++i;
      underlined = s[i] != '&';
      if (!single && (s[i] == '\r' || s[i] == '\n')) { --i; continue; }
    }
    const auto uc = static_cast<unsigned char>(s[i]);
    lines.back().chars.push_back({uc, underlined});
    lines.back().width += font.Advance(uc);
  }
  return lines;
}

// A coverage value a between 1 and 254 mixes the colour c into the pixel d,
// each channel d + (c - d) * a / 255, rounded as the division of
// ((c - d) * a + 127) by 255 truncates. Without a division: q = x / 255 is
// (x + 1 + (x >> 8)) >> 8 for every x up to 65152, so with x = (c - d) * a + 127
// where c >= d, and x = max((d - c) * a - 127, 0) where c < d, the channel is
// d + q or d - q (checked for every c, d and a).
inline unsigned BlendChannel(unsigned c, unsigned d, unsigned a) {
  if (c >= d) {
    const unsigned x = (c - d) * a + 127;
    return d + ((x + 1 + (x >> 8)) >> 8);
  }
  const unsigned m = (d - c) * a;
  const unsigned x = m > 127 ? m - 127 : 0;
  return d - ((x + 1 + (x >> 8)) >> 8);
}

inline std::uint32_t Blend(std::uint32_t d, unsigned r, unsigned g, unsigned b, unsigned a) {
  return (BlendChannel(r, (d >> 16) & 0xFF, a) << 16) | (BlendChannel(g, (d >> 8) & 0xFF, a) << 8) |
         BlendChannel(b, d & 0xFF, a);
}

// One row of a glyph onto a colour row: covered pixels take the colour,
// partly covered ones a blend, uncovered ones stay as they are.
void BlendRow(std::uint32_t* row, const std::uint8_t* cov, int n, std::uint32_t solid, unsigned r, unsigned g,
              unsigned b) {
  int i = 0;
#if defined(__SSE2__)
  // Four pixels at a time in 16-bit lanes, by the same arithmetic.
  const __m128i zero = _mm_setzero_si128();
  const __m128i colour = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(solid)), zero);
  const __m128i c127 = _mm_set1_epi16(127), one = _mm_set1_epi16(1);
  const __m128i rgbMask = _mm_set1_epi32(0xFFFFFF);
  const auto blendPair = [&](__m128i d, __m128i a) {  // two pixels, alpha per channel lane
    const __m128i up = _mm_cmpgt_epi16(colour, d);
    const __m128i diff = _mm_sub_epi16(_mm_max_epi16(colour, d), _mm_min_epi16(colour, d));
    const __m128i m = _mm_mullo_epi16(diff, a);
    const __m128i x = _mm_or_si128(_mm_and_si128(up, _mm_add_epi16(m, c127)), _mm_andnot_si128(up, _mm_subs_epu16(m, c127)));
    const __m128i q = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, one), _mm_srli_epi16(x, 8)), 8);
    return _mm_or_si128(_mm_and_si128(up, _mm_add_epi16(d, q)), _mm_andnot_si128(up, _mm_sub_epi16(d, q)));
  };
  for (; i + 4 <= n; i += 4) {
    std::uint32_t coverage;
    std::memcpy(&coverage, cov + i, 4);
    if (coverage == 0) continue;
    if (coverage == 0xFFFFFFFFu) {  // the inside of a large glyph
      _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), _mm_set1_epi32(static_cast<int>(solid)));
      continue;
    }
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
    // Each pixel's coverage in all four of its lanes.
    __m128i a = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(coverage)), zero);  // a0 a1 a2 a3 (16-bit)
    a = _mm_unpacklo_epi16(a, a);                                                           // a0 a0 a1 a1 a2 a2 a3 a3
    const __m128i aLow = _mm_unpacklo_epi32(a, a), aHigh = _mm_unpackhi_epi32(a, a);
    const __m128i blended = _mm_and_si128(
        _mm_packus_epi16(blendPair(_mm_unpacklo_epi8(pixels, zero), aLow), blendPair(_mm_unpackhi_epi8(pixels, zero), aHigh)),
        rgbMask);
    // Uncovered pixels keep what they hold, fully covered ones take the colour exactly.
    const __m128i a32 = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(coverage)), zero), zero);
    const __m128i none = _mm_cmpeq_epi32(a32, zero), full = _mm_cmpeq_epi32(a32, _mm_set1_epi32(255));
    __m128i out = _mm_or_si128(_mm_and_si128(full, _mm_set1_epi32(static_cast<int>(solid))), _mm_andnot_si128(full, blended));
    out = _mm_or_si128(_mm_and_si128(none, pixels), _mm_andnot_si128(none, out));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), out);
  }
#endif
  for (; i < n; ++i) {
    const unsigned a = cov[i];
    if (a == 0) continue;
    row[i] = a == 255 ? solid : Blend(row[i], r, g, b, a);
  }
}

void BlendGlyph(const Surface& target, const Rect& clip, const Glyph& g, long long x, long long y, COLORREF color,
                bool hard) {
  const long long left = x + g.left, top = y - g.top;
  const Rect box = ClipBox(left, top, left + g.width, top + g.rows, clip);
  if (box.Empty()) return;
  const int x0 = box.left, x1 = box.right, y0 = box.top, y1 = box.bottom;
  const std::uint32_t solid = target.Encode(color);
  const auto coverageRow = [&](int py) {
    return g.coverage.data() + static_cast<std::size_t>(py - top) * static_cast<std::size_t>(g.width) - left;
  };
  // Hard pixels and monochrome targets take the colour where a pixel is at least half covered.
  if (hard || target.Format() == PixelFormat::Mono) {
    for (const Glyph::Run& run : g.halfCovered) {
      const long long py = top + run.row;
      if (py < y0 || py >= y1) continue;
      const int from = static_cast<int>(std::max<long long>(left + run.begin, x0));
      const int to = static_cast<int>(std::min<long long>(left + run.end, x1));
      if (from >= to) continue;
      if (target.Format() == PixelFormat::Color32 && to - from < 16)  // a call would cost more than a few writes
        for (std::uint32_t *p = target.Row32(static_cast<int>(py)) + from, *end = p + (to - from); p < end; ++p) *p = solid;
      else
        target.FillSpan(static_cast<int>(py), from, to, solid);
    }
    return;
  }
  const unsigned r = GetRValue(color), gr = GetGValue(color), b = GetBValue(color);
  for (int py = y0; py < y1; ++py) BlendRow(target.Row32(py) + x0, coverageRow(py) + x0, x1 - x0, solid, r, gr, b);
}

// How far a glyph may stand out of its cell, on any side: its bitmap may
// reach beyond the advance and the ascent and descent, never by a whole cell
// and the widest advance.
long long Overhang(const text::CellMetrics& m) { return m.height + m.maximumWidth; }

void Fill(const Surface& target, const Rect& box, std::uint32_t encoded) {
  if (!box.Empty()) raster::FillRect(target, box, box, encoded);
}

// Draws one line with its top-left corner at (x, y). Only the characters
// whose glyphs may reach the clip rectangle are rendered.
// A font as a recorded call keeps it: fonts made alike draw alike.
struct FontUsed {
  std::shared_ptr<RealizedFont> font;
  bool operator==(const FontUsed& o) const {
    return font == o.font || SameFontDescription(font->Description(), o.font->Description());
  }
};

void DrawLine(const DrawState& dc, const Surface& target, const FontUsed& used, const Line& line, long long x, long long y,
              const Rect& clip) {
  RealizedFont& font = *used.font;
  const text::CellMetrics& m = font.Metrics();
  const std::uint32_t ink = target.Encode(dc.textColor);
  const long long end = x + line.width;
  if (dc.bkMode == OPAQUE) Fill(target, ClipBox(x, y, end, y + m.height, clip), target.Encode(dc.bkColor));
  const long long baseline = y + m.ascent;
  const long long underlineTop = baseline + m.underlineOffset - m.underlineThickness / 2;
  const long long underlineBottom = underlineTop + m.underlineThickness;
  const long long overhang = Overhang(m);
  if (y + m.height + overhang > clip.top && y - overhang < clip.bottom) {
    long long penX = x;
    for (const Placed& p : line.chars) {
      if (penX - overhang >= clip.right) break;
      const int advance = font.Advance(p.c);
      if (penX + advance + overhang > clip.left) {
        BlendGlyph(target, clip, font.GlyphFor(p.c), penX, baseline, dc.textColor, font.HardPixels());
        if (p.underlined) Fill(target, ClipBox(penX, underlineTop, penX + advance, underlineBottom, clip), ink);
      }
      penX += advance;
    }
  }
  const LOGFONTA& d = font.Description();
  if (d.lfUnderline) Fill(target, ClipBox(x, underlineTop, end, underlineBottom, clip), ink);
  if (d.lfStrikeOut) {
    const long long top = baseline - m.strikeoutOffset;
    Fill(target, ClipBox(x, top, end, top + m.strikeoutThickness, clip), ink);
  }
}

// The pixels that drawing a line at (x, y) may touch: its cell, with room for
// glyphs standing out of it, within the clip rectangle.
Rect LineBox(RealizedFont& font, const Line& line, long long x, long long y, const Rect& clip) {
  const long long overhang = Overhang(font.Metrics());
  return ClipBox(x - overhang, y - overhang, x + line.width + overhang, y + font.Metrics().height + overhang, clip);
}

std::shared_ptr<RealizedFont> FontOf(const DC& dc) { return dc.font->Realized(); }

}  // namespace

extern "C" {

int WINAPI DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format) {
  LockedDC dc(hdc);
  if (!dc || !lprc) return 0;
  const std::string_view s = TextOf(lpchText, cchText);
  if (s.empty()) return 0;
  auto font = FontOf(*dc);
  if (!font) return 0;

  const std::vector<Line> lines = Layout(*font, s, format);
  const long long lineHeight =
      font->Metrics().height + ((format & DT_EXTERNALLEADING) ? font->Metrics().externalLeading : 0);
  const long long total = lineHeight * static_cast<long long>(lines.size());
  long long widest = 0;
  for (const Line& l : lines) widest = std::max(widest, l.width);
  const long long left = lprc->left, right = lprc->right, rectTop = lprc->top, rectBottom = lprc->bottom;

  if (format & DT_CALCRECT) {
    lprc->right = Held(left + widest);
    lprc->bottom = Held(rectTop + total);
    return static_cast<int>(std::min<long long>(total, INT32_MAX));
  }

  long long top = rectTop;
  if (format & DT_SINGLELINE) {
    if (format & DT_BOTTOM) top = rectBottom - total;
    else if (format & DT_VCENTER) top = rectTop + (rectBottom - rectTop - total) / 2;
  }
  Rect clip = dc->Clip();
  if (!(format & DT_NOCLIP)) clip = raster::Intersect(clip, {lprc->left, lprc->top, lprc->right, lprc->bottom});

  long long y = top;
  for (const Line& line : lines) {
    if (y - Overhang(font->Metrics()) >= clip.bottom) break;  // neither this line nor any below shows
    long long x = left;
    if (format & DT_RIGHT) x = right - line.width;
    else if (format & DT_CENTER) x = left + (right - left - line.width) / 2;
    dc.Draw<DrawLine>(LineBox(*font, line, x, y, clip), Cover::Partial, FontUsed{font}, line, x, y, clip);
    y += lineHeight;
  }
  const long long height = (format & DT_SINGLELINE) && (format & (DT_BOTTOM | DT_VCENTER)) ? top - rectTop + total : total;
  return static_cast<int>(std::clamp<long long>(height, INT32_MIN, INT32_MAX));
}

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
  LockedDC dc(hdc);
  if (!dc || c < 0 || (c > 0 && !lpString)) return FALSE;
  auto font = FontOf(*dc);
  if (!font) return FALSE;
  Line line;
  for (int i = 0; i < c; ++i) {
    const auto ch = static_cast<unsigned char>(lpString[i]);
    line.chars.push_back({ch, false});
    line.width += font->Advance(ch);
  }
  const Rect clip = dc->Clip();
  dc.Draw<DrawLine>(LineBox(*font, line, x, y, clip), Cover::Partial, FontUsed{font}, std::move(line), static_cast<long long>(x),
                    static_cast<long long>(y), clip);
  return TRUE;
}

BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
  LockedDC dc(hdc);
  if (!dc || !psizl || c < 0 || (c > 0 && !lpString)) return FALSE;
  auto font = FontOf(*dc);
  if (!font) return FALSE;
  psizl->cx = Held(Advance(*font, std::string_view(lpString ? lpString : "", static_cast<std::size_t>(c))));
  psizl->cy = font->Metrics().height;
  return TRUE;
}

BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) {
  LockedDC dc(hdc);
  if (!dc || !lptm) return FALSE;
  auto font = FontOf(*dc);
  if (!font) return FALSE;
  const text::CellMetrics& m = font->Metrics();
  const LOGFONTA& d = font->Description();
  *lptm = TEXTMETRICA{};
  lptm->tmHeight = m.height;
  lptm->tmAscent = m.ascent;
  lptm->tmDescent = m.descent;
  lptm->tmInternalLeading = m.internalLeading;
  lptm->tmExternalLeading = m.externalLeading;
  lptm->tmAveCharWidth = m.averageWidth;
  lptm->tmMaxCharWidth = m.maximumWidth;
  lptm->tmWeight = d.lfWeight == FW_DONTCARE ? FW_NORMAL : d.lfWeight;
  lptm->tmDigitizedAspectX = 96;
  lptm->tmDigitizedAspectY = 96;
  lptm->tmFirstChar = 0x20;
  lptm->tmLastChar = 0xFF;
  lptm->tmDefaultChar = 0x1F;
  lptm->tmBreakChar = 0x20;
  lptm->tmItalic = d.lfItalic ? 1 : 0;
  lptm->tmUnderlined = d.lfUnderline ? 1 : 0;
  lptm->tmStruckOut = d.lfStrikeOut ? 1 : 0;
  lptm->tmPitchAndFamily = d.lfPitchAndFamily;
  lptm->tmCharSet = d.lfCharSet;
  return TRUE;
}

int WINAPI GetTextFaceA(HDC hdc, int c, LPSTR lpName) {
  LockedDC dc(hdc);
  if (!dc) return 0;
  auto font = FontOf(*dc);
  if (!font) return 0;
  const std::string& family = font->Family();
  if (!lpName) return static_cast<int>(family.size()) + 1;
  if (c <= 0) return 0;
  const std::size_t n = std::min(family.size(), static_cast<std::size_t>(c - 1));
  std::memcpy(lpName, family.data(), n);
  lpName[n] = '\0';
  return static_cast<int>(n) + 1;
}

BOOL WINAPI GetCharWidth32A(HDC hdc, UINT iFirst, UINT iLast, LPINT lpBuffer) {
  LockedDC dc(hdc);
  if (!dc || !lpBuffer || iFirst > iLast || iLast > 255) return FALSE;
  auto font = FontOf(*dc);
  if (!font) return FALSE;
  for (UINT c = iFirst; c <= iLast; ++c) lpBuffer[c - iFirst] = font->Advance(static_cast<unsigned char>(c));
  return TRUE;
}

}  // extern "C"
