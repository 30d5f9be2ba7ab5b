// Text on arbitrary bytes, flags and fonts. Rules that hold for any input:
// the advances of a line add up to its extent, DrawTextA measures a single
// line as GetTextExtentPoint32A does, text drawn somewhere else shows the
// same pixels moved, and text far outside a surface changes nothing in it.
#include <climits>
#include <string>
#include <vector>

#include "fuzz_input.h"

namespace {

constexpr const char* kFaces[] = {"Arial", "Comic Sans MS", "Times New Roman", "Courier New", "System", ""};

LOGFONTA FontFrom(fuzzing::Input& in) {
  LOGFONTA lf{};
  lf.lfHeight = in.Bit() ? in.Between(-120, 120) : in.Take<std::int32_t>();
  lf.lfWidth = in.Take<std::int8_t>();
  lf.lfWeight = in.Between(0, 1000);
  lf.lfItalic = in.Take<std::uint8_t>();
  lf.lfUnderline = in.Take<std::uint8_t>();
  lf.lfStrikeOut = in.Take<std::uint8_t>();
  lf.lfCharSet = in.Take<std::uint8_t>();
  lf.lfOutPrecision = in.Take<std::uint8_t>();
  lf.lfClipPrecision = in.Take<std::uint8_t>();
  lf.lfQuality = in.Take<std::uint8_t>() % 6;
  lf.lfPitchAndFamily = in.Take<std::uint8_t>();
  const std::uint8_t face = in.Take<std::uint8_t>();
  if (face < 200) {
    std::strncpy(lf.lfFaceName, kFaces[face % (sizeof kFaces / sizeof *kFaces)], LF_FACESIZE - 1);
  } else {
    for (char& c : lf.lfFaceName) c = static_cast<char>(in.Take<std::uint8_t>());  // no end within the array
  }
  return lf;
}

struct Selected {
  Selected(HDC dc, HFONT font) : dc(dc), font(font), old(SelectObject(dc, font)) {}
  ~Selected() {
    SelectObject(dc, old);
    DeleteObject(font);
  }
  HDC dc;
  HFONT font;
  HGDIOBJ old;
};

void CheckMeasures(HDC dc, const std::string& text, UINT format) {
  const int n = static_cast<int>(text.size());
  SIZE extent{};
  FUZZ_CHECK(GetTextExtentPoint32A(dc, text.data(), n, &extent), "extent");
  long long sum = 0;
  for (unsigned char c : text) {
    INT w = -1;
    FUZZ_CHECK(GetCharWidth32A(dc, c, c, &w) && w >= 0, "width of %u", c);
    sum += w;
  }
  FUZZ_CHECK(sum == extent.cx, "advances add up to %lld, the extent is %ld", sum, static_cast<long>(extent.cx));
  TEXTMETRICA tm{};
  FUZZ_CHECK(GetTextMetricsA(dc, &tm), "metrics");
  FUZZ_CHECK(extent.cy == tm.tmHeight && tm.tmHeight == tm.tmAscent + tm.tmDescent, "cell");

  RECT r{0, 0, 0, 0};
  const int height = DrawTextA(dc, text.data(), n, &r, (format & ~DT_NOPREFIX) | DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  if (n > 0) {
    const LONG line = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
    FUZZ_CHECK(r.right == extent.cx && r.bottom == line && height == line,
               "DrawTextA measures %ld x %ld, the extent is %ld x %ld", static_cast<long>(r.right),
               static_cast<long>(r.bottom), static_cast<long>(extent.cx), static_cast<long>(extent.cy));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::Input in(data, size);
  const LOGFONTA lf = FontFrom(in);
  const UINT format = in.Take<std::uint16_t>() & ~DT_CALCRECT;
  const int x = in.Coordinate(), y = in.Coordinate();
  const int mode = in.Take<std::uint8_t>();
  std::string text = in.Rest();
  if (text.size() > 300) text.resize(300);
  const int n = static_cast<int>(text.size());

  HFONT font = CreateFontIndirectA(&lf);
  FUZZ_CHECK(font != nullptr, "CreateFontIndirectA");
  fuzzing::Surface plain(64, 48), shifted(64 + 16, 48 + 16);
  Selected a(plain.dc(), font);
  Selected b(shifted.dc(), CreateFontIndirectA(&lf));
  for (HDC dc : {plain.dc(), shifted.dc()}) {
    SetTextColor(dc, RGB(250, 240, 10));
    SetBkColor(dc, RGB(20, 30, 200));
    SetBkMode(dc, mode & 1 ? TRANSPARENT : OPAQUE);
  }
  CheckMeasures(plain.dc(), text, format);

  // The same text 16 pixels further right and down shows the same pixels.
  bool movable = x <= INT_MAX - 16 && y <= INT_MAX - 16;
  if (mode & 2) {
    TextOutA(plain.dc(), x, y, text.data(), n);
    if (movable) TextOutA(shifted.dc(), x + 16, y + 16, text.data(), n);
  } else {
    auto held = [](long long v) { return static_cast<LONG>(v > INT_MAX ? INT_MAX : v); };
    const long long right = static_cast<long long>(x) + in.Between(0, 200);
    const long long bottom = static_cast<long long>(y) + in.Between(0, 100);
    RECT r{x, y, held(right), held(bottom)};
    DrawTextA(plain.dc(), text.data(), n, &r, format);
    // Moved as a whole, unless the rectangle's far side is held at the limit.
    RECT moved{x, y, held(right + 16), held(bottom + 16)};
    if (movable && right + 16 <= INT_MAX && bottom + 16 <= INT_MAX) {
      moved.left += 16;
      moved.top += 16;
      DrawTextA(shifted.dc(), text.data(), n, &moved, format);
    } else {
      movable = false;
    }
  }
  const bool far = x < -(1 << 30) || x > (1 << 30) || y < -(1 << 30) || y > (1 << 30);
  if (far)
    for (int py = 0; py < plain.height(); ++py)
      for (int px = 0; px < plain.width(); ++px) FUZZ_CHECK(plain.At(px, py) == 0, "text at %d,%d drew at %d,%d", x, y, px, py);
  int bx = 0, by = 0;
  if (movable)
    FUZZ_CHECK(fuzzing::SameShifted(plain, shifted, 16, 16, &bx, &by), "moved text differs at %d,%d", bx, by);
  return 0;
}
