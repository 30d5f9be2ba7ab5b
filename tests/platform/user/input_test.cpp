// Mouse and keyboard: message encodings, polling, capture, double clicks and
// child buttons, driven through the headless display.
#include <gtest/gtest.h>
#include <winlayer/headless.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "platform/rules/poll_pacing.h"
#include "read_held.h"
#include "window_thread.h"

namespace {

namespace headless = winlayer::headless;
using testing_support::Received;
using testing_support::WindowSpec;
using testing_support::ReadHeldFor;
using testing_support::WindowThread;

std::vector<Received> Only(const std::vector<Received>& all, std::initializer_list<UINT> kinds) {
  std::vector<Received> r;
  for (const Received& m : all)
    if (std::find(kinds.begin(), kinds.end(), m.message) != kinds.end()) r.push_back(m);
  return r;
}

class InputTest : public testing::Test {
 protected:
  void TearDown() override {
    ReleaseCapture();
    for (int b : {VK_LBUTTON, VK_RBUTTON}) {
      headless::ReleaseButton(b);
      ReadHeldFor(b);  // a click still read as held would be the next test's
    }
  }
};

// A click answered by a waiting loop: the nap ends when the press comes, not when it is due.
TEST_F(InputTest, AWaitingLoopThatNapsSeesAClickAsItComes) {
  WindowThread w;
  std::atomic<bool> pressed{false};
  std::thread player([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the loop naps its longest by now
    pressed = true;
    headless::Click(VK_LBUTTON);
  });
  const std::uint64_t napsBefore = winlayer::pacing::NapCount();
  while (GetAsyncKeyState(VK_LBUTTON) >= -1) {
  }
  EXPECT_TRUE(pressed.load());
  EXPECT_GE(winlayer::pacing::NapCount() - napsBefore, 3u);  // it napped while it waited (a busy machine naps fewer, longer)
  player.join();
}

TEST_F(InputTest, ClicksArriveWithClientCoordinatesAndButtonsPollAsHeld) {
  WindowThread w;
  headless::MoveCursorToClient(w.hwnd(), 30, 40);
  EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON), 0);
  headless::PressButton(VK_LBUTTON);
  EXPECT_LT(GetAsyncKeyState(VK_LBUTTON), -1);  // the top bit, wherever the cursor is
  EXPECT_LT(GetAsyncKeyState(VK_LBUTTON), -1);  // and on every call while held
  headless::PressButton(VK_RBUTTON);
  EXPECT_LT(GetAsyncKeyState(VK_RBUTTON), -1);
  headless::ReleaseButton(VK_RBUTTON);
  headless::ReleaseButton(VK_LBUTTON);
  ReadHeldFor(VK_RBUTTON);  // a person's click after it was seen
  EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON), 0);
  EXPECT_EQ(GetAsyncKeyState(VK_RBUTTON), 0);

  ASSERT_TRUE(w.WaitFor(WM_LBUTTONUP));
  const auto clicks = Only(w.Messages(), {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONUP});
  ASSERT_EQ(clicks.size(), 4u);
  EXPECT_EQ(clicks[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(GET_X_LPARAM(clicks[0].lParam), 30);
  EXPECT_EQ(GET_Y_LPARAM(clicks[0].lParam), 40);
  EXPECT_EQ(clicks[1].message, static_cast<UINT>(WM_RBUTTONDOWN));
  EXPECT_EQ(clicks[1].wParam & (MK_LBUTTON | MK_RBUTTON), static_cast<WPARAM>(MK_LBUTTON | MK_RBUTTON));
  EXPECT_EQ(clicks[3].message, static_cast<UINT>(WM_LBUTTONUP));

  // Outside every window the buttons still poll, but no window hears of them.
  w.ClearMessages();
  headless::MoveCursor(5, 5);
  headless::PressButton(VK_LBUTTON);
  EXPECT_LT(GetAsyncKeyState(VK_LBUTTON), -1);
  headless::ReleaseButton(VK_LBUTTON);
  PostMessageA(w.hwnd(), WM_USER, 0, 0);
  ASSERT_TRUE(w.WaitFor(WM_USER));
  EXPECT_TRUE(Only(w.Messages(), {WM_LBUTTONDOWN, WM_LBUTTONUP}).empty());
}

TEST_F(InputTest, CaptureDeliversMovesOutsideWithSixteenBitCoordinates) {
  WindowThread w;
  RECT r;
  GetWindowRect(w.hwnd(), &r);
  SetCapture(w.hwnd());
  EXPECT_EQ(GetCapture(), w.hwnd());
  headless::MoveCursor(r.left - 50, r.top - 50);
  headless::ReleaseButton(VK_LBUTTON);
  ASSERT_TRUE(w.WaitFor(WM_LBUTTONUP));
  const auto moves = Only(w.Messages(), {WM_MOUSEMOVE});
  ASSERT_FALSE(moves.empty());
  POINT client{r.left - 50, r.top - 50};
  ScreenToClient(w.hwnd(), &client);
  ASSERT_LT(client.x, 0);
  EXPECT_EQ(LOWORD(moves.back().lParam), static_cast<WORD>(client.x));  // e.g. 65481 for -55
  EXPECT_GT(LOWORD(moves.back().lParam), 65000);
  EXPECT_EQ(GET_Y_LPARAM(moves.back().lParam), client.y);
  ReleaseCapture();
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(InputTest, DoubleClicksOnlyForClassesThatAskForThem) {
  WindowSpec spec;
  spec.classStyle = CS_DBLCLKS;
  WindowThread wants(spec);
  headless::MoveCursorToClient(wants.hwnd(), 10, 10);
  headless::Click(VK_LBUTTON);
  headless::Click(VK_LBUTTON);
  ASSERT_TRUE(wants.WaitFor(WM_LBUTTONDBLCLK));
  EXPECT_EQ(Only(wants.Messages(), {WM_LBUTTONDOWN}).size(), 1u);

  WindowSpec plain;
  plain.classStyle = 0;
  plain.x = 700;
  WindowThread ignores(plain);
  headless::MoveCursorToClient(ignores.hwnd(), 10, 10);
  headless::Click(VK_LBUTTON);
  headless::Click(VK_LBUTTON);
  PostMessageA(ignores.hwnd(), WM_USER, 0, 0);
  ASSERT_TRUE(ignores.WaitFor(WM_USER));
  EXPECT_EQ(Only(ignores.Messages(), {WM_LBUTTONDOWN}).size(), 2u);
  EXPECT_TRUE(Only(ignores.Messages(), {WM_LBUTTONDBLCLK}).empty());
}

TEST_F(InputTest, KeysBecomeKeyAndCharacterMessages) {
  WindowThread w;
  headless::PressKey('A');
  EXPECT_LT(GetAsyncKeyState('A'), -1);
  headless::PressKey('A');  // held: the key repeats
  headless::ReleaseKey('A');
  ReadHeldFor('A');
  EXPECT_EQ(GetAsyncKeyState('A'), 0);
  headless::PressKey(VK_SHIFT);
  headless::TypeKey('B');
  headless::ReleaseKey(VK_SHIFT);
  headless::TypeCharacter('z');
  ASSERT_TRUE(w.WaitFor(WM_CHAR, 'z'));
  const auto keys = Only(w.Messages(), {WM_KEYDOWN, WM_CHAR});
  std::string typed;
  for (const Received& k : keys)
    if (k.message == WM_CHAR) typed += static_cast<char>(k.wParam);
  EXPECT_EQ(typed, "aaBz");
  const auto downs = Only(w.Messages(), {WM_KEYDOWN});
  ASSERT_GE(downs.size(), 2u);
  EXPECT_EQ(downs[0].wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ((downs[0].lParam >> 30) & 1, 0);
  EXPECT_EQ((downs[1].lParam >> 30) & 1, 1);  // the repeat knows the key was down
}

// A child push button: a click on it tells the parent with the button's identifier.
TEST_F(InputTest, AChildButtonClickSendsItsIdentifierToTheParent) {
  WindowThread w;
  w.Answer(WM_USER + 5, [&](WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(CreateWindowExA(0, "Button", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 20, 30, 80, 24,
                                                     w.hwnd(), reinterpret_cast<HMENU>(std::uintptr_t{10003}), nullptr, nullptr));
  });
  HWND button = reinterpret_cast<HWND>(SendMessageA(w.hwnd(), WM_USER + 5, 0, 0));
  ASSERT_TRUE(IsWindow(button));
  EXPECT_EQ(GetParent(button), w.hwnd());
  headless::MoveCursorToClient(w.hwnd(), 25, 35);
  headless::Click(VK_LBUTTON);
  ASSERT_TRUE(w.WaitFor(WM_COMMAND));
  const auto command = Only(w.Messages(), {WM_COMMAND}).front();
  EXPECT_EQ(LOWORD(command.wParam), 10003);
  EXPECT_EQ(HIWORD(command.wParam), BN_CLICKED);
  EXPECT_EQ(reinterpret_cast<HWND>(command.lParam), button);
  PostMessageA(w.hwnd(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(w.WaitFor(WM_NCDESTROY));
  for (int i = 0; i < 2000 && IsWindow(w.hwnd()); ++i) Sleep(1);
  EXPECT_FALSE(IsWindow(button));  // destroyed with its parent
}

}  // namespace
