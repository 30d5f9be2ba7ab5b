// Text: font sizes, faces, layout rules and how glyphs meet what lies beneath.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <set>
#include <string>

#include "canvas.h"

namespace {

using testing_support::Canvas;

HFONT MakeFont(const char* face, LONG height, LONG weight = FW_NORMAL, BYTE quality = ANTIALIASED_QUALITY) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = quality;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirectA(&lf);
}

// A canvas with a font selected, released with it.
struct TextCanvas : Canvas {
  HGDIOBJ oldFont;
  TextCanvas(const char* face, LONG height, LONG weight = FW_NORMAL, BYTE quality = ANTIALIASED_QUALITY,
             int w = 200, int h = 80, COLORREF background = RGB(0, 0, 0))
      : Canvas(w, h, background), oldFont(SelectObject(dc(), MakeFont(face, height, weight, quality))) {}
  ~TextCanvas() { DeleteObject(SelectObject(dc(), oldFont)); }

  SIZE Extent(const char* s) {
    SIZE size{};
    GetTextExtentPoint32A(dc(), s, static_cast<int>(std::strlen(s)), &size);
    return size;
  }
  RECT Measure(const char* s, UINT format = 0) {
    RECT r{0, 0, 0, 0};
    DrawTextA(dc(), s, -1, &r, format | DT_CALCRECT);
    return r;
  }
  std::string Face() {
    char name[LF_FACESIZE] = "";
    GetTextFaceA(dc(), sizeof name, name);
    return name;
  }
  TEXTMETRICA Metrics() {
    TEXTMETRICA tm{};
    GetTextMetricsA(dc(), &tm);
    return tm;
  }
  void Draw(const char* s, int x = 0, int y = 0, UINT format = DT_NOCLIP) {
    RECT r{x, y, x, y};
    DrawTextA(dc(), s, -1, &r, format);
  }
  std::set<COLORREF> Colours() const {
    std::set<COLORREF> s;
    for (int y = 0; y < height(); ++y)
      for (int x = 0; x < width(); ++x) s.insert(At(x, y));
    return s;
  }
};

TEST(GdiTextTest, PositiveHeightIsTheCharacterCellAsWindowsMeasuresIt) {
  struct Case {
    LONG height;
    LONG cell, ascent, descent;
  };
  for (const Case& c : {Case{16, 16, 13, 3}, Case{26, 26, 21, 5}, Case{50, 51, 41, 10}}) {
    TextCanvas t("Arial", c.height);
    const TEXTMETRICA tm = t.Metrics();
    EXPECT_EQ(tm.tmHeight, c.cell) << c.height;
    EXPECT_EQ(tm.tmAscent, c.ascent) << c.height;
    EXPECT_EQ(tm.tmDescent, c.descent) << c.height;
  }
  TextCanvas em("Arial", -16);
  EXPECT_EQ(em.Metrics().tmHeight - em.Metrics().tmInternalLeading, 16);  // a negative height is the em
  TextCanvas fallback("Arial", 0);
  EXPECT_EQ(fallback.Metrics().tmHeight, 16);
}

TEST(GdiTextTest, GameTextMeasuresAsOnWindows) {
  TextCanvas t("Arial", 16);
  const SIZE s = t.Extent("Wachten op speler 1");
  EXPECT_EQ(s.cx, 131);
  EXPECT_EQ(s.cy, 16);
}

TEST(GdiTextTest, AdvancesAreTheHintedWholePixelsWindowsReports) {
  TextCanvas t("Arial", 16);
  INT widths[3] = {};
  for (int i = 0; i < 3; ++i) GetCharWidth32A(t.dc(), "Hmw"[i], "Hmw"[i], &widths[i]);
  EXPECT_EQ(widths[0], 10);
  EXPECT_EQ(widths[1], 12);
  EXPECT_EQ(widths[2], 10);

  TextCanvas large("Arial", 18);
  const char* text = "Wachten op speler 1";
  const SIZE s = large.Extent(text);
  EXPECT_EQ(s.cx, 146);
  EXPECT_EQ(s.cy, 17);
  long sum = 0;
  for (const char* c = text; *c; ++c) {
    INT w = 0;
    GetCharWidth32A(large.dc(), static_cast<unsigned char>(*c), static_cast<unsigned char>(*c), &w);
    sum += w;
  }
  EXPECT_EQ(sum, s.cx);
  EXPECT_EQ(large.Measure(text).right, s.cx);
}

TEST(GdiTextTest, DrawTextPlacesEachGlyphAtTheAdvancesBeforeIt) {
  // "Hmw" drawn at once, and its characters drawn one by one at the summed advances.
  TextCanvas whole("Arial", 16, FW_NORMAL, NONANTIALIASED_QUALITY, 60, 20);
  TextCanvas pieces("Arial", 16, FW_NORMAL, NONANTIALIASED_QUALITY, 60, 20);
  for (TextCanvas* t : {&whole, &pieces}) {
    SetTextColor(t->dc(), RGB(255, 255, 255));
    SetBkMode(t->dc(), TRANSPARENT);
  }
  whole.Draw("Hmw", 2, 1);
  int x = 2;
  for (const char* c : {"H", "m", "w"}) {
    pieces.Draw(c, x, 1);
    x += pieces.Extent(c).cx;
  }
  for (int py = 0; py < 20; ++py)
    for (int px = 0; px < 60; ++px) ASSERT_EQ(whole.At(px, py), pieces.At(px, py)) << px << "," << py;
}

TEST(GdiTextTest, TextAnywhereInThe32BitPlaneClipsLikeAShape) {
  TextCanvas t("Arial", 16, FW_NORMAL, ANTIALIASED_QUALITY, 40, 30);
  SetTextColor(t.dc(), RGB(255, 255, 255));
  LOGFONTA lf{};
  lf.lfHeight = 16;
  lf.lfUnderline = TRUE;
  lf.lfStrikeOut = TRUE;
  std::strcpy(lf.lfFaceName, "Arial");
  DeleteObject(SelectObject(t.dc(), CreateFontIndirectA(&lf)));
  const std::string longText(2000, 'W');
  for (const POINT p : {POINT{INT_MAX - 3, 0}, POINT{INT_MIN, 0}, POINT{0, INT_MAX - 1}, POINT{0, INT_MIN + 2},
                        POINT{INT_MAX, INT_MAX}, POINT{INT_MIN, INT_MIN}}) {
    EXPECT_TRUE(TextOutA(t.dc(), p.x, p.y, longText.data(), static_cast<int>(longText.size())));
    RECT r{p.x, p.y, INT_MAX, INT_MAX};
    DrawTextA(t.dc(), "&Afsluiten\nW", -1, &r, DT_NOCLIP);
    RECT at{p.x, p.y, p.x, p.y};
    DrawTextA(t.dc(), "&Afsluiten", -1, &at, DT_NOCLIP | DT_RIGHT | DT_SINGLELINE | DT_BOTTOM);
    RECT calc{p.x, p.y, p.x, p.y};
    DrawTextA(t.dc(), longText.c_str(), -1, &calc, DT_CALCRECT);
    EXPECT_GE(calc.right, calc.left);  // held at the limit, never wrapped round
  }
  EXPECT_EQ(t.Colours(), std::set<COLORREF>{RGB(0, 0, 0)});
  // Text that starts far to the left and is long enough still shows its part in view.
  const int advance = t.Extent("W").cx;
  TextOutA(t.dc(), -advance * 1999, 5, longText.data(), static_cast<int>(longText.size()));
  EXPECT_GT(t.Colours().size(), 1u);
}

TEST(GdiTextTest, WindowsFaceNamesMapToMetricCompatibleFonts) {
  EXPECT_EQ(TextCanvas("Arial", 16).Face(), "Liberation Sans");
  EXPECT_EQ(TextCanvas("arial", 16).Face(), "Liberation Sans");
  EXPECT_EQ(TextCanvas("Times New Roman", 16).Face(), "Liberation Serif");
  EXPECT_EQ(TextCanvas("Courier New", 16).Face(), "Liberation Mono");
  EXPECT_EQ(TextCanvas("Comic Sans MS", 16).Face(), "Comic Neue");
  EXPECT_EQ(TextCanvas("System", 16).Face(), "Liberation Sans");
  EXPECT_FALSE(TextCanvas("No Such Face Anywhere", 16).Face().empty());
}

TEST(GdiTextTest, BoldIsWiderThanRegularAndSystemIsBold) {
  const LONG regular = TextCanvas("Arial", 26).Extent("Spelen Opties").cx;
  const LONG bold = TextCanvas("Arial", 26, FW_BOLD).Extent("Spelen Opties").cx;
  EXPECT_GT(bold, regular);
  EXPECT_EQ(TextCanvas("System", 26).Extent("Spelen Opties").cx, bold);
}

TEST(GdiTextTest, TransparentBackgroundLeavesTheAreaBetweenGlyphs) {
  TextCanvas t("Arial", 26, FW_NORMAL, ANTIALIASED_QUALITY, 200, 40, RGB(200, 0, 0));
  SetBkMode(t.dc(), TRANSPARENT);
  SetTextColor(t.dc(), RGB(255, 255, 255));
  t.Draw("Hallo");
  EXPECT_GT(t.Count(RGB(255, 255, 255)), 20);
  EXPECT_EQ(t.At(0, 0), RGB(200, 0, 0));
  EXPECT_EQ(t.At(30, 2), RGB(200, 0, 0));  // above the glyphs, inside the cell

  TextCanvas opaque("Arial", 26, FW_NORMAL, ANTIALIASED_QUALITY, 200, 40, RGB(200, 0, 0));
  SetBkColor(opaque.dc(), RGB(0, 0, 90));
  opaque.Draw("Hallo");
  EXPECT_EQ(opaque.At(0, 0), RGB(0, 0, 90));
  EXPECT_EQ(opaque.At(199, 0), RGB(200, 0, 0));  // beyond the text
}

TEST(GdiTextTest, AmpersandsUnderlineTheNextCharacterOrDrawThemselves) {
  TextCanvas t("Arial", 16);
  const LONG a = t.Measure("ab").right;
  EXPECT_EQ(t.Measure("&ab").right, a);
  EXPECT_EQ(t.Measure("a&&b").right, t.Measure("a&b", DT_NOPREFIX).right);
  EXPECT_GT(t.Measure("&ab", DT_NOPREFIX).right, a);

  TextCanvas plain("Arial", 16), marked("Arial", 16);
  SetTextColor(plain.dc(), RGB(255, 255, 255));
  SetTextColor(marked.dc(), RGB(255, 255, 255));
  SetBkMode(plain.dc(), TRANSPARENT);
  SetBkMode(marked.dc(), TRANSPARENT);
  plain.Draw("ab");
  marked.Draw("&ab");
  EXPECT_GT(marked.Count(RGB(255, 255, 255)), plain.Count(RGB(255, 255, 255)));
}

TEST(GdiTextTest, LinesBreakAtCarriageReturnLineFeedOrBoth) {
  TextCanvas t("Arial", 16);
  EXPECT_EQ(t.Measure("a").bottom, 16);
  EXPECT_EQ(t.Measure("a\nb").bottom, 32);
  EXPECT_EQ(t.Measure("a\r\nb").bottom, 32);
  EXPECT_EQ(t.Measure("a\rb").bottom, 32);
  EXPECT_EQ(t.Measure("a\n\nb").bottom, 48);
  EXPECT_EQ(t.Measure("a\nb", DT_SINGLELINE).bottom, 16);
  EXPECT_EQ(t.Measure("ab\nabc").right, t.Measure("abc").right);
}

TEST(GdiTextTest, GreyLevelsFollowTheFontsGaspTableAndTheQuality) {
  auto draw = [](LONG height, BYTE quality) {
    auto t = std::make_unique<TextCanvas>("Arial", height, FW_NORMAL, quality, 200, 60);
    SetTextColor(t->dc(), RGB(255, 255, 255));
    SetBkMode(t->dc(), TRANSPARENT);
    t->Draw("Wachten");
    return t->Colours().size();
  };
  EXPECT_EQ(draw(16, ANTIALIASED_QUALITY), 2u);  // 14 pixels per em: the font asks for no grey
  EXPECT_GT(draw(40, ANTIALIASED_QUALITY), 2u);
  EXPECT_EQ(draw(40, NONANTIALIASED_QUALITY), 2u);
}

TEST(GdiTextTest, EmptyOrMissingTextDrawsNothing) {
  TextCanvas t("Arial", 16);
  RECT r{0, 0, 10, 10};
  EXPECT_EQ(DrawTextA(t.dc(), "abc", 0, &r, DT_NOCLIP), 0);
  EXPECT_EQ(DrawTextA(t.dc(), "", -1, &r, DT_NOCLIP), 0);
  EXPECT_EQ(t.Count(RGB(0, 0, 0)), t.width() * t.height());
  EXPECT_FALSE(TextOutA(t.dc(), 0, 0, nullptr, 3));
}

TEST(GdiTextTest, TextOutDrawsAtTheCellsTopLeft) {
  TextCanvas t("Arial", 16, FW_NORMAL, ANTIALIASED_QUALITY, 40, 40);
  SetTextColor(t.dc(), RGB(255, 255, 255));
  SetBkMode(t.dc(), TRANSPARENT);
  TextOutA(t.dc(), 10, 10, "I", 1);
  int top = 40, bottom = -1;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      if (t.At(x, y) == RGB(255, 255, 255)) top = std::min(top, y), bottom = std::max(bottom, y);
  EXPECT_GE(top, 10);
  EXPECT_LE(bottom, 10 + 13);  // the capital sits on the baseline, 13 pixels below the top
  EXPECT_GE(bottom, 10 + 10);
}

}  // namespace
