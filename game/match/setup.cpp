// The match's set-up: its state, fields, pictures and weapon table, and the
// sky, sea and horizon behind the 3D scene.
#include <cmath>
#include <numbers>
#include <cstring>
#include <new>

#include "BrannowayLib.h"
#include "match.h"

namespace OperationBrannoway {

using namespace BrannowayLib;
using namespace BrannowayProcs;

namespace {

BrannowayProcs::tVeldInfo* NewGrid(std::uint32_t columns, std::uint32_t rows) {
  try {
    return new tVeldInfo(columns, rows);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

tKnop LoadButton(const WeaponRule& weapon) {
  auto load = [](const char* path) { return LaadBitmap(runtime::View<const char>(path, std::strlen(path) + 1)); };
  return {load(weapon.normaal), load(weapon.select), load(weapon.alpha)};
}

void Release(const tKnop& k) {
  VerwijderBitmap(k.normaal);
  VerwijderBitmap(k.select);
  VerwijderBitmap(k.alpha);
}

}  // namespace

Match::GridMaker Match::MakeGrid = NewGrid;

void WaitForRelease() {
  while (Muisklik() > 0) {
  }
}

Match::Match(eKlik modus) : Modus(modus) {}

Match::~Match() = default;

tKnop& Match::Knop(std::uint32_t weapon) {
  tKnop* const buttons[kWeaponCount] = {&Raket, &Radar, &Raket3, &Raket4, &Raket5};
  return *buttons[runtime::CheckRange<std::size_t>(weapon, 1, kWeaponCount) - 1];
}

bool Match::MaakVelden() {
  const float W = static_cast<float>(VELD_BREEDTE), H = static_cast<float>(VELD_HOOGTE), S = VELD_VIERKANT;
  const tVector positions[2] = {{-(W * 0.5f * S), 0, -(H * 1.1f * S)}, {-(W * 0.5f * S), 0, H * 0.1f * S}};
  for (std::uint32_t p = 1; p <= 2; ++p) {
    grids_[p - 1].reset(MakeGrid(VELD_BREEDTE, VELD_HOOGTE));
    if (!grids_[p - 1]) {
      MessageBoxA(nullptr, "Kon niet genoeg geheugen vrijmaken.", "Error", MB_OK | MB_ICONERROR);
      VerwijderVelden();
      return false;
    }
    Veld[p].Info = grids_[p - 1].get();
    Veld[p].Pos = positions[p - 1];
    Veld[p].Geinverteerd = p == 2;
    Veld[p].Color = p == 1 ? Kleur(0, 0, 255) : Kleur(0, 255, 0);
  }
  return true;
}

void Match::VerwijderVelden() {
  for (std::uint32_t p = 1; p <= 2; ++p) {
    grids_[p - 1].reset();
    Veld[p].Info = nullptr;
  }
}

void Match::LaadBitmaps() {
  Achtergrond = LaadBitmap("Media/Horizon.bmp");
  Zijbalk = LaadBitmap("Media/SideBar.bmp");
  Knopje = LaadBitmap("Media/Knop1.bmp");
  for (std::uint32_t w = 1; w <= kWeaponCount; ++w) Knop(w) = LoadButton(Weapon(w));
}

void Match::VerwijderBitmaps() {
  VerwijderBitmap(Achtergrond);
  VerwijderBitmap(Zijbalk);
  VerwijderBitmap(Knopje);
  for (const tKnop& k : {Raket, Radar, Raket3, Raket4, Raket5}) Release(k);
  Achtergrond = Zijbalk = Knopje = 0;
  Raket = Radar = Raket3 = Raket4 = Raket5 = tKnop{};
}

void Match::DeclaratieWapens() {
  for (std::uint32_t p = 1; p <= 2; ++p)
    for (std::uint32_t w = 1; w <= kWeaponCount; ++w) Wapenlijst[p][w] = {Weapon(w).Ongelimiteerd, Weapon(w).stock};
}

void Match::PlaceCamera() {
  const float x = std::sin(CamAngle) * CamRadius, z = std::cos(CamAngle) * CamRadius;
  Brannoway3D::PositionCamera(x, CamHeight, z);
  Brannoway3D::RotateCamera(std::atan(CamHeight / CamViewDist), static_cast<float>(std::numbers::pi + CamAngle), 0);
}

void Match::TekenAchtergrond() {
  InktOpvul(0);
  InktRand(0);
  tVertex horizon{};
  horizon.pos = {-std::sin(CamAngle) * 10000, 0, -std::cos(CamAngle) * 10000};
  Brannoway3D::RenderToCamera(horizon);
  const std::int32_t h = horizon.scr.y;
  InktOpvul(Kleur(22, 33, 63));
  Rechthoek(0, h, 490, 480, true);
  InktOpvul(Kleur(12, 92, 146));
  Rechthoek(0, 0, 490, h, true);
  TekenBitmap(Achtergrond, 0, runtime::Sub(h, 25));
}

}  // namespace OperationBrannoway
