// The second toolkit: its window's life, keys, commands, the mouse, buffered
// and unbuffered drawing and the bitmap table, on the headless display.
#include <gtest/gtest.h>
#include <winlayer/headless.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "bmp_writer.h"
#include "state.h"

namespace {

namespace headless = winlayer::headless;
using namespace Wimdows;

// Waits until the window thread has handled everything posted to it before:
// a mouse move posted last comes through last.
void Settle() {
  static std::uint32_t marker = 1000;
  marker = marker == 1999 ? 1000 : marker + 1;
  PostMessageA(window.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(marker, 7));
  for (int i = 0; i < 5000 && mouse.x != marker; ++i) Sleep(1);
}

class WimdowsTest : public testing::Test {
 protected:
  void SetUp() override { Window("Wimdows", 320, 240); }
  void TearDown() override {
    KillWindow();
    headless::ReleaseButton(VK_LBUTTON);
  }
};

TEST(WimdowsLifeTest, OpeningClosingAndReopening) {
  KillWindow();  // none open: dead at once
  EXPECT_EQ(State(), STATE_DEAD);
  SetBuffering(true);  // before a window: not stored
  EXPECT_FALSE(buffering);

  Window("Eerste", 320, 240);
  ASSERT_EQ(State(), STATE_ACTIVE);
  HWND first = window.hwnd;
  RECT client;
  GetClientRect(first, &client);
  EXPECT_EQ(client.right, 320);
  EXPECT_EQ(client.bottom, 240);
  char caption[32] = "";
  GetWindowTextA(first, caption, sizeof caption);
  EXPECT_STREQ(caption, "Eerste");

  const char unterminated[5] = {'T', 'i', 't', 'e', 'l'};  // no zero character: the array's end ends it
  Window(unterminated, 200, 100);  // closes the first one first
  EXPECT_EQ(State(), STATE_ACTIVE);
  EXPECT_FALSE(IsWindow(first));
  GetWindowTextA(window.hwnd, caption, sizeof caption);
  EXPECT_STREQ(caption, "Titel");
  KillWindow();
  EXPECT_EQ(State(), STATE_DEAD);
  EXPECT_EQ(window.class_, nullptr);
}

TEST_F(WimdowsTest, KeysAreQueuedByTheirLowEightBitsAndRepeatsQueueAgain) {
  SendMessageA(window.hwnd, WM_KEYDOWN, 300, 0);
  EXPECT_TRUE(KeyDown(44));
  SendMessageA(window.hwnd, WM_KEYDOWN, 'A', 0);
  SendMessageA(window.hwnd, WM_KEYDOWN, 'A', 1 << 30);  // held: repeated
  SendMessageA(window.hwnd, WM_KEYUP, 'A', 0);
  EXPECT_FALSE(KeyDown('A'));
  EXPECT_EQ(ReadKey(), 44u);
  EXPECT_EQ(ReadKey(), static_cast<std::uint32_t>('A'));
  EXPECT_EQ(ReadKey(), static_cast<std::uint32_t>('A'));
  EXPECT_EQ(ReadKey(), 0u);
}

std::atomic<int> lastCalled{0};
void MenuItem50() { lastCalled = 150; }
void OtherItem() { lastCalled = -1; }
void ControlThree() { lastCalled = 3; }

TEST_F(WimdowsTest, CommandsCallMenuItemsAndButtonsByTheirIdentifiers) {
  AddMenu("Spel", {{"Nieuw", OtherItem}});
  std::vector<std::pair<const char*, Procedure>> items(51, {"item", OtherItem});
  items[50] = {"vijftig", MenuItem50};
  AddMenu("Meer", items);
  for (int c = 0; c < 4; ++c) AddControl(CTRL_BUTTON, "Knop", 10, 10 + 30 * c, 80, 24, c == 3 ? ControlThree : OtherItem);
  EXPECT_EQ(controllen, 4u);
  EXPECT_TRUE(IsWindow(ctrl[3].hwnd));

  SendMessageA(window.hwnd, WM_COMMAND, MAKEWPARAM(250, 0), 0);
  EXPECT_EQ(lastCalled, 150);
  lastCalled = 0;
  SendMessageA(window.hwnd, WM_COMMAND, MAKEWPARAM(10003, 0), 0);
  EXPECT_EQ(lastCalled, 3);
  lastCalled = 0;
  for (WPARAM w : {MAKEWPARAM(99, 0), MAKEWPARAM(10003, 1), MAKEWPARAM(10003, EN_CHANGE), MAKEWPARAM(399, 0), MAKEWPARAM(10009, 0)})
    SendMessageA(window.hwnd, WM_COMMAND, w, 0);
  EXPECT_EQ(lastCalled, 0);

  // A click on the button itself reaches the same procedure.
  headless::MoveCursorToClient(window.hwnd, 20, 10 + 30 * 3 + 5);
  headless::Click(VK_LBUTTON);
  Settle();
  EXPECT_EQ(lastCalled, 3);
  RemoveControl(3);
  EXPECT_EQ(controllen, 4u);  // its number stays taken
}

TEST_F(WimdowsTest, DraggingOutsideGivesLargeUnsignedCoordinates) {
  std::atomic<std::uint32_t> downAt{0};
  static std::atomic<std::uint32_t>* seen = &downAt;
  OnLeftDown([](std::uint32_t x, std::uint32_t) { *seen = x; });
  headless::MoveCursorToClient(window.hwnd, 50, 60);
  headless::PressButton(VK_LBUTTON);
  Settle();
  headless::MoveCursorToClient(window.hwnd, -5, -7);
  for (int i = 0; i < 5000 && mouse.x != 65531; ++i) Sleep(1);
  std::uint32_t x, y;
  bool left, right;
  ReadMouse(x, y, left, right);
  EXPECT_TRUE(left);
  EXPECT_EQ(x, 65531u);
  EXPECT_EQ(y, 65529u);
  EXPECT_EQ(downAt, 50u);
  headless::ReleaseButton(VK_LBUTTON);
  for (int i = 0; i < 5000 && mouse.left; ++i) Sleep(1);
  ReadMouse(x, y, left, right);
  EXPECT_FALSE(left);
}

TEST_F(WimdowsTest, UnbufferedDrawingShowsOnlyItsBoundingBox) {
  // The back buffer holds a blue picture the window has not been shown.
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  RECT all{0, 0, 320, 240};
  FillRect(hDCBuf, &all, blue);
  DeleteObject(blue);
  const std::int32_t xs[3] = {10, 30, 25}, ys[3] = {20, 5, 40};
  Polygon(3, xs, ys, RGB(255, 255, 0), true);
  const headless::Frame f = headless::ClientPixels(window.hwnd);
  int changed = 0;
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x)
      if (f.At(x, y) != RGB(0, 0, 0)) {
        ++changed;
        EXPECT_TRUE(x >= 10 && x <= 30 && y >= 5 && y <= 40) << x << "," << y;
      }
  EXPECT_EQ(changed, 21 * 36);

  const std::int32_t far[3] = {300, 400, 310}, low[3] = {200, 230, 300};  // partly outside: clipped
  Polygon(3, far, low, RGB(255, 0, 0), true);
  EXPECT_EQ(headless::ClientPixel(window.hwnd, 305, 225), RGB(255, 0, 0));

  const std::int32_t bx[4] = {100, 200, 200, 100}, by[4] = {100, 100, 200, 200};
  Polygon(4, bx, by, RGB(0, 255, 0), false);  // an outline: the inside stays as it was
  EXPECT_EQ(headless::ClientPixel(window.hwnd, 100, 150), RGB(0, 255, 0));
  EXPECT_EQ(headless::ClientPixel(window.hwnd, 150, 150), RGB(0, 0, 255));
}

TEST_F(WimdowsTest, BufferedDrawingWaitsForUpdateWindowOrTheSwitchOff) {
  SetBuffering(true);
  const std::int32_t xs[3] = {10, 100, 10}, ys[3] = {10, 10, 100};
  Polygon(3, xs, ys, RGB(192, 192, 192), true);
  EXPECT_EQ(headless::ClientPixel(window.hwnd, 20, 20), RGB(0, 0, 0));
  SetBuffering(false);  // the whole buffer is shown at once
  EXPECT_EQ(headless::ClientPixel(window.hwnd, 20, 20), RGB(192, 192, 192));
  const std::int32_t x2[3] = {200, 300, 200}, y2[3] = {10, 10, 100};
  Polygon(3, x2, y2, RGB(192, 192, 192), true);  // and later ones at once
  EXPECT_EQ(headless::ClientPixel(window.hwnd, 210, 20), RGB(192, 192, 192));
}

TEST_F(WimdowsTest, TheBitmapTableKeepsHandlesAndShrinksFromTheEnd) {
  const testing_support::TempDir dir;
  const std::string path = dir / "b.bmp";
  testing_support::WriteBytes(path, testing_support::MakeBmp(4, 3, 24, false, [](int, int) { return RGB(1, 2, 3); }));
  EXPECT_EQ(LoadBitmapFile(path.c_str()), 1u);
  EXPECT_EQ(LoadBitmapFile(path.c_str()), 2u);
  EXPECT_EQ(LoadBitmapFile(path.c_str()), 3u);
  EXPECT_EQ(bit[0].width, 4u);
  DestroyBitmap(2);
  EXPECT_EQ(bitlen, 3u);
  EXPECT_EQ(bit[1].hbit, nullptr);
  for (std::uint32_t nothing : {0u, 4u, 2u}) DestroyBitmap(nothing);
  EXPECT_EQ(bitlen, 3u);
  DestroyBitmap(3);
  EXPECT_EQ(bitlen, 1u);
  EXPECT_EQ(LoadBitmapFile(path.c_str()), 2u);  // a new bitmap takes a new entry at the end
  DestroyBitmap(2);
  DestroyBitmap(1);
  EXPECT_EQ(bitlen, 0u);
  EXPECT_TRUE(bit.empty());
  EXPECT_EQ(LoadBitmapFile("/no/such/file.bmp"), 0u);
}

TEST(WimdowsCloseTest, TheUsersCloseEmptiesEverything) {
  Window("Sluiten", 200, 100);
  AddMenu("Spel", {{"Nieuw", OtherItem}});
  AddControl(CTRL_EDIT, "", 5, 5, 100, 20, nullptr);
  const testing_support::TempDir dir;
  const std::string path = dir / "c.bmp";
  testing_support::WriteBytes(path, testing_support::MakeBmp(2, 2, 24, false, [](int, int) { return RGB(9, 9, 9); }));
  LoadBitmapFile(path.c_str());
  SetBuffering(true);
  SendMessageA(window.hwnd, WM_KEYDOWN, 'Q', 0);
  headless::ClickCloseBox(window.hwnd);
  while (State() != STATE_DEAD) {
  }
  EXPECT_EQ(ReadKey(), 0u);
  for (int k = 0; k < 256; ++k) ASSERT_FALSE(KeyDown(static_cast<std::uint32_t>(k)));
  EXPECT_EQ(menulen, 0u);
  EXPECT_EQ(controllen, 0u);
  EXPECT_EQ(bitlen, 0u);
  EXPECT_FALSE(buffering);
  EXPECT_EQ(window.xlen, 0u);
}

TEST_F(WimdowsTest, TheKeyQueueStaysInOrderWhileItIsFlushed) {
  constexpr std::uint32_t kKeys = 20000;
  std::thread typist([] {  // keys 1..255 over and over (0 is what an empty queue reads as)
    for (std::uint32_t k = 0; k < kKeys; ++k) PostMessageA(window.hwnd, WM_KEYDOWN, k % 255 + 1, 0);
  });
  for (int i = 0; i < 2000; ++i) FlushKeys();
  typist.join();
  Settle();
  std::vector<std::uint32_t> left;
  for (std::uint32_t k; (k = ReadKey()) != 0;) left.push_back(k);
  ASSERT_FALSE(left.empty());
  EXPECT_EQ(left.back(), (kKeys - 1) % 255 + 1);  // the last press is never lost
  // What the flushes left behind is a run of consecutive presses, in the order they came.
  for (std::size_t i = 0; i + 1 < left.size(); ++i) ASSERT_EQ(left[i + 1], left[i] % 255 + 1) << i;
}

}  // namespace
