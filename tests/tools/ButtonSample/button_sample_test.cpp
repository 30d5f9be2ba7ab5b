// ButtonSample scripted from start to end on the headless display: the
// script moves and presses the mouse between frames.
#include <gtest/gtest.h>
#include <winlayer/headless.h>

#include <functional>
#include <string>

#include "BrannowayLib.h"
#include "ButtonSample.h"
#include "program_frames.h"

namespace {

namespace headless = winlayer::headless;

// Text is drawn over the last frame's text with grey-level edges, so a
// button's colour shows as pixels near red or near white.
bool Red(COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) < 90 && GetBValue(c) < 90; }
bool White(COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) > 200 && GetBValue(c) > 200; }

// Runs the program; `script` sees each presented frame (numbered from 1) and
// may move the mouse or press buttons for the next one. The run is stopped
// (its window closed) after `limit` frames if it has not ended by itself.
struct ProgramRun {
  int frames = 0;
  bool endedByItself = false;
  headless::Frame last;
};

ProgramRun RunButtonSample(std::function<void(int frame, HWND window)> script, int limit = 200) {
  ProgramRun run;
  bool closing = false;
  const int id = testing_support::AddProgramFrameCallback([&](HWND window) {
    if (window != headless::FindWindowByTitle("Titel")) return;
    ++run.frames;
    run.last = headless::ClientPixels(window);
    if (run.frames >= limit) {
      if (!closing) headless::ClickCloseBox(window);
      closing = true;
      return;
    }
    script(run.frames, window);
  });
  headless::MoveCursor(0, 0);  // the first frame is drawn before the script moves the mouse
  ButtonSample::Run();
  headless::RemovePresentCallback(id);
  run.endedByItself = !closing;
  for (int b : {VK_LBUTTON, VK_RBUTTON}) headless::ReleaseButton(b);
  return run;
}

// Whether a colour shows in the text area of a button (its sensitive box).
bool Shows(const headless::Frame& f, int top, bool (*colour)(COLORREF)) {
  for (int y = top; y <= top + 20; ++y)
    for (int x = 50; x <= 250; ++x)
      if (colour(f.At(x, y))) return true;
  return false;
}

class ButtonSampleTest : public testing::Test {
 protected:
  void SetUp() override { headless::MoveCursor(0, 0); }
};

TEST_F(ButtonSampleTest, TheButtonUnderTheMouseTurnsRedAndTheTitleStays) {
  const ProgramRun run = RunButtonSample(
      [](int frame, HWND window) {
        if (frame == 2) headless::MoveCursorToClient(window, 60, 135);
      },
      5);
  EXPECT_FALSE(run.endedByItself);
  EXPECT_TRUE(Shows(run.last, 130, Red));     // "Opties"
  EXPECT_FALSE(Shows(run.last, 100, Red));    // "Spelen"
  EXPECT_TRUE(Shows(run.last, 100, White));
  EXPECT_FALSE(Shows(run.last, 160, Red));    // "Afsluiten"
  bool cyanTitle = false;
  for (int y = 5; y < 45; ++y)
    for (int x = 5; x < 200; ++x) cyanTitle = cyanTitle || run.last.At(x, y) == RGB(0, 255, 255);
  EXPECT_TRUE(cyanTitle);
}

TEST_F(ButtonSampleTest, TheBoxesRightAndBottomEdgesCountAsOver) {
  const ProgramRun over = RunButtonSample(
      [](int frame, HWND window) {
        if (frame == 1) headless::MoveCursorToClient(window, 250, 150);  // x + breedte, y + hoogte of "Opties"
      },
      4);
  EXPECT_TRUE(Shows(over.last, 130, Red));
  const ProgramRun beyond = RunButtonSample(
      [](int frame, HWND window) {
        if (frame == 1) headless::MoveCursorToClient(window, 251, 150);
      },
      4);
  EXPECT_FALSE(Shows(beyond.last, 130, Red));
}

TEST_F(ButtonSampleTest, AClickOnAfsluitenEndsTheProgram) {
  const ProgramRun run = RunButtonSample([](int frame, HWND window) {
    if (frame == 3) headless::MoveCursorToClient(window, 70, 165);
    if (frame == 5) headless::PressButton(VK_LBUTTON);
  });
  EXPECT_TRUE(run.endedByItself);
  EXPECT_EQ(run.frames, 6);  // the frame of the click is still presented
}

TEST_F(ButtonSampleTest, ClicksOnTheOtherButtonsDoNothingMore) {
  const ProgramRun run = RunButtonSample(
      [](int frame, HWND window) {
        if (frame == 2) headless::MoveCursorToClient(window, 70, 105);
        if (frame == 3) headless::PressButton(VK_LBUTTON);
        if (frame == 5) headless::ReleaseButton(VK_LBUTTON);
        if (frame == 6) headless::MoveCursorToClient(window, 70, 135);
        if (frame == 7) headless::Click(VK_LBUTTON);
      },
      12);
  EXPECT_FALSE(run.endedByItself);  // it ran until the script closed it
  EXPECT_GE(run.frames, 12);
}

TEST_F(ButtonSampleTest, AButtonAlreadyHeldEndsItOnArrivalOverAfsluiten) {
  const ProgramRun run = RunButtonSample([](int frame, HWND window) {
    if (frame == 2) headless::PressButton(VK_LBUTTON);
    if (frame == 4) headless::MoveCursorToClient(window, 70, 165);
  });
  EXPECT_TRUE(run.endedByItself);
  EXPECT_EQ(run.frames, 5);
}

TEST_F(ButtonSampleTest, TheRightButtonAloneNeverEndsItButBothDo) {
  const ProgramRun right = RunButtonSample(
      [](int frame, HWND window) {
        if (frame == 1) headless::MoveCursorToClient(window, 70, 165);
        if (frame == 2) headless::PressButton(VK_RBUTTON);
      },
      20);
  EXPECT_FALSE(right.endedByItself);
  const ProgramRun both = RunButtonSample([](int frame, HWND window) {
    if (frame == 1) headless::MoveCursorToClient(window, 70, 165);
    if (frame == 2) headless::PressButton(VK_RBUTTON);
    if (frame == 6) headless::PressButton(VK_LBUTTON);
  });
  EXPECT_TRUE(both.endedByItself);
  EXPECT_EQ(both.frames, 7);
}

TEST_F(ButtonSampleTest, ClosingTheWindowEndsIt) {
  const ProgramRun run = RunButtonSample(
      [](int frame, HWND window) {
        if (frame == 3) headless::ClickCloseBox(window);
      },
      1000);
  EXPECT_TRUE(run.endedByItself);
  EXPECT_GE(run.frames, 3);
  EXPECT_LT(run.frames, 1000);
  EXPECT_FALSE(BrannowayLib::VensterBestaat());
}

}  // namespace
