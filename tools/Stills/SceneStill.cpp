// Renders one still frame of a match on the headless display and saves it as
// a PNG: the camera behind player 1's field, both fields with a few marked
// squares, both fleets, a projectile and a radar over the sea.
//
//   SceneStill [picture.png]
#include <winlayer/headless.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "Brannoway3D.h"
#include "BrannowayLib.h"
#include "BrannowayProcs.h"
#include "runtime/numeric.h"

namespace {

using namespace BrannowayLib;
using namespace BrannowayProcs;

constexpr float kHalfTurn = 3.141592f;

// The match's camera: on a circle around the vertical axis, tilted down toward it.
void PlaceCamera(float angle, float height, float radius, float viewDistance) {
  Brannoway3D::PositionCamera(std::sin(angle) * radius, height, std::cos(angle) * radius);
  Brannoway3D::RotateCamera(std::atan(height / viewDistance), static_cast<float>(M_PI) + angle, 0);
  Cam = {std::sin(angle) * radius, height, std::cos(angle) * radius};
}

// Sky and sea meet at the horizon row, the projection of a far point on the sea.
void SkyAndSea(float angle) {
  tVertex far{};
  far.pos = {-std::sin(angle) * 10000, 0, -std::cos(angle) * 10000};
  Brannoway3D::RenderToCamera(far);
  InktRand(0);
  InktOpvul(Kleur(22, 33, 63));
  Rechthoek(0, far.scr.y, 490, 480, true);
  InktOpvul(Kleur(12, 92, 146));
  Rechthoek(0, 0, 490, far.scr.y, true);
}

tSchip Ship(std::int32_t x, std::int32_t y, eOrientatie o, std::uint8_t length, const tVeld& field) {
  tSchip s{};
  s.Voorkant = {x, y};
  s.Orientatie = o;
  s.Lengte = length;
  s.Leven = length;
  MaakSchip(s, field);
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : "SceneStill.png";
  BrannowayProcs::Initialise();
  runtime::SeedRandom(7);
  VELD_BREEDTE = 15;
  VELD_HOOGTE = 10;
  VELD_VIERKANT = 2.5f;
  Venster(150, 150, 640 + VensterExtraBreedte(), 480 + VensterExtraHoogte(), TitleFrom("OperationBrannoway"));
  Brannoway3D::SetCameraView(0, 0, 490, 480);

  const float W = static_cast<float>(VELD_BREEDTE), H = static_cast<float>(VELD_HOOGTE), V = VELD_VIERKANT;
  tVeldInfo grid1(VELD_BREEDTE, VELD_HOOGTE), grid2(VELD_BREEDTE, VELD_HOOGTE);
  const tVeld field1{&grid1, {-(W * 0.5f * V), 0, -(H * 1.1f * V)}, false, Kleur(0, 0, 255)};
  const tVeld field2{&grid2, {-(W * 0.5f * V), 0, H * 0.1f * V}, true, Kleur(0, 255, 0)};
  grid1[3][4] = Gemist;
  grid1[7][7] = Geraakt;
  grid2[2][8] = Gemist;
  grid2[9][3] = Gemist;
  grid2[11][6] = Geraakt;

  tSchip fleet1[4] = {Ship(2, 2, Verticaal, 2, field1), Ship(7, 7, Horizontaal, 3, field1),
                      Ship(12, 8, Verticaal, 4, field1), Ship(9, 1, Horizontaal, 5, field1)};
  tSchip fleet2[4] = {Ship(3, 8, Horizontaal, 2, field2), Ship(11, 7, Verticaal, 3, field2),
                      Ship(6, 4, Verticaal, 4, field2), Ship(13, 1, Horizontaal, 5, field2)};

  tProjectiel projectile{};
  MaakProjectiel(projectile);
  projectile.Pos = VindVeld3DPositie(field2, 9, 3);
  projectile.Pos.y = 9;
  PitchProjectiel(projectile);
  tRadar radar{};
  MaakRadar(radar);
  radar.Pos = VindVeld3DPositie(field2, 4, 2);
  radar.Pos.y = 1.5f;
  DraaiRadar(radar, 0.6f);

  const float radius = H * 1.75f * V, viewDistance = radius - V * 0.55f * H;
  PlaceCamera(kHalfTurn, 30.0f, radius, viewDistance);
  SkyAndSea(kHalfTurn);
  TekenVeld(field1);
  TekenVeld(field2);
  TekenSchepen(fleet2);
  TekenSchepen(fleet1);
  TekenProjectiel(projectile);
  TekenRadar(radar);
  ZetTekstNaam("Arial");
  ZetTekstGrootte(16);
  TekenTekst(10, 10, "Speler 1");
  Update();

  HWND window = winlayer::headless::FindWindowByTitle("OperationBrannoway");
  if (!winlayer::headless::SaveClientPng(window, path)) {
    std::fprintf(stderr, "SceneStill: cannot write %s\n", path.c_str());
    return 1;
  }
  std::printf("%s\n", path.c_str());
  return 0;
}
