// The library's window: its life, the back buffer, the frame arithmetic, the
// mouse and the key buffer. Scenarios that need a program's first moments run
// in a fresh process of their own.
#include <gtest/gtest.h>

#include <chrono>
#include <winlayer/headless.h>
#include <winlayer/objects.h>

#include <string>

#include "BrannowayLib.h"
#include "state.h"

namespace {

namespace headless = winlayer::headless;
using namespace BrannowayLib;

// The frame sizes the game adds to get a 640 x 480 client area.
int ExtraWidth() { return 2 * (GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXFIXEDFRAME)); }
int ExtraHeight() {
  return 2 * (GetSystemMetrics(SM_CYEDGE) + GetSystemMetrics(SM_CYFIXEDFRAME)) + GetSystemMetrics(SM_CYCAPTION);
}

HWND OpenGameSizedWindow() {
  Venster(150, 150, 640 + ExtraWidth(), 480 + ExtraHeight(), TitleFrom("Titel"));
  return State().hWnd.load();
}

class LibraryWindowTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
  void TearDown() override {
    for (int b : {VK_LBUTTON, VK_RBUTTON}) headless::ReleaseButton(b);
  }
};

TEST_F(LibraryWindowTest, BeforeTheWindowNothingDrawsOrFails) {
  EXPECT_EXIT(
      {
        bool ok = !VensterBestaat();
        Update();
        Rechthoek(0, 0, 10, 10, true);
        Lijn(0, 0, 5, 5);
        Driehoek(0, 0, 5, 0, 0, 5, false);
        Tekst(0, 0, "tekst");
        InktTekst(Kleur(1, 2, 3));
        InktOpvul(Kleur(255, 0, 0));  // an ink set before the window stays in force
        TekenBitmap(1234, 0, 0);
        ok = ok && State().hBuffer == nullptr && winlayer::PresentCount() == 0;
        OpenGameSizedWindow();
        Rechthoek(0, 0, 10, 10, true);
        ok = ok && GetPixel(State().hBuffer, 5, 5) == RGB(255, 0, 0);
        std::exit(ok ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST_F(LibraryWindowTest, AFailedRegistrationShowsItsMessageOnceAndOpensNothing) {
  EXPECT_EXIT(
      {
        WNDCLASSA taken{};
        taken.lpfnWndProc = DefWindowProcA;
        taken.lpszClassName = "BrannowayClass";
        RegisterClassA(&taken);
        Venster(10, 10, 300, 200, TitleFrom("Titel"));
        const auto boxes = headless::MessageBoxes();
        const bool ok = boxes.size() == 1 && boxes[0].text == "Window Class registration failed!" &&
                        boxes[0].caption == "Error!" && boxes[0].type == 0x30 && !VensterBestaat() &&
                        headless::VisibleWindows().empty();
        std::exit(ok ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST_F(LibraryWindowTest, AWindowThatCannotBeMadeEndsTheWaitWithAReason) {
  EXPECT_EXIT(
      {
        HWND first = OpenGameSizedWindow();
        headless::ClickCloseBox(first);
        while (VensterBestaat()) {
        }
        // With its class gone, the window thread can't make the next window.
        UnregisterClassA("BrannowayClass", GetModuleHandleA(nullptr));
        Venster(10, 10, 300, 200, TitleFrom("Titel"));
        std::exit(VensterBestaat() ? 1 : 0);
      },
      testing::ExitedWithCode(0), "Venster: the window could not be made");
}

TEST_F(LibraryWindowTest, TheGameSizedWindowHasA640By480ClientAreaAndABlackBackBuffer) {
  HWND hwnd = OpenGameSizedWindow();
  ASSERT_TRUE(VensterBestaat());
  RECT client;
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 640);
  EXPECT_EQ(client.bottom, 480);
  BITMAP buffer{};
  GetObjectA(GetCurrentObject(State().hBuffer, OBJ_BITMAP), sizeof buffer, &buffer);
  EXPECT_EQ(buffer.bmWidth, 640);
  EXPECT_EQ(buffer.bmHeight, 480);
  char caption[64] = "";
  GetWindowTextA(hwnd, caption, sizeof caption);
  EXPECT_STREQ(caption, "Titel");
  Update();  // the first paint (the class background) was over when Venster returned
  const headless::Frame shown = headless::ClientPixels(hwnd);
  EXPECT_EQ(shown.At(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(shown.At(639, 479), RGB(0, 0, 0));
}

TEST_F(LibraryWindowTest, MousePositionIsInClientPixelsAndButtonsReadAsHeld) {
  HWND hwnd = OpenGameSizedWindow();
  std::int32_t x = -1, y = -1;
  headless::MoveCursorToClient(hwnd, 0, 0);
  MuisPos(x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  headless::MoveCursorToClient(hwnd, 639, 479);
  MuisPos(x, y);
  EXPECT_EQ(x, 639);
  EXPECT_EQ(y, 479);
  RECT outer;
  GetWindowRect(hwnd, &outer);
  headless::MoveCursor(outer.left + 50, outer.top + 5);  // on the caption
  MuisPos(x, y);
  EXPECT_LT(y, 0);

  EXPECT_EQ(Muisklik(), 0u);
  headless::PressButton(VK_RBUTTON);
  EXPECT_EQ(Muisklik(), 2u);
  EXPECT_EQ(Muisklik(), 2u);  // on every call while held
  headless::PressButton(VK_LBUTTON);
  EXPECT_EQ(Muisklik(), 1u);  // both: the left one wins
  headless::ReleaseButton(VK_LBUTTON);
  headless::ReleaseButton(VK_RBUTTON);
  EXPECT_EQ(Muisklik(), 1u);  // a press seen a moment ago lasts a person's click
  const auto released = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (Muisklik() != 0 && std::chrono::steady_clock::now() < released) {
  }
  EXPECT_EQ(Muisklik(), 0u);
}

TEST_F(LibraryWindowTest, TheKeyBufferKeepsTheFirstFifteenCharacters) {
  HWND hwnd = OpenGameSizedWindow();
  SendMessageA(hwnd, WM_NULL, 0, 0);
  State().Input = {};
  // Sent, each character is handled by the window thread before the next one goes.
  for (char c : std::string("abcdefghijklmnopqrst")) SendMessageA(hwnd, WM_CHAR, static_cast<unsigned char>(c), 1);
  std::string kept;
  for (int i = 1; i <= 15; ++i) kept += State().Input[i];
  EXPECT_EQ(kept, "abcdefghijklmno");
  EXPECT_EQ(State().Input[16], '\0');
}

TEST_F(LibraryWindowTest, ClosingEndsTheWindowButDrawingStaysHarmless) {
  HWND hwnd = OpenGameSizedWindow();
  ASSERT_TRUE(VensterBestaat());
  headless::ClickCloseBox(hwnd);
  for (int i = 0; i < 2000 && VensterBestaat(); ++i) Sleep(1);
  EXPECT_FALSE(VensterBestaat());
  const auto presents = winlayer::PresentCount();
  Rechthoek(0, 0, 100, 100, true);  // still goes to the back buffer
  Update();                         // and has no visible effect
  EXPECT_EQ(winlayer::PresentCount(), presents);
}

TEST_F(LibraryWindowTest, ASecondWindowReplacesTheFirstAndItsThread) {
  HWND first = OpenGameSizedWindow();
  HANDLE firstThread = State().WindowInfo.Thread;
  const std::size_t bitmaps = winlayer::LiveGdiObjects(OBJ_BITMAP);
  const std::size_t contexts = winlayer::LiveGdiObjects(OBJ_MEMDC);
  HWND second = OpenGameSizedWindow();
  EXPECT_NE(first, second);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_TRUE(VensterBestaat());
  EXPECT_NE(State().WindowInfo.Thread, firstThread);
  EXPECT_EQ(winlayer::LiveGdiObjects(OBJ_BITMAP), bitmaps);  // the old back buffer went
  EXPECT_EQ(winlayer::LiveGdiObjects(OBJ_MEMDC), contexts);
  EXPECT_EQ(headless::VisibleWindows().size(), 1u);
}

TEST_F(LibraryWindowTest, ASecondWindowReleasesTheInksAndFontWaitingToBeSwappedOut) {
  OpenGameSizedWindow();
  const std::size_t pens = winlayer::LiveGdiObjects(OBJ_PEN);
  const std::size_t brushes = winlayer::LiveGdiObjects(OBJ_BRUSH);
  const std::size_t fonts = winlayer::LiveGdiObjects(OBJ_FONT);
  // Draw with new inks and a new font, so they are selected, then replace all three.
  InktRand(Kleur(1, 2, 3));
  InktOpvul(Kleur(4, 5, 6));
  ZetTekstGrootte(20);
  Rechthoek(0, 0, 10, 10, true);
  Tekst(0, 0, "a");
  InktRand(Kleur(7, 8, 9));
  InktOpvul(Kleur(10, 11, 12));
  ZetTekstGrootte(22);
  ASSERT_EQ(winlayer::LiveGdiObjects(OBJ_PEN), pens + 1);  // the current pen and the one still selected
  OpenGameSizedWindow();
  EXPECT_EQ(winlayer::LiveGdiObjects(OBJ_PEN), pens);
  EXPECT_EQ(winlayer::LiveGdiObjects(OBJ_BRUSH), brushes);
  EXPECT_EQ(winlayer::LiveGdiObjects(OBJ_FONT), fonts);
}

TEST_F(LibraryWindowTest, SizesBeyondTheSignedRangeStop) {
  EXPECT_EXIT(Venster(0, 0, 0x80000000u, 100, TitleFrom("Titel")), testing::ExitedWithCode(201), "does not fit");
}

}  // namespace
