// Objects, handles and drawing-context state.
#include <gtest/gtest.h>
#include <winlayer/objects.h>

#include <cstdint>
#include <cstring>

#include "canvas.h"

namespace {

std::uintptr_t Value(HGDIOBJ h) { return reinterpret_cast<std::uintptr_t>(h); }

TEST(GdiObjectsTest, ANewMemoryContextStartsAsOnWindows) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetPolyFillMode(dc), ALTERNATE);
  POINT previous{-1, -1};
  MoveToEx(dc, 3, 4, &previous);
  EXPECT_EQ(previous.x, 0);
  EXPECT_EQ(previous.y, 0);

  BITMAP bm{};
  ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 1);
  EXPECT_EQ(bm.bmHeight, 1);
  EXPECT_EQ(bm.bmBitsPixel, 1);

  // Still holding its monochrome bitmap, the context makes monochrome bitmaps.
  HBITMAP mono = CreateCompatibleBitmap(dc, 8, 8);
  GetObjectA(mono, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  HDC screen = GetDC(nullptr);
  HBITMAP color = CreateCompatibleBitmap(screen, 8, 8);
  GetObjectA(color, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  EXPECT_EQ(bm.bmWidth, 8);
  ReleaseDC(nullptr, screen);
  DeleteObject(mono);
  DeleteObject(color);
  EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiObjectsTest, HandlesFitIn32BitsAndStayClearOfSystemColourValues) {
  HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
  HPEN p = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  for (HGDIOBJ h : {static_cast<HGDIOBJ>(b), static_cast<HGDIOBJ>(p), GetStockObject(WHITE_BRUSH)}) {
    EXPECT_LE(Value(h), 0xFFFFFFFFu);
    EXPECT_GE(Value(h), 0x100000u);
  }
  DeleteObject(b);
  DeleteObject(p);
}

TEST(GdiObjectsTest, DeletionIsRefusedWhileSelectedAndWorksOnceSwappedOut) {
  testing_support::Canvas c(4, 4);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HGDIOBJ before = SelectObject(c.dc(), red);
  EXPECT_FALSE(DeleteObject(red));
  EXPECT_EQ(GetObjectType(red), static_cast<DWORD>(OBJ_BRUSH));  // refused: nothing changed
  Rectangle(c.dc(), 0, 0, 4, 4);
  EXPECT_EQ(c.At(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(SelectObject(c.dc(), before), red);
  EXPECT_TRUE(DeleteObject(red));
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));  // stock: succeeds and does nothing
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
}

TEST(GdiObjectsTest, StaleHandlesAreRejectedEvenWhenTheSlotIsReused) {
  HBRUSH old = CreateSolidBrush(RGB(1, 1, 1));
  ASSERT_TRUE(DeleteObject(old));
  EXPECT_FALSE(DeleteObject(old));
  EXPECT_EQ(GetObjectType(old), 0u);
  // Fill the free slots so that one of them must be reused.
  HBRUSH fresh[64];
  for (HBRUSH& b : fresh) b = CreateSolidBrush(RGB(2, 2, 2));
  testing_support::Canvas c(2, 2);
  for (HBRUSH b : fresh) EXPECT_NE(b, old);
  EXPECT_EQ(SelectObject(c.dc(), old), nullptr);
  EXPECT_FALSE(DeleteObject(old));
  for (HBRUSH b : fresh) {
    EXPECT_EQ(GetObjectType(b), static_cast<DWORD>(OBJ_BRUSH));
    DeleteObject(b);
  }
}

TEST(GdiObjectsTest, ABitmapLivesInOneMemoryContextAtATime) {
  HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateBitmap(4, 4, 1, 32, nullptr);
  HGDIOBJ keptA = SelectObject(a, bmp);
  EXPECT_NE(keptA, nullptr);
  EXPECT_EQ(SelectObject(b, bmp), nullptr);
  SelectObject(a, keptA);
  HGDIOBJ keptB = SelectObject(b, bmp);
  EXPECT_NE(keptB, nullptr);
  SelectObject(b, keptB);
  EXPECT_TRUE(DeleteObject(bmp));
  DeleteDC(a);
  DeleteDC(b);
}

// The ink replacement of the drawing library: delete the current brush (refused while
// selected), make a new one, and on the next shape select it and delete the one it replaces.
TEST(GdiObjectsTest, InkAndFontSequencesLeaveNoObjectBehind) {
  const std::size_t brushes = winlayer::LiveGdiObjects(OBJ_BRUSH);
  const std::size_t fonts = winlayer::LiveGdiObjects(OBJ_FONT);
  testing_support::Canvas c(8, 8);

  HBRUSH ink = CreateSolidBrush(RGB(255, 255, 255));
  auto shape = [&] {
    if (GetCurrentObject(c.dc(), OBJ_BRUSH) != ink) DeleteObject(SelectObject(c.dc(), ink));
    Rectangle(c.dc(), 0, 0, 4, 4);
  };
  auto setInk = [&](COLORREF color) {
    DeleteObject(ink);
    ink = CreateSolidBrush(color);
  };
  shape();
  setInk(RGB(255, 0, 0));
  setInk(RGB(0, 255, 0));  // twice between two shapes
  shape();
  EXPECT_EQ(winlayer::LiveGdiObjects(OBJ_BRUSH), brushes + 1);  // only the current ink

  LOGFONTA lf{};
  lf.lfHeight = 16;
  std::strcpy(lf.lfFaceName, "Arial");
  HFONT font = CreateFontIndirectA(&lf);
  auto text = [&] {
    if (GetCurrentObject(c.dc(), OBJ_FONT) != font) DeleteObject(SelectObject(c.dc(), font));
    RECT r{0, 0, 0, 0};
    DrawTextA(c.dc(), "x", 1, &r, DT_NOCLIP);
  };
  auto setFont = [&](LONG height) {
    DeleteObject(font);
    lf.lfHeight = height;
    font = CreateFontIndirectA(&lf);
  };
  text();
  setFont(20);
  setFont(24);
  text();
  EXPECT_EQ(winlayer::LiveGdiObjects(OBJ_FONT), fonts + 1);
  DeleteObject(SelectObject(c.dc(), GetStockObject(SYSTEM_FONT)));
  DeleteObject(SelectObject(c.dc(), GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(winlayer::LiveGdiObjects(OBJ_FONT), fonts);
  EXPECT_EQ(winlayer::LiveGdiObjects(OBJ_BRUSH), brushes);
}

TEST(GdiObjectsTest, ObjectsDescribeThemselves) {
  HPEN pen = CreatePen(PS_SOLID, 0, RGB(9, 8, 7));
  LOGPEN lp{};
  EXPECT_EQ(GetObjectA(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnColor, RGB(9, 8, 7));
  EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_PEN));
  EXPECT_EQ(GetObjectA(pen, 0, nullptr), static_cast<int>(sizeof lp));
  DeleteObject(pen);

  LOGFONTA in{};
  in.lfHeight = 26;
  in.lfWeight = FW_BOLD;
  std::strcpy(in.lfFaceName, "Comic Sans MS");
  HFONT font = CreateFontIndirectA(&in);
  LOGFONTA out{};
  GetObjectA(font, sizeof out, &out);
  EXPECT_EQ(out.lfHeight, 26);
  EXPECT_STREQ(out.lfFaceName, "Comic Sans MS");
  DeleteObject(font);

  const BITMAPINFO info{{sizeof(BITMAPINFOHEADER), 5, -3, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(section, nullptr);
  ASSERT_NE(bits, nullptr);
  BITMAP bm{};
  GetObjectA(section, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 5);
  EXPECT_EQ(bm.bmHeight, 3);
  EXPECT_EQ(bm.bmBits, bits);
  DeleteObject(section);
}

TEST(GdiObjectsTest, InvalidCallsFailQuietly) {
  EXPECT_EQ(SelectObject(nullptr, GetStockObject(BLACK_PEN)), nullptr);
  EXPECT_FALSE(DeleteDC(nullptr));
  EXPECT_FALSE(Rectangle(nullptr, 0, 0, 1, 1));
  EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(std::uintptr_t{0x12345678})), 0u);
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, 4, 4), nullptr);
  EXPECT_EQ(CreateBitmap(-1, 4, 1, 32, nullptr), nullptr);
  EXPECT_EQ(CreateBitmap(100000, 100000, 1, 32, nullptr), nullptr);
  EXPECT_EQ(GetStockObject(99), nullptr);
}

}  // namespace
