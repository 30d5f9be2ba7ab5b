// The headless display's driver, for tests and tools: a virtual screen of
// kScreenWidth x kScreenHeight pixels on which a test moves the cursor, presses buttons and
// keys, closes windows as a user would, reads and saves what windows show,
// sees and answers message boxes, and runs code every time a window's content
// is presented. Everything a driver call causes is in the windows' queues
// when the call returns.
#pragma once

#include <windows.h>
#include <winlayer/display.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace winlayer::headless {

constexpr int kScreenWidth = kDefaultScreenWidth;
constexpr int kScreenHeight = kDefaultScreenHeight;

// ---- the mouse -----------------------------------------------------------------

void MoveCursor(int x, int y);                          // screen pixels
void MoveCursorToClient(HWND window, int x, int y);     // that window's client pixels
void PressButton(int button);                           // VK_LBUTTON, VK_RBUTTON or VK_MBUTTON
void ReleaseButton(int button);
void Click(int button);                                 // press and release where the cursor is

// For tests only: how often the programs have polled the mouse buttons
// (GetAsyncKeyState); a busy loop that waits without presenting shows itself by these polls.
std::uint64_t ButtonPolls();

// ---- the keyboard ----------------------------------------------------------------

void PressKey(UINT virtualKey);
void ReleaseKey(UINT virtualKey);
void TypeKey(UINT virtualKey);  // press and release
void TypeCharacter(unsigned char character);

// ---- windows ----------------------------------------------------------------------

// Closes a window as a user does with its close box.
void ClickCloseBox(HWND window);
// The visible top-level windows, the one shown last first.
std::vector<HWND> VisibleWindows();
HWND FindWindowByTitle(const std::string& title);

struct Frame {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;  // rows from the top
  COLORREF At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]; }
};
// What the window's client area shows now.
Frame ClientPixels(HWND window);
// One pixel of it (CLR_INVALID outside the client area).
COLORREF ClientPixel(HWND window, int x, int y);
bool SaveClientPng(HWND window, const std::string& path);

// Runs on the drawing thread every time a program presents to a window (its
// pixels reach the window, or the frame is held back from the screen, see
// PlanRefresh), with no lock of the layer held. Returns an id for removal.
using PresentCallback = std::function<void(HWND window)>;
int AddPresentCallback(PresentCallback callback);
void RemovePresentCallback(int id);
// How many presents the windows have had: winlayer::PresentCount (winlayer/display.h).

// ---- deferred drawing ------------------------------------------------------------

// Bitmaps made from now on record their drawing, as a paced program's do, or
// draw at once (their choice is made at their first drawing call).
void DeferDrawing(bool on);
// The screen's next refresh, as a display's thread plans it: a present is
// shown only when no later one is due before it (the tests' screen plans none:
// every present is shown).
void PlanRefresh(std::chrono::steady_clock::time_point next);
// Recorded calls drawn so far, and frames never drawn, all bitmaps together.
std::uint64_t DeferredCallsDrawn();
std::uint64_t DeferredFramesDropped();

// ---- message boxes -------------------------------------------------------------------

struct MessageBoxRecord {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;
  int answer;
};
// The boxes shown so far, oldest first.
std::vector<MessageBoxRecord> MessageBoxes();
void ClearMessageBoxes();
// Chooses the answer of every later box; by default each box is answered with
// its first button (IDOK for MB_OK) at once.
void AnswerMessageBoxesWith(std::function<int(const MessageBoxRecord&)> answer);

}  // namespace winlayer::headless
