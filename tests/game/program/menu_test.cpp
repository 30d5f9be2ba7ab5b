// The game's start, main menu and instructions screen, scripted through the
// headless display, with the pictures the build drew.
#include <gtest/gtest.h>
#include <winlayer/objects.h>

#include <unistd.h>

#include <string>

#include "BrannowayLib.h"
#include "OperationBrannoway.h"
#include "program_script.h"

namespace {

using namespace OperationBrannoway;
using testing_support::ProgramScript;
namespace headless = winlayer::headless;

// A picture file as the game's Media folder holds it.
class PictureFile {
 public:
  explicit PictureFile(const std::string& name)
      : bitmap_(static_cast<HBITMAP>(LoadImageA(nullptr, ("Media/" + name).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE))),
        dc_(CreateCompatibleDC(nullptr)),
        old_(SelectObject(dc_, bitmap_)) {}
  ~PictureFile() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  bool Loaded() const { return bitmap_ != nullptr; }
  SIZE Size() const {
    BITMAP bm{};
    GetObjectA(bitmap_, sizeof bm, &bm);
    return {bm.bmWidth, bm.bmHeight};
  }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

 private:
  HBITMAP bitmap_;
  HDC dc_;
  HGDIOBJ old_;
};

// Whether the frame shows `picture` through `mask` at (left, top): equal wherever the mask is black.
bool ShowsMasked(const headless::Frame& f, const PictureFile& picture, const PictureFile& mask, int left, int top) {
  const SIZE s = picture.Size();
  int compared = 0;
  for (int y = 0; y < s.cy; ++y)
    for (int x = 0; x < s.cx; ++x)
      if (mask.At(x, y) == RGB(0, 0, 0)) {
        if (f.At(left + x, top + y) != picture.At(x, y)) return false;
        ++compared;
      }
  return compared > 0;
}

struct Button {
  const char* name;
  int x1, x2, y1, y2;
};
constexpr Button kStart{"PlayerVsPlayer", 211, 429, 300, 332};
constexpr Button kInstructions{"Instructions", 239, 401, 350, 375};
constexpr Button kExit{"EXIT", 560, 620, 430, 452};

bool ShowsButton(const headless::Frame& f, const Button& b, bool lit) {
  const std::string base = b.name;
  return ShowsMasked(f, PictureFile(base + (lit ? "_select.bmp" : ".bmp")), PictureFile(base + "_mono.bmp"), b.x1, b.y1);
}

class MenuTest : public testing::Test {
 protected:
  void SetUp() override {
    Start();
    headless::MoveCursor(0, 0);
  }
  ProgramScript script_{"OperationBrannoway"};
  eKlik result_ = Options;
  void RunMenu(const std::function<void(ProgramScript&)>& steps) {
    script_.Run([&] { result_ = Menu(); }, steps);
  }
};

TEST_F(MenuTest, TheWindowHasA640By480ClientAreaAndTheGamesCaption) {
  HWND window = headless::FindWindowByTitle("OperationBrannoway");
  ASSERT_NE(window, nullptr);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 640);
  EXPECT_EQ(client.bottom, 480);
  RECT outer;
  GetWindowRect(window, &outer);
  EXPECT_EQ(outer.left, 150);
  EXPECT_EQ(outer.top, 150);
}

TEST_F(MenuTest, TheMenuShowsItsButtonsAndLightsExactlyTheOneUnderTheMouse) {
  RunMenu([](ProgramScript& s) {
    s.WaitFrames(2);
    const headless::Frame first = s.Shown();
    PictureFile title("achtergrond+titel.bmp");
    EXPECT_EQ(first.At(5, 5), title.At(5, 5));
    EXPECT_EQ(first.At(320, 80), title.At(320, 80));
    for (const Button& b : {kStart, kInstructions, kExit}) EXPECT_TRUE(ShowsButton(first, b, false)) << b.name;

    for (POINT corner : {POINT{211, 300}, POINT{429, 332}}) {  // the edges count as over the button
      s.MoveTo(corner.x, corner.y);
      s.WaitFrames(2);
      const headless::Frame lit = s.Shown();
      EXPECT_TRUE(ShowsButton(lit, kStart, true)) << corner.x;
      EXPECT_TRUE(ShowsButton(lit, kInstructions, false));
      EXPECT_TRUE(ShowsButton(lit, kExit, false));
    }
    s.MoveTo(430, 333);
    s.WaitFrames(2);
    EXPECT_TRUE(ShowsButton(s.Shown(), kStart, false));
    s.MoveTo(kExit.x2, kExit.y1);
    s.WaitFrames(2);
    EXPECT_TRUE(ShowsButton(s.Shown(), kExit, true));
    EXPECT_TRUE(ShowsButton(s.Shown(), kStart, false));
    s.Close();
  });
  EXPECT_EQ(result_, Exit);
}

TEST_F(MenuTest, ALeftClickOnTheStartButtonReturnsPlayerVsPlayer) {
  RunMenu([](ProgramScript& s) {
    s.MoveTo(300, 310);
    s.WaitFrames(2);
    s.Press(VK_LBUTTON);
  });
  EXPECT_EQ(result_, PlayerVsPlayer);
}

TEST_F(MenuTest, ARightClickOverAButtonDoesNothing) {
  RunMenu([](ProgramScript& s) {
    for (POINT p : {POINT{300, 310}, POINT{300, 360}, POINT{580, 440}}) {
      s.MoveTo(p.x, p.y);
      s.WaitFrames(2);
      s.Press(VK_RBUTTON);
      EXPECT_TRUE(s.WaitFrames(20));
      s.Release(VK_RBUTTON);
    }
    EXPECT_FALSE(s.ProgramEnded());
    s.Close();
  });
  EXPECT_EQ(result_, Exit);
}

TEST_F(MenuTest, TheInstructionsOpenAfterTheReleaseAndCloseWithoutReachingTheMenu) {
  RunMenu([](ProgramScript& s) {
    s.MoveTo(300, 360);
    s.WaitFrames(2);
    s.Press(VK_LBUTTON);
    ASSERT_TRUE(s.WaitQuiet());  // the screen waits for the opening click to end
    const int before = s.Frames();
    s.Release(VK_LBUTTON);
    ASSERT_TRUE(s.WaitQuiet());  // drawn once, then waiting for a click
    EXPECT_EQ(s.Frames(), before + 1);
    const headless::Frame shown = s.Shown();
    PictureFile chart("Achtergrond.bmp");
    EXPECT_EQ(shown.At(300, 400), chart.At(300, 400));
    // Every row of text is where the table puts it: white letters near its corner.
    const POINT rows[] = {{10, 10}, {15, 50}, {10, 70}, {10, 90}, {10, 110}, {15, 140}, {10, 160}, {10, 180},
                          {10, 200}, {10, 220}, {10, 240}, {10, 260}, {15, 290}, {10, 310}, {20, 450}};
    for (POINT r : rows) {
      int white = 0;
      for (int y = r.y; y < r.y + 18; ++y)
        for (int x = r.x; x < r.x + 60; ++x) white += shown.At(x, y) == RGB(255, 255, 255);
      EXPECT_GT(white, 10) << r.x << "," << r.y;
    }
    EXPECT_EQ(shown.At(300, 30), chart.At(300, 30));  // right of the title row: only the picture

    // Closed with a click where the exit button lies: the screen waits for the release.
    s.MoveTo(580, 440);
    s.Press(VK_LBUTTON);  // the screen is waiting without drawing: the place of the press is all one
    ASSERT_TRUE(s.WaitQuiet());
    s.Release(VK_LBUTTON);
    ASSERT_TRUE(s.WaitFrames(3));
    EXPECT_FALSE(s.ProgramEnded());
    PictureFile title("achtergrond+titel.bmp");
    EXPECT_EQ(s.Shown().At(320, 80), title.At(320, 80));  // the menu background again
    s.Close();
  });
  EXPECT_EQ(result_, Exit);
  EXPECT_EQ(BrannowayLib::VensterBestaat(), FALSE);
}

TEST_F(MenuTest, ARightClickClosesTheInstructionsToo) {
  RunMenu([](ProgramScript& s) {
    s.MoveTo(300, 360);
    s.WaitFrames(2);
    s.Press(VK_LBUTTON);
    s.WaitQuiet();
    s.Release(VK_LBUTTON);
    s.WaitQuiet();
    s.Press(VK_RBUTTON);
    s.WaitQuiet();
    s.Release(VK_RBUTTON);
    EXPECT_TRUE(s.WaitFrames(2));  // the menu runs again
    s.MoveTo(590, 440);
    s.WaitFrames(2);
    s.Press(VK_LBUTTON);
  });
  EXPECT_EQ(result_, Exit);
  EXPECT_EQ(BrannowayLib::VensterBestaat(), TRUE);  // left by the EXIT button, not by closing
}

TEST_F(MenuTest, WithoutItsPicturesTheMenuStillReacts) {
  char here[4096];
  ASSERT_NE(getcwd(here, sizeof here), nullptr);
  ASSERT_EQ(chdir("/"), 0);  // no Media folder here
  RunMenu([](ProgramScript& s) {
    s.MoveTo(300, 310);
    s.WaitFrames(2);
    s.Press(VK_LBUTTON);
  });
  ASSERT_EQ(chdir(here), 0);
  EXPECT_EQ(result_, PlayerVsPlayer);
}

class ProgramTest : public testing::Test {
 protected:
  ProgramScript script_{"OperationBrannoway"};
};

TEST_F(ProgramTest, ExitEndsTheProgramWithEveryPictureReleased) {
  Start();
  const std::size_t bitmaps = winlayer::LiveGdiObjects(OBJ_BITMAP);  // the back buffer and nothing else of ours
  script_.Run(OperationBrannoway::Run, [](ProgramScript& s) {
    s.MoveTo(590, 440);
    s.WaitFrames(2);
    s.Press(VK_LBUTTON);
  });
  EXPECT_TRUE(BrannowayLib::VensterBestaat());
  EXPECT_EQ(winlayer::LiveGdiObjects(OBJ_BITMAP), bitmaps);
}

TEST_F(ProgramTest, ClosingTheWindowOnAnyScreenEndsTheProgramCleanly) {
  Start();
  const std::size_t bitmaps = winlayer::LiveGdiObjects(OBJ_BITMAP);  // the back buffer and nothing else of ours
  script_.Run(OperationBrannoway::Run, [](ProgramScript& s) {
    s.WaitFrames(2);
    s.Close();
  });
  EXPECT_FALSE(BrannowayLib::VensterBestaat());
  EXPECT_EQ(winlayer::LiveGdiObjects(OBJ_BITMAP), bitmaps);

  script_.Run(OperationBrannoway::Run, [](ProgramScript& s) {
    s.MoveTo(300, 360);
    s.WaitFrames(2);
    s.Press(VK_LBUTTON);
    s.WaitQuiet();
    s.Release(VK_LBUTTON);
    s.WaitQuiet();
    s.Close();  // on the instructions screen
  });
  EXPECT_FALSE(BrannowayLib::VensterBestaat());
  EXPECT_EQ(winlayer::LiveGdiObjects(OBJ_BITMAP), bitmaps);
}

TEST(PictureFilesTest, EveryPictureExistsWithItsSizeAndEveryMaskFitsItsPictures) {
  struct Expected {
    const char* name;
    int width, height;
  };
  const Expected sizes[] = {
      {"achtergrond+titel", 640, 480}, {"Achtergrond", 640, 480}, {"PlayerVsPlayer", 219, 33},
      {"PlayerVsPlayer_select", 219, 33}, {"PlayerVsPlayer_mono", 219, 33}, {"Instructions", 163, 26},
      {"Instructions_select", 163, 26}, {"Instructions_mono", 163, 26}, {"EXIT", 61, 23}, {"EXIT_select", 61, 23},
      {"EXIT_mono", 61, 23}, {"SideBar", 150, 480}, {"Knop1", 65, 65},
  };
  for (const Expected& e : sizes) {
    PictureFile p(std::string(e.name) + ".bmp");
    ASSERT_TRUE(p.Loaded()) << e.name;
    EXPECT_EQ(p.Size().cx, e.width) << e.name;
    EXPECT_EQ(p.Size().cy, e.height) << e.name;
  }
  EXPECT_EQ(PictureFile("Horizon.bmp").Size().cx, 490);
  EXPECT_GE(PictureFile("Horizon.bmp").Size().cy, 26);
  EXPECT_NE(BrannowayLib::LaadBitmap("Media/Horizon.bmp"), 0u);

  struct Masked {
    std::string mask;
    std::vector<std::string> pictures;
  };
  std::vector<Masked> sets = {{"PlayerVsPlayer_mono", {"PlayerVsPlayer", "PlayerVsPlayer_select"}},
                              {"Instructions_mono", {"Instructions", "Instructions_select"}},
                              {"EXIT_mono", {"EXIT", "EXIT_select"}}};
  for (const char* w : {"Missile", "Radar", "Missile3", "Missile4", "Missile5"})
    sets.push_back({std::string(w) + "Mask", {w, std::string(w) + "Down"}});
  for (const Masked& set : sets) {
    PictureFile mask(set.mask + ".bmp");
    ASSERT_TRUE(mask.Loaded()) << set.mask;
    int opaque = 0, transparent = 0;
    for (const std::string& name : set.pictures) {
      PictureFile picture(name + ".bmp");
      ASSERT_TRUE(picture.Loaded()) << name;
      ASSERT_EQ(picture.Size().cx, mask.Size().cx) << name;
      ASSERT_EQ(picture.Size().cy, mask.Size().cy) << name;
      for (int y = 0; y < mask.Size().cy; ++y)
        for (int x = 0; x < mask.Size().cx; ++x) {
          const COLORREF m = mask.At(x, y);
          ASSERT_TRUE(m == RGB(0, 0, 0) || m == RGB(255, 255, 255)) << set.mask;
          if (m == RGB(255, 255, 255)) {
            ASSERT_EQ(picture.At(x, y), RGB(0, 0, 0)) << name << " at " << x << "," << y;
          }
          (m == RGB(0, 0, 0) ? opaque : transparent)++;
        }
    }
    EXPECT_GT(opaque, 0) << set.mask;
    EXPECT_GT(transparent, 0) << set.mask;
  }
  for (const char* w : {"Missile", "Radar", "Missile3", "Missile4", "Missile5"}) {
    EXPECT_EQ(PictureFile(std::string(w) + ".bmp").Size().cx, 65) << w;
    EXPECT_EQ(PictureFile(std::string(w) + "Down.bmp").Size().cy, 65) << w;
  }
}

}  // namespace
