// The SDL display on a real (virtual) X server: windows appear where they are
// placed, xdotool's mouse becomes messages and polled state, presented frames
// are what the X server shows, and the window manager's close request closes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include <winlayer/frame_rate.h>

#include "platform/display/sdl/sdl_keys.h"
#include "eventually.h"
#include "window_thread.h"
#include "xvfb.h"

namespace {

using testing_support::Eventually;
using testing_support::Received;
using testing_support::RunCommand;
using testing_support::ScreenShot;
using testing_support::TakeScreenShot;
using testing_support::WindowSpec;
using testing_support::WindowThread;

#define NEED_X_SERVER()                                                        \
  if (!testing_support::TestServer().Running()) GTEST_SKIP() << "no X server for the real display: " << testing_support::TestServer().Why()

WindowSpec PlacedAt(int x, int y) {
  WindowSpec spec;
  spec.x = x;
  spec.y = y;
  spec.width = 330;
  spec.height = 273;  // a 320 x 240 client area
  return spec;
}

bool Has(WindowThread& w, UINT message) {
  for (const Received& r : w.Messages())
    if (r.message == message) return true;
  return false;
}

// SDL's keys through the displays' one key table: letters and digits as the
// layout names them, every other key by its place, punctuation and the keypad included.
TEST(SdlKeysTest, KeysReachTheProgramsAsTheirVirtualKeys) {
  const auto key = [](SDL_Scancode scancode, SDL_Keycode sym) {
    SDL_Keysym k{};
    k.scancode = scancode;
    k.sym = sym;
    return winlayer::display::VirtualKey(k);
  };
  EXPECT_EQ(key(SDL_SCANCODE_Q, SDLK_a), UINT{'A'});  // the key an AZERTY keyboard labels A
  EXPECT_EQ(key(SDL_SCANCODE_7, SDLK_7), UINT{'7'});
  EXPECT_EQ(key(SDL_SCANCODE_MINUS, SDLK_MINUS), UINT{VK_OEM_MINUS});
  EXPECT_EQ(key(SDL_SCANCODE_LEFTBRACKET, SDLK_LEFTBRACKET), UINT{VK_OEM_4});
  EXPECT_EQ(key(SDL_SCANCODE_GRAVE, SDLK_BACKQUOTE), UINT{VK_OEM_3});
  EXPECT_EQ(key(SDL_SCANCODE_KP_7, SDLK_KP_7), UINT{VK_NUMPAD0 + 7});
  EXPECT_EQ(key(SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS), UINT{VK_ADD});
  EXPECT_EQ(key(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER), UINT{VK_RETURN});
  EXPECT_EQ(key(SDL_SCANCODE_F12, SDLK_F12), UINT{VK_F1 + 11});
  EXPECT_EQ(key(SDL_SCANCODE_RSHIFT, SDLK_RSHIFT), UINT{VK_SHIFT});
  EXPECT_EQ(key(SDL_SCANCODE_LGUI, SDLK_LGUI), 0u);
}

TEST(SdlDisplayTest, XdotoolsMouseBecomesMessagesAndPolledState) {
  NEED_X_SERVER();
  WindowThread w(PlacedAt(100, 100));
  ASSERT_TRUE(IsWindow(w.hwnd()));
  POINT origin{0, 0};
  ClientToScreen(w.hwnd(), &origin);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the window is mapped

  RunCommand("xdotool mousemove --sync " + std::to_string(origin.x + 50) + " " + std::to_string(origin.y + 60));
  ASSERT_TRUE(Eventually([&] {
    POINT p;
    GetCursorPos(&p);
    return p.x == origin.x + 50 && p.y == origin.y + 60;
  }));
  RunCommand("xdotool mousedown 1");
  EXPECT_TRUE(Eventually([] { return GetAsyncKeyState(VK_LBUTTON) < -1; }));
  RunCommand("xdotool mouseup 1");
  EXPECT_TRUE(Eventually([] { return GetAsyncKeyState(VK_LBUTTON) == 0; }));
  ASSERT_TRUE(w.WaitFor(WM_LBUTTONUP));
  for (const Received& r : w.Messages())
    if (r.message == WM_LBUTTONDOWN) {
      EXPECT_EQ(GET_X_LPARAM(r.lParam), 50);
      EXPECT_EQ(GET_Y_LPARAM(r.lParam), 60);
    }
  EXPECT_TRUE(Has(w, WM_MOUSEMOVE));
  EXPECT_TRUE(Has(w, WM_LBUTTONDOWN));

  // A button held outside the window still polls as held.
  RunCommand("xdotool mousemove --sync 5 5 mousedown 3");
  EXPECT_TRUE(Eventually([] { return GetAsyncKeyState(VK_RBUTTON) < -1; }));
  RunCommand("xdotool mouseup 3");
  EXPECT_TRUE(Eventually([] { return GetAsyncKeyState(VK_RBUTTON) == 0; }));
}

TEST(SdlDisplayTest, APresentedFrameIsWhatTheServerShows) {
  NEED_X_SERVER();
  WindowThread w(PlacedAt(400, 150));
  POINT origin{0, 0};
  ClientToScreen(w.hwnd(), &origin);
  HDC screen = GetDC(w.hwnd());
  HDC buffer = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(buffer, CreateCompatibleBitmap(screen, 320, 240));
  HBRUSH red = CreateSolidBrush(RGB(220, 20, 30)), blue = CreateSolidBrush(RGB(10, 40, 200));
  RECT all{0, 0, 320, 240}, box{100, 50, 200, 150};
  FillRect(buffer, &all, red);
  FillRect(buffer, &box, blue);
  DeleteObject(red);
  DeleteObject(blue);
  // Present a few frames, as a program's loop does.
  for (int i = 0; i < 20; ++i) {
    BitBlt(screen, 0, 0, 320, 240, buffer, 0, 0, SRCCOPY);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ScreenShot shot;
  ASSERT_TRUE(Eventually([&] {
    shot = TakeScreenShot();
    return shot.width > 0 && shot.At(origin.x + 150, origin.y + 100) == RGB(10, 40, 200);
  }));
  EXPECT_EQ(shot.At(origin.x + 5, origin.y + 5), RGB(220, 20, 30));
  EXPECT_EQ(shot.At(origin.x + 319, origin.y + 239), RGB(220, 20, 30));
  EXPECT_NE(shot.At(origin.x + 325, origin.y + 100), RGB(220, 20, 30));  // nothing beyond the client area
  DeleteObject(SelectObject(buffer, old));
  DeleteDC(buffer);
  ReleaseDC(w.hwnd(), screen);
}

// ctest runs these tests with WINLAYER_FRAME_RATE=200.
TEST(SdlDisplayTest, PresentsArePacedToTheFrameRateAndTheLastOneIsShown) {
  NEED_X_SERVER();
  ASSERT_EQ(winlayer::FrameRate(), 200) << "run with WINLAYER_FRAME_RATE=200, as ctest does";
  WindowThread w(PlacedAt(700, 150));
  POINT origin{0, 0};
  ClientToScreen(w.hwnd(), &origin);
  HDC screen = GetDC(w.hwnd());
  HBRUSH brushes[2] = {CreateSolidBrush(RGB(200, 0, 0)), CreateSolidBrush(RGB(0, 0, 200))};
  HBRUSH last = CreateSolidBrush(RGB(0, 180, 60));
  const RECT all{0, 0, 320, 240};
  FillRect(screen, &all, brushes[0]);  // the first present starts the schedule
  const auto start = std::chrono::steady_clock::now();
  for (int i = 1; i < 399; ++i) FillRect(screen, &all, brushes[i % 2]);
  FillRect(screen, &all, last);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(seconds, 1.99);  // 399 periods of 5 ms after the first
  EXPECT_LT(seconds, 3.5);  // a schedule that waits a period too many takes 4 s; a busy machine is late by far less
  // However many frames the screen skipped, it ends on the newest.
  ScreenShot shot;
  EXPECT_TRUE(Eventually([&] {
    shot = TakeScreenShot();
    return shot.width > 0 && shot.At(origin.x + 160, origin.y + 120) == RGB(0, 180, 60);
  }));
  for (HBRUSH b : {brushes[0], brushes[1], last}) DeleteObject(b);
  ReleaseDC(w.hwnd(), screen);
}

TEST(SdlDisplayTest, TheCloseBoxDestroysTheWindowThroughItsProcedure) {
  NEED_X_SERVER();
  WindowSpec spec = PlacedAt(200, 450);
  spec.title = "Sluit mij";
  WindowThread w(spec);
  HWND hwnd = w.hwnd();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_TRUE(testing_support::SendCloseRequest("Sluit mij"));
  ASSERT_TRUE(w.WaitFor(WM_CLOSE));
  EXPECT_TRUE(Eventually([&] { return !IsWindow(hwnd); }));
  // A new window on a new thread after the first one's thread ended.
  PostThreadMessageA(w.threadId(), WM_QUIT, 0, 0);
  ASSERT_TRUE(w.Finished());
  WindowThread again(PlacedAt(600, 450));
  EXPECT_TRUE(IsWindow(again.hwnd()));
}

TEST(SdlDisplayTest, AWindowDestroyedByAnotherClientClosesAndTheProgramGoesOn) {
  NEED_X_SERVER();
  WindowSpec spec = PlacedAt(400, 200);
  spec.title = "Weg ermee";
  WindowThread w(spec);
  HWND hwnd = w.hwnd();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_TRUE(testing_support::DestroyFromOutside("Weg ermee"));
  ASSERT_TRUE(w.WaitFor(WM_CLOSE));
  EXPECT_TRUE(Eventually([&] { return !IsWindow(hwnd); }));
  // The display goes on: drawing and a new window work.
  WindowThread again(PlacedAt(500, 300));
  EXPECT_TRUE(IsWindow(again.hwnd()));
}

TEST(SdlDisplayTest, AButtonHeldWhileTheLastWindowClosesIsSeenReleased) {
  NEED_X_SERVER();
  WindowSpec spec = PlacedAt(300, 300);
  spec.title = "Houd vast";
  WindowThread w(spec);
  HWND hwnd = w.hwnd();
  POINT centre{160, 120};
  ClientToScreen(hwnd, &centre);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  RunCommand("xdotool mousemove --sync " + std::to_string(centre.x) + " " + std::to_string(centre.y) + " mousedown 1");
  ASSERT_TRUE(Eventually([] { return GetAsyncKeyState(VK_LBUTTON) < -1; }));
  ASSERT_TRUE(testing_support::SendCloseRequest("Houd vast"));
  ASSERT_TRUE(Eventually([&] { return !IsWindow(hwnd); }));
  EXPECT_LT(GetAsyncKeyState(VK_LBUTTON), -1);  // still held: nothing released it
  // A program waiting for the release, with no window left, sees it.
  RunCommand("xdotool mouseup 1");
  EXPECT_TRUE(Eventually([] { return GetAsyncKeyState(VK_LBUTTON) == 0; }));
}

}  // namespace
