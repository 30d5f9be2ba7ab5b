// Saves frames of a match as PNG pictures, from the headless display: ship
// placement, target choice with the weapon-5 cross, a projectile falling, the
// radar over a hit, the hand-over screen and the win screen. Run it from the
// folder that holds the game's Media pictures.
//
//   MatchStills <folder>
#include <winlayer/headless.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "staged_match.h"
#include "runtime/numeric.h"

namespace {

using namespace OperationBrannoway;
using namespace BrannowayProcs;
namespace headless = winlayer::headless;

std::string folder;

// Runs `scene` with the mouse moved to `mouse` at frame 1, saves frame `saveAt` as `name`, then closes the window.
void Still(const char* name, int saveAt, POINT mouse, const std::function<void()>& scene) {
  HWND window = headless::FindWindowByTitle("OperationBrannoway");
  int frame = 0;
  const int id = headless::AddPresentCallback([&](HWND w) {
    if (w != window) return;
    ++frame;
    if (frame == 1) headless::MoveCursorToClient(window, mouse.x, mouse.y);
    if (frame == saveAt) headless::SaveClientPng(window, folder + "/" + name);
    if (frame == saveAt + 1) headless::ClickCloseBox(window);
  });
  scene();
  headless::RemovePresentCallback(id);
  std::printf("%s/%s\n", folder.c_str(), name);
}

using Staged = StagedMatch;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: MatchStills <folder>\n");
    return 2;
  }
  folder = argv[1];
  runtime::SeedRandom(3);

  {
    Start();
    Match m(PlayerVsPlayer);
    m.Prepare();
    m.CamAngle = kHalfTurn;
    m.PlaceCamera();
    Cam = {std::sin(m.CamAngle) * m.CamRadius, m.CamHeight, std::cos(m.CamAngle) * m.CamRadius};
    Staged probe(1);
    const POINT candidate = probe.Pixel(1, 7, 6);
    Start();
    Still("Placement.png", 6, candidate, [&] { m.KiesSchepen(1, false); });
    m.Finish();
  }
  {
    Staged s(2);
    const POINT aim = s.Pixel(2, 7, 5);
    s.m.SpelerWapen[1] = 5;
    s.m.CamAngle = kHalfTurn;  // the choice flies to player 2's side first
    s.m.PlaceCamera();
    runtime::Array<POINT, 0, 4> doel{};
    std::uint32_t wapen = 0;
    Still("Choice.png", 510, aim, [&] { s.m.KiesSchieten(1, doel, wapen); });
  }
  {
    Staged s(1);
    (*s.m.Veld[1].Info)[4][7] = Geraakt;
    (*s.m.Veld[1].Info)[10][3] = Gemist;
    const POINT targets[5] = {{3, 7}, {9, 6}, {9, 5}, {0, 0}, {0, 0}};
    Still("Projectile.png", 230, {600, 470}, [&] { s.m.SchietOpDoelwit(2, 1, 3, targets, false); });
  }
  {
    Staged s(1);
    (*s.m.Veld[1].Info)[9][8] = Geraakt;
    (*s.m.Veld[1].Info)[2][4] = Gemist;
    const POINT block[5] = {{9, 8}, {10, 8}, {9, 9}, {10, 9}, {0, 0}};
    Still("Radar.png", 500, {600, 470}, [&] { s.m.SchietOpDoelwit(2, 1, 2, block, false); });
  }
  {
    Start();
    Still("HandOver.png", 1020, {600, 470}, [] { Spel(PlayerVsCPU); });
  }
  {
    Staged s(1);
    s.SinkFleet(2);
    (*s.m.Veld[2].Info)[0][0] = Gemist;
    (*s.m.Veld[1].Info)[5][5] = Gemist;
    s.m.cSpeler = 1;
    Still("Win.png", 700, {600, 470}, [&] { s.m.WinScreen(); });
  }
  return 0;
}
