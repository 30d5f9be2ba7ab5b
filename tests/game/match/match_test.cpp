// The match: its parts called directly where a rule is about one of them,
// and whole matches played by a scripted player that sees only the
// presented pixels and moves only the mouse.
#include <gtest/gtest.h>

#include <atomic>
#include <winlayer/display.h>
#include <winlayer/objects.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "BrannowayLib.h"
#include "firing_motion.h"
#include "match.h"
#include "program_frames.h"
#include "program_script.h"
#include "square_pixel.h"
#include "runtime/numeric.h"
#include "state.h"

namespace {

using namespace OperationBrannoway;
using namespace BrannowayProcs;
using testing_support::ProgramScript;
namespace headless = winlayer::headless;

std::uint64_t Frames() { return winlayer::PresentCount(); }

// Counts the frames a call presents.
std::uint64_t FramesOf(const std::function<void()>& call) {
  const std::uint64_t before = Frames();
  call();
  return Frames() - before;
}

tSchip Ship(std::int32_t x, std::int32_t y, eOrientatie o, std::uint8_t length) { return ShipAt({x, y}, o, length); }

// The test fleet of both players: the four ships upright in columns 1, 3, 5, 7, their sterns in row 0.
void GiveFleet(Match& m, std::uint32_t p) {
  const tSchip fleet[4] = {Ship(7, 1, Verticaal, 2), Ship(5, 2, Verticaal, 3), Ship(3, 3, Verticaal, 4), Ship(1, 4, Verticaal, 5)};
  for (std::uint32_t k = 1; k <= 4; ++k) {
    m.Schepen[p][k] = fleet[k - 1];
    MaakSchip(m.Schepen[p][k], m.Veld[p]);
  }
}

using testing_support::SquarePixel;

class MatchTest : public testing::Test {
 protected:
  void SetUp() override {
    Start();
    headless::MoveCursor(0, 0);
    match_ = std::make_unique<Match>(PlayerVsPlayer);
    ASSERT_TRUE(match_->Prepare());
  }
  void TearDown() override {
    if (match_) match_->Finish();
    for (int b : {VK_LBUTTON, VK_RBUTTON}) headless::ReleaseButton(b);
  }
  // Both fleets placed, the camera at player 1's side.
  Match& Ready() {
    GiveFleet(*match_, 1);
    GiveFleet(*match_, 2);
    match_->DraaiCameraNaar(1, 3);
    return *match_;
  }
  std::unique_ptr<Match> match_;
};

TEST_F(MatchTest, FieldsAndStocksAtTheStart) {
  Match& m = *match_;
  EXPECT_FLOAT_EQ(m.Veld[1].Pos.x, -18.75f);
  EXPECT_FLOAT_EQ(m.Veld[1].Pos.z, -27.5f);
  EXPECT_FLOAT_EQ(m.Veld[2].Pos.z, 2.5f);
  EXPECT_FALSE(m.Veld[1].Geinverteerd);
  EXPECT_TRUE(m.Veld[2].Geinverteerd);
  EXPECT_EQ(m.Veld[1].Color, BrannowayLib::Kleur(0, 0, 255));
  EXPECT_EQ(m.Veld[2].Color, BrannowayLib::Kleur(0, 255, 0));
  for (std::uint32_t p = 1; p <= 2; ++p) {
    EXPECT_TRUE(m.Wapenlijst[p][1].Ongelimiteerd);
    EXPECT_EQ(m.Wapenlijst[p][2].AantalResterend, 2u);
    EXPECT_EQ(m.Wapenlijst[p][3].AantalResterend, 3u);
    EXPECT_EQ(m.Wapenlijst[p][4].AantalResterend, 2u);
    EXPECT_EQ(m.Wapenlijst[p][5].AantalResterend, 1u);
    EXPECT_EQ(m.SpelerWapen[p], 1u);
  }
  EXPECT_FLOAT_EQ(m.CamRadius, 43.75f);
  EXPECT_FLOAT_EQ(m.CamViewDist, 30.0f);
}

TEST_F(MatchTest, AFlightIs500FramesAndNoneToTheSideInView) {
  Match& m = *match_;
  EXPECT_EQ(FramesOf([&] { m.DraaiCameraNaar(1, 3); }), 500u);
  EXPECT_EQ(m.CamAngle, kHalfTurn);
  EXPECT_EQ(FramesOf([&] { m.DraaiCameraNaar(1, 1); }), 0u);
  EXPECT_EQ(FramesOf([&] { m.DraaiCameraNaar(2, 3); }), 500u);
  EXPECT_EQ(m.CamAngle, kFullTurn);  // stays at the full turn
  EXPECT_FLOAT_EQ(m.CamHeight, 30.0f);
  EXPECT_NEAR(Cam.z, 43.75f, 1e-3f);  // the picking ray starts behind field 2
  EXPECT_EQ(FramesOf([&] { m.DraaiCameraNaar(2, 2); }), 0u);
}

TEST_F(MatchTest, ShotsTakeTheirFramesFromDepartureToArrival) {
  Match& m = Ready();
  const POINT targets[5] = {{9, 9}, {10, 8}, {11, 7}, {12, 6}, {13, 5}};  // water
  struct Case {
    std::uint32_t weapon;
    std::uint64_t departure, arrival;
  };
  // The expected lengths follow from the motions (firing_motion.h):
  // - departure: the lowest of n projectiles starts (n - 1) launch staggers down and rises
  //   a·k after k frames, a·f(f+1)/2 in all: the first f reaching the band's top.
  // - arrival: the highest starts (n - 1) arrival staggers above the top and falls at a
  //   steady speed: (top + (n - 1)·stagger) / speed frames until it is in the water.
  // - the radar: two turns in radar steps, once from the ship and once on each of 4 squares.
  auto departure = [](int n) {
    const double height = kBandTop + (n - 1) * kLaunchStagger;
    return static_cast<std::uint64_t>(std::ceil((std::sqrt(1 + 8 * height / kDepartureAcceleration) - 1) / 2));
  };
  auto arrival = [](int n) { return static_cast<std::uint64_t>(std::lround((kBandTop + (n - 1) * kArrivalStagger) / -kArrivalSpeed)); };
  const auto sweep = static_cast<std::uint64_t>(std::ceil(kSweepEnd / kRadarStep));
  for (const Case& c : {Case{1, departure(1), arrival(1)}, Case{3, departure(3), arrival(3)}, Case{4, departure(4), arrival(4)},
                        Case{5, departure(5), arrival(5)}, Case{2, sweep, 4 * sweep}}) {
    EXPECT_EQ(FramesOf([&] { m.SchietOpDoelwit(2, 1, c.weapon, targets, true); }), c.departure + c.arrival) << c.weapon;
    EXPECT_EQ(FramesOf([&] { m.SchietOpDoelwit(2, 1, c.weapon, targets, false); }), c.arrival) << c.weapon;
  }
  EXPECT_EQ(FramesOf([&] { m.SchietOpDoelwit(2, 1, 6, targets, true); }), 0u);  // no such weapon
  headless::ClearMessageBoxes();
  EXPECT_EQ(FramesOf([&] { m.SchietOpDoelwit(2, 1, 2, runtime::View<const POINT>(targets, 3), false); }), 0u);
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  EXPECT_EQ(headless::MessageBoxes()[0].text, "Niet genoeg array elementen voor doelen!");
  EXPECT_EQ(headless::MessageBoxes()[0].caption, "Programmeerfout in SchietOpDoelwit()");
}

TEST_F(MatchTest, ASquareIsChargedToItsShipOnlyOnce) {
  Match& m = Ready();
  const POINT same[5] = {{5, 2}, {5, 2}, {5, 2}, {0, 0}, {0, 0}};
  m.SchietOpDoelwit(2, 1, 3, same, false);  // three projectiles on one square of the length-3 ship
  EXPECT_EQ((*m.Veld[1].Info)[5][2], Geraakt);
  EXPECT_EQ(m.Schepen[1][2].Leven, 2);
  m.SchietOpDoelwit(2, 1, 3, same, false);  // the replay changes nothing
  EXPECT_EQ(m.Schepen[1][2].Leven, 2);
  m.SchietVeldInfo(1, 14, 9);
  m.SchietVeldInfo(1, 14, 9);
  EXPECT_EQ((*m.Veld[1].Info)[14][9], Gemist);
  m.SchietVeldInfo(1, 7, 0);
  m.SchietVeldInfo(1, 7, 1);
  EXPECT_EQ(m.Schepen[1][1].Leven, 0);  // the length-2 ship is sunk
  int marked = 0;
  for (std::int32_t x = 0; x < 15; ++x)
    for (std::int32_t y = 0; y < 10; ++y) marked += (*m.Veld[1].Info)[x][y] != Vrij;
  EXPECT_EQ(marked, 4);
}

TEST_F(MatchTest, TheRadarColoursItsSquaresAndRecordsNothing) {
  Match& m = Ready();
  m.Schepen[1][1].Leven = 0;  // a sunk ship still shows red
  const POINT block[5] = {{7, 0}, {8, 0}, {7, 1}, {8, 1}, {0, 0}};
  const POINT shipSquare = SquarePixel(m, 1, 1, 7, 0), waterSquare = SquarePixel(m, 1, 1, 8, 0);
  std::vector<COLORREF> seen;
  int frame = 0;
  const int id = testing_support::AddProgramFrameCallback([&](HWND w) {
    ++frame;
    if (frame == 20) seen.push_back(headless::ClientPixel(w, shipSquare.x + 3, shipSquare.y + 3));
    if (frame == 1257 + 20) seen.push_back(headless::ClientPixel(w, waterSquare.x + 3, waterSquare.y + 3));
  });
  m.SchietOpDoelwit(2, 1, 2, block, false);
  headless::RemovePresentCallback(id);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], RGB(255, 0, 0));
  EXPECT_EQ(seen[1], RGB(0, 255, 255));
  for (std::int32_t x = 0; x < 15; ++x)
    for (std::int32_t y = 0; y < 10; ++y) ASSERT_EQ((*m.Veld[1].Info)[x][y], Vrij);
}

TEST_F(MatchTest, WeaponsLeaveFromTheHighestQualifyingShip) {
  Match& m = Ready();
  m.Schepen[1][3].Leven = 0;
  m.Schepen[1][4].Leven = 0;
  const POINT target[5] = {{9, 9}, {9, 9}, {9, 9}, {9, 9}, {9, 9}};
  // With ships 3 and 4 sunk, the missile leaves from the front of ship 2 (5, 2): seen there early in the departure.
  m.DraaiCameraNaar(2, 3);
  const POINT front = SquarePixel(m, 2, 1, 5, 2);
  bool seenNearFront = false;
  int frame = 0;
  const int id = testing_support::AddProgramFrameCallback([&](HWND w) {
    if (++frame != 40) return;
    for (int y = front.y - 30; y < front.y + 5; ++y)
      for (int x = front.x - 6; x <= front.x + 6; ++x) {
        const COLORREF c = headless::ClientPixel(w, x, y);
        if (c != CLR_INVALID && GetRValue(c) > 150 && GetGValue(c) < 60 && GetBValue(c) < 60) seenNearFront = true;  // the red nose
      }
  });
  m.SchietOpDoelwit(1, 2, 1, target, true);
  headless::RemovePresentCallback(id);
  EXPECT_TRUE(seenNearFront);
}

TEST_F(MatchTest, TheComputerPlacesTheSameFleetForTheSameRandomStateAndDrawsNothing) {
  Match& m = *match_;
  auto fleet = [&] {
    std::vector<std::tuple<int, int, int>> f;
    for (std::uint32_t k = 1; k <= 4; ++k)
      f.emplace_back(m.Schepen[1][k].Voorkant.x, m.Schepen[1][k].Voorkant.y, m.Schepen[1][k].Orientatie);
    return f;
  };
  runtime::SeedRandom(2026);
  EXPECT_EQ(FramesOf([&] { m.KiesSchepen(1, true); }), 0u);
  const auto first = fleet();
  runtime::SeedRandom(2026);
  m.KiesSchepen(1, true);
  EXPECT_EQ(fleet(), first);
  std::set<std::pair<int, int>> covered;
  for (std::uint32_t k = 1; k <= 4; ++k) {
    const tSchip& s = m.Schepen[1][k];
    EXPECT_EQ(s.Lengte, k + 1);
    EXPECT_EQ(s.Leven, k + 1);
    for (int j = 0; j < s.Lengte; ++j) {
      const int x = s.Orientatie == Verticaal ? s.Voorkant.x : s.Voorkant.x - j;
      const int y = s.Orientatie == Verticaal ? s.Voorkant.y - j : s.Voorkant.y;
      EXPECT_TRUE(x >= 0 && x < 15 && y >= 0 && y < 10);
      EXPECT_TRUE(covered.insert({x, y}).second);  // no square shared
    }
  }
}

// The sidebar's button k, drawn as a picture through its mask at its corner.
bool SidebarShows(const headless::Frame& f, const char* picture, const char* mask, int x1, int y1) {
  HBITMAP p = static_cast<HBITMAP>(LoadImageA(nullptr, picture, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  HBITMAP k = static_cast<HBITMAP>(LoadImageA(nullptr, mask, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  HDC pd = CreateCompatibleDC(nullptr), kd = CreateCompatibleDC(nullptr);
  HGDIOBJ po = SelectObject(pd, p), ko = SelectObject(kd, k);
  bool same = true;
  int compared = 0;
  for (int y = 0; y < 65 && same; ++y)
    for (int x = 0; x < 46; ++x)  // the count's corner is left out
      if (GetPixel(kd, x, y) == RGB(0, 0, 0)) {
        same = same && f.At(x1 + x, y1 + y) == GetPixel(pd, x, y);
        ++compared;
      }
  SelectObject(pd, po);
  SelectObject(kd, ko);
  DeleteDC(pd);
  DeleteDC(kd);
  DeleteObject(p);
  DeleteObject(k);
  return same && compared > 0;
}

TEST_F(MatchTest, TheSidebarOffersOnlyUsableWeapons) {
  Match& m = Ready();
  HWND window = headless::FindWindowByTitle("OperationBrannoway");
  auto frameWithMouseAt = [&](int x, int y, bool press) {
    headless::MoveCursorToClient(window, x, y);
    if (press) headless::PressButton(VK_LBUTTON);
    m.TekenGUI();
    BrannowayLib::Update();
    headless::ReleaseButton(VK_LBUTTON);
    return headless::ClientPixels(window);
  };
  // Ship 1 (length 2) sunk: the radar can't be chosen and stays "Down" under the mouse.
  m.Schepen[1][1].Leven = 0;
  headless::Frame f = frameWithMouseAt(600, 230, true);
  EXPECT_EQ(m.SpelerWapen[1], 1u);
  EXPECT_TRUE(SidebarShows(f, "Media/RadarDown.bmp", "Media/RadarMask.bmp", 569, 196));
  // Weapon 5 out of shots: also unusable.
  m.Wapenlijst[1][5].AantalResterend = 0;
  frameWithMouseAt(560, 370, true);
  EXPECT_EQ(m.SpelerWapen[1], 1u);
  // Weapon 3 chosen: it lights up, and buttons 4 and 5 are not drawn in that frame.
  frameWithMouseAt(0, 0, false);
  f = frameWithMouseAt(530, 300, true);
  EXPECT_EQ(m.SpelerWapen[1], 3u);
  EXPECT_TRUE(SidebarShows(f, "Media/Missile3.bmp", "Media/Missile3Mask.bmp", 497, 266));
  HBITMAP bar = static_cast<HBITMAP>(LoadImageA(nullptr, "Media/SideBar.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  HDC bd = CreateCompatibleDC(nullptr);
  HGDIOBJ bo = SelectObject(bd, bar);
  EXPECT_EQ(f.At(600, 300), GetPixel(bd, 110, 300));  // the sidebar itself where button 4 would be
  EXPECT_EQ(f.At(565, 370), GetPixel(bd, 75, 370));
  SelectObject(bd, bo);
  DeleteDC(bd);
  DeleteObject(bar);
  // The gaps between buttons are no button.
  for (POINT gap : {POINT{565, 220}, POINT{530, 263}, POINT{600, 333}}) {
    frameWithMouseAt(gap.x, gap.y, true);
    EXPECT_EQ(m.SpelerWapen[1], 3u);
  }
  f = frameWithMouseAt(0, 0, false);
  EXPECT_TRUE(SidebarShows(f, "Media/Missile5Down.bmp", "Media/Missile5Mask.bmp", 533, 336));
}

TEST_F(MatchTest, AWeaponWhoseShipSankFallsBackToTheMissileWhenTheChoiceBegins) {
  Match& m = Ready();
  m.SpelerWapen[1] = 3;
  m.Schepen[1][2].Leven = 0;  // the length-3 ship
  std::uint32_t chosenInChoice = 0;
  int frame = 0;
  const int id = testing_support::AddProgramFrameCallback([&](HWND w) {
    if (++frame == 510) {  // after the flight, in the choice
      chosenInChoice = m.SpelerWapen[1];
      headless::ClickCloseBox(w);
    }
  });
  runtime::Array<POINT, 0, 4> doel{};
  std::uint32_t wapen = 0;
  m.KiesSchieten(1, doel, wapen);
  headless::RemovePresentCallback(id);
  EXPECT_EQ(chosenInChoice, 1u);
  EXPECT_EQ(wapen, 1u);
  EXPECT_EQ(m.Wapenlijst[1][3].AantalResterend, 3u);  // nothing spent for weapon 3
}

// A tap or a synthetic click is a press and its release between two frames;
// target choice reads the button for the field before the sidebar reads it
// for its buttons: every such click on a weapon's button chooses the weapon.
TEST_F(MatchTest, InstantClicksOnEachWeaponButtonChooseThatWeapon) {
  Match& m = Ready();
  std::atomic<std::uint32_t> chosen{0};  // as the program's frames show it
  const int id = testing_support::AddProgramFrameCallback([&](HWND) { chosen = m.SpelerWapen[1]; });
  ProgramScript script("OperationBrannoway");
  int chosenRight = 0, clicks = 0;
  std::string wrong;
  runtime::Array<POINT, 0, 4> doel{};
  std::uint32_t wapen = 0;
  script.Run([&] { m.KiesSchieten(1, doel, wapen); }, [&](ProgramScript& s) {
    s.MoveTo(560, 120);  // above the buttons, off the field
    ASSERT_TRUE(s.WaitFrames(520));  // the flight, then the choice
    for (int round = 0; round < 4; ++round)
      for (std::uint32_t w : {2u, 3u, 4u, 5u, 1u}) {
        const ButtonCorner c = Weapon(w).live;
        s.MoveTo(c.x + kWeaponButtonSide / 2, c.y + kWeaponButtonSide / 2);
        ASSERT_TRUE(s.WaitFrames(3));
        s.Press(VK_LBUTTON);
        s.Release(VK_LBUTTON);
        ASSERT_TRUE(s.WaitFrames(3));
        ++clicks;
        if (chosen == w) ++chosenRight;
        else wrong += " " + std::to_string(w) + " (chose " + std::to_string(chosen.load()) + ")";
      }
    s.Close();
  });
  headless::RemovePresentCallback(id);
  EXPECT_EQ(chosenRight, clicks) << "clicked, not chosen:" << wrong;
  EXPECT_EQ(clicks, 20);
  EXPECT_EQ(m.Wapenlijst[1][3].AantalResterend, 3u);  // nothing fired
}

TEST(MatchSetUpTest, AFailedGridEndsTheMatchCleanly) {
  Start();
  const std::size_t bitmaps = winlayer::LiveGdiObjects(OBJ_BITMAP);
  headless::ClearMessageBoxes();
  Match::MakeGrid = [](std::uint32_t, std::uint32_t) -> tVeldInfo* { return nullptr; };
  Spel(PlayerVsPlayer);
  Match::MakeGrid = [](std::uint32_t c, std::uint32_t r) -> tVeldInfo* { return new tVeldInfo(c, r); };
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  EXPECT_EQ(headless::MessageBoxes()[0].text, "Kon niet genoeg geheugen vrijmaken.");
  EXPECT_EQ(headless::MessageBoxes()[0].caption, "Error");
  EXPECT_EQ(headless::MessageBoxes()[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_EQ(winlayer::LiveGdiObjects(OBJ_BITMAP), bitmaps);
  EXPECT_TRUE(BrannowayLib::VensterBestaat());  // back to the menu
}

// ---- whole matches, played through the mouse ---------------------------------------------

// The screens a player tells apart by what they show.
bool HandOverShown(const headless::Frame& f) {
  // "Druk op de linkermuisknop om voort te gaan" reaches far to the right; the placement's "Speler 1" doesn't.
  int white = 0, far = 0;
  for (int y = 28; y < 42; ++y)
    for (int x = 5; x < 300; ++x)
      if (f.At(x, y) == RGB(255, 255, 255)) {
        ++white;
        far += x > 180;
      }
  return white > 100 && far > 20;
}

bool WinShown(const headless::Frame& f) {
  int white = 0;
  for (int y = 220; y < 268; ++y)
    for (int x = 120; x < 480; ++x) white += f.At(x, y) == RGB(255, 255, 255);
  return white > 800;  // "Speler 1 wint!" at size 50
}

struct Pixels {
  POINT own[2][15][10];  // [player - 1]: the player's own field seen from his side
  POINT enemy[2][15][10];  // [player - 1]: the opponent's field seen from the opponent's side
};

Pixels Layout() {
  Start();
  Match m(PlayerVsPlayer);
  m.Prepare();
  Pixels p{};
  for (std::int32_t x = 0; x < 15; ++x)
    for (std::int32_t y = 0; y < 10; ++y) {
      p.own[0][x][y] = SquarePixel(m, 1, 1, x, y);
      p.own[1][x][y] = SquarePixel(m, 2, 2, x, y);
      p.enemy[0][x][y] = SquarePixel(m, 2, 2, x, y);
      p.enemy[1][x][y] = SquarePixel(m, 1, 1, x, y);
    }
  m.Finish();
  return p;
}

// Waits until the frame shows a colour at a pixel (the program keeps drawing meanwhile).
bool WaitForColour(ProgramScript& s, POINT at, COLORREF c) {
  for (int tries = 0; tries < 40000; ++tries) {
    if (s.ShownAt(at.x, at.y) == c) return true;
    if (!s.WaitFrames(1)) return false;
  }
  return false;
}

// Looks every few frames: the screens looked for stay until a click.
bool WaitForScreen(ProgramScript& s, bool (*shown)(const headless::Frame&)) {
  for (int tries = 0; tries < 10000; ++tries) {
    if (!s.WaitFrames(tries == 0 ? 1 : 8)) return false;  // never judge by a frame from before
    if (shown(s.Shown())) return true;
  }
  return false;
}

// How the script clicks: as a person does (held until the screen waits for
// the release without drawing), or at once, press and release between two
// polls, as a tap, xdotool or a remote desktop sends them.
enum class Clicks { Persons, Instant };

void ClickAndRelease(ProgramScript& s, Clicks how = Clicks::Persons) {
  s.Press(VK_LBUTTON);
  if (how == Clicks::Persons) s.WaitQuiet();
  s.Release(VK_LBUTTON);
}

// The script helpers fail with a fatal failure; their callers wrap them in
// ASSERT_NO_FATAL_FAILURE, so that a script stops at the first step that went
// wrong (ProgramScript then saves the last frame) instead of clicking on.
void PlaceFleet(ProgramScript& s, const Pixels& px, int player, Clicks how = Clicks::Persons) {
  SCOPED_TRACE("player " + std::to_string(player) + " places the fleet");
  for (POINT front : {POINT{1, 4}, POINT{3, 3}, POINT{5, 2}, POINT{7, 1}}) {
    const POINT at = px.own[player - 1][front.x][front.y];
    s.MoveTo(at.x, at.y);
    ASSERT_TRUE(WaitForColour(s, at, RGB(0, 255, 0))) << "placing at " << front.x << "," << front.y;
    ClickAndRelease(s, how);
  }
}

void ChooseWeapon(ProgramScript& s, POINT button, Clicks how = Clicks::Persons) {
  SCOPED_TRACE("choosing the weapon at " + std::to_string(button.x) + "," + std::to_string(button.y));
  s.MoveTo(button.x, button.y);
  ASSERT_TRUE(s.WaitFrames(3)) << "the program ended";
  s.Press(VK_LBUTTON);
  if (how == Clicks::Persons) {
    ASSERT_TRUE(s.WaitFrames(3)) << "the program ended";
  }
  s.Release(VK_LBUTTON);
  ASSERT_TRUE(s.WaitFrames(2)) << "the program ended";
}

void Fire(ProgramScript& s, const Pixels& px, int player, std::vector<POINT> targets, Clicks how = Clicks::Persons) {
  SCOPED_TRACE("player " + std::to_string(player) + " fires");
  for (POINT t : targets) {
    const POINT at = px.enemy[player - 1][t.x][t.y];
    s.MoveTo(at.x, at.y);
    ASSERT_TRUE(WaitForColour(s, at, RGB(255, 0, 255))) << "aiming at " << t.x << "," << t.y;
    ClickAndRelease(s, how);
  }
}

void HandOver(ProgramScript& s, Clicks how = Clicks::Persons) {
  ASSERT_TRUE(WaitForScreen(s, HandOverShown)) << "no hand-over screen";
  ClickAndRelease(s, how);
}

constexpr POINT kWeapon1{529, 228}, kWeapon3{529, 298}, kWeapon5{565, 368};

class WholeMatchTest : public testing::TestWithParam<Clicks> {};

// Both players click as a person does, or only with instant clicks: the same
// match, the same winner, every weapon chosen where it was clicked.
TEST_P(WholeMatchTest, TwoPlayersPlayFromTheMenuToTheWinAndBack) {
  const Clicks how = GetParam();
  const Pixels px = Layout();
  ProgramScript script("OperationBrannoway");
  bool sawWin = false, menuAgain = false;
  script.Run(OperationBrannoway::Run, [&](ProgramScript& s) {
    s.MoveTo(300, 310);
    s.WaitFrames(2);
    s.Press(VK_LBUTTON);
    if (how == Clicks::Persons) s.WaitFrames(20);  // held into the flight
    s.Release(VK_LBUTTON);
    ASSERT_NO_FATAL_FAILURE(PlaceFleet(s, px, 1, how));
    ASSERT_NO_FATAL_FAILURE(PlaceFleet(s, px, 2, how));
    // Player 1 sinks the fleet in five turns; player 2 misses four times.
    const std::vector<std::pair<POINT, std::vector<POINT>>> turns = {
        {kWeapon5, {{2, 1}}},                  // the cross hits (1, 0), (3, 0), (1, 2), (3, 2)
        {kWeapon3, {{1, 1}, {1, 3}, {1, 4}}},  // the length-5 ship sinks
        {kWeapon3, {{3, 1}, {3, 3}, {5, 0}}},  // the length-4 ship sinks
        {kWeapon3, {{5, 1}, {5, 2}, {7, 0}}},  // the length-3 ship sinks
        {kWeapon1, {{7, 1}}},                  // the last ship
    };
    for (std::size_t t = 0; t < turns.size(); ++t) {
      SCOPED_TRACE("turn " + std::to_string(t + 1));
      {
        SCOPED_TRACE("player 1");
        ASSERT_NO_FATAL_FAILURE(HandOver(s, how));
        const POINT first = turns[t].second.front();
        const POINT aim = px.enemy[0][first.x][first.y];
        s.MoveTo(aim.x, aim.y);
        ASSERT_TRUE(WaitForColour(s, aim, RGB(255, 0, 255))) << "the target choice has not begun";
        ASSERT_NO_FATAL_FAILURE(ChooseWeapon(s, turns[t].first, how));
        ASSERT_NO_FATAL_FAILURE(Fire(s, px, 1, turns[t].second, how));
      }
      if (t + 1 == turns.size()) break;
      SCOPED_TRACE("player 2");
      ASSERT_NO_FATAL_FAILURE(HandOver(s, how));
      ASSERT_NO_FATAL_FAILURE(Fire(s, px, 2, {{14, 9 - static_cast<std::int32_t>(t)}}, how));
    }
    ASSERT_TRUE(WaitForScreen(s, WinShown)) << "no win screen after the last ship sank";
    sawWin = true;
    ClickAndRelease(s, how);
    s.MoveTo(590, 440);
    menuAgain = s.WaitFrames(5);
    s.Press(VK_LBUTTON);
  });
  EXPECT_TRUE(sawWin);
  EXPECT_TRUE(menuAgain);
  EXPECT_TRUE(BrannowayLib::VensterBestaat());  // left through EXIT
  EXPECT_EQ(BrannowayLib::State().structFont.lfHeight, 16);  // the next match writes at size 16 again
}

}  // namespace

namespace {

INSTANTIATE_TEST_SUITE_P(Clicks, WholeMatchTest, testing::Values(Clicks::Persons, Clicks::Instant),
                         [](const testing::TestParamInfo<Clicks>& i) { return i.param == Clicks::Persons ? "PersonsClicks" : "InstantClicks"; });

TEST(PlacementTest, BoundsTouchingOverlapsHeldClicksAndTurning) {
  const Pixels px = Layout();
  Start();
  headless::MoveCursor(0, 0);
  ProgramScript script("OperationBrannoway");
  script.Run([] { Spel(PlayerVsPlayer); }, [&](ProgramScript& s) {
    auto at = [&](int x, int y) { return px.own[0][x][y]; };
    auto colourAt = [&](int x, int y) { return s.ShownAt(at(x, y).x, at(x, y).y); };
    auto aim = [&](int x, int y, COLORREF expected) {
      s.MoveTo(at(x, y).x, at(x, y).y);
      return WaitForColour(s, at(x, y), expected);
    };
    // The length-5 ship upright with its front in row 3 would reach row -1: red, and a click does nothing.
    ASSERT_TRUE(aim(1, 3, RGB(255, 0, 0)));
    s.Press(VK_LBUTTON);
    s.WaitFrames(3);
    s.Release(VK_LBUTTON);
    EXPECT_EQ(colourAt(1, 3), RGB(255, 0, 0));
    // Row 4 fits: placed.
    ASSERT_TRUE(aim(1, 4, RGB(0, 255, 0)));
    ClickAndRelease(s);
    // The next ship may touch it, not share a square with it (rows 6 and 5 show; 4 and 3 lie under the placed hull).
    EXPECT_TRUE(aim(1, 6, RGB(255, 0, 0)));
    ASSERT_TRUE(aim(2, 3, RGB(0, 255, 0)));
    // Held down, one click places one ship: the next waits for the release.
    s.Press(VK_LBUTTON);
    EXPECT_TRUE(s.WaitQuiet());
    s.Release(VK_LBUTTON);
    ASSERT_TRUE(aim(9, 6, RGB(0, 255, 0)));  // the length-3 ship: rows 6, 5, 4
    s.WaitFrames(2);
    EXPECT_EQ(colourAt(9, 4), RGB(0, 255, 0));
    EXPECT_NE(colourAt(9, 3), RGB(0, 255, 0));
    // The right button turns it, also with the mouse off the field.
    s.MoveTo(470, 20);
    s.WaitFrames(2);
    s.Press(VK_RBUTTON);
    EXPECT_TRUE(s.WaitQuiet());
    s.Release(VK_RBUTTON);
    ASSERT_TRUE(aim(12, 7, RGB(0, 255, 0)));  // now lying along the row: columns 12, 11, 10
    s.WaitFrames(2);
    EXPECT_EQ(colourAt(10, 7), RGB(0, 255, 0));
    EXPECT_NE(colourAt(12, 5), RGB(0, 255, 0));
    // A horizontal ship needs its front at column Lengte - 1 or more.
    ASSERT_TRUE(aim(1, 8, RGB(255, 0, 0)));
    ASSERT_TRUE(aim(2, 8, RGB(0, 255, 0)));
    s.Close();
  });
  EXPECT_FALSE(BrannowayLib::VensterBestaat());
}

// Closes the window at one stage of a match and checks that everything ends cleanly.
void CloseDuring(eKlik mode, const std::function<void(ProgramScript&, const Pixels&)>& untilTheStage, const Pixels& px) {
  Start();
  headless::MoveCursor(0, 0);
  runtime::SeedRandom(11);
  const std::size_t bitmaps = winlayer::LiveGdiObjects(OBJ_BITMAP);
  ProgramScript script("OperationBrannoway");
  script.Run([mode] { Spel(mode); }, [&](ProgramScript& s) {
    untilTheStage(s, px);
    s.Close();
  });
  EXPECT_FALSE(BrannowayLib::VensterBestaat());
  EXPECT_EQ(winlayer::LiveGdiObjects(OBJ_BITMAP), bitmaps);  // the match's pictures are all released
}

TEST(ClosingTest, TheWindowClosedAtAnyStageEndsTheMatchCleanly) {
  const Pixels px = Layout();
  CloseDuring(PlayerVsPlayer, [](ProgramScript& s, const Pixels&) { s.WaitFrames(100); }, px);  // a flight
  CloseDuring(PlayerVsPlayer, [](ProgramScript& s, const Pixels&) { s.WaitFrames(600); }, px);  // placement
  CloseDuring(PlayerVsCPU, [](ProgramScript& s, const Pixels&) { ASSERT_TRUE(WaitForScreen(s, HandOverShown)); }, px);
  auto untilTheChoice = [](ProgramScript& s, const Pixels& p) {
    ASSERT_NO_FATAL_FAILURE(HandOver(s));
    const POINT aim = p.enemy[0][7][5];
    s.MoveTo(aim.x, aim.y);
    ASSERT_TRUE(WaitForColour(s, aim, RGB(255, 0, 255)));
  };
  CloseDuring(PlayerVsCPU, untilTheChoice, px);
  CloseDuring(PlayerVsCPU, [&](ProgramScript& s, const Pixels& p) {
    ASSERT_NO_FATAL_FAILURE(untilTheChoice(s, p));
    ClickAndRelease(s);
    s.WaitFrames(300);  // the missile rising
  }, px);
}

TEST_F(MatchTest, TheWinScreenCirclesUntilAClickAndRestoresTheTextSize) {
  Match& m = Ready();
  int frame = 0;
  bool sawText = false;
  const int id = testing_support::AddProgramFrameCallback([&](HWND w) {
    if (++frame == 5) {
      sawText = WinShown(headless::ClientPixels(w));
      EXPECT_EQ(BrannowayLib::State().structFont.lfHeight, 50);
    }
    if (frame == 400) headless::ClickCloseBox(w);  // closing ends it too
  });
  const float before = m.CamAngle;
  m.WinScreen();
  headless::RemovePresentCallback(id);
  EXPECT_TRUE(sawText);
  EXPECT_GE(frame, 400);
  EXPECT_NEAR(m.CamAngle, before + 0.005f * static_cast<float>(frame), 0.01f);
  EXPECT_EQ(BrannowayLib::State().structFont.lfHeight, 16);
}

}  // namespace
