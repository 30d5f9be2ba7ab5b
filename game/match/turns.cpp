// The match from set-up to the end: placement by both players, the turns
// with their hand-over screens and replays, and the win screen.
#include <cmath>

#include "BrannowayLib.h"
#include "match.h"

namespace OperationBrannoway {

using namespace BrannowayLib;
using namespace BrannowayProcs;

void Spel(eKlik Modus) {
  Match match(Modus);
  match.Play();
}

bool Match::Prepare() {
  CamRadius = static_cast<float>(VELD_HOOGTE) * 1.75f * VELD_VIERKANT;
  CamViewDist = CamRadius - VELD_VIERKANT * 0.55f * static_cast<float>(VELD_HOOGTE);
  DeclaratieWapens();
  if (!MaakVelden()) return false;  // there is no match without its grids
  Brannoway3D::SetCameraView(0, 0, 490, 480);
  LaadBitmaps();
  for (std::uint32_t p = 1; p <= 2; ++p) {
    SpelerWapen[p] = 1;
    SpelerAI[p] = Modus == PlayerVsCPU;
  }
  cSpeler = 1;
  CamHeight = 30.0f;
  CamAngle = 0.0f;
  return true;
}

void Match::Finish() {
  VerwijderBitmaps();
  VerwijderVelden();
}

void Match::Play() {
  if (!Prepare()) return;
  for (std::uint32_t p = 1; p <= 2; ++p) {
    DraaiCameraNaar(p, 3);
    KiesSchepen(p, SpelerAI[p]);
  }
  i = 0;

  while (VensterBestaat()) {
    // Hand-over: both fleets hidden until the next player clicks.
    wsprintfA(Buffer.data(), "Wachten op speler %i", static_cast<int>(cSpeler));
    while (VensterBestaat() && Muisklik() == 0) {
      TekenAchtergrond();
      TekenVeld(Veld[1]);
      TekenVeld(Veld[2]);
      TekenTekst(5, 5, Buffer);
      TekenTekst(5, 25, "Druk op de linkermuisknop om voort te gaan");
      Update();
    }
    if (!VensterBestaat()) break;
    WaitForRelease();
    DraaiCameraNaar(cSpeler, cSpeler);
    if (i != 0) SchietOpDoelwit(i, cSpeler, LaatsteWapen, LaatsteDoel, false);
    KiesSchieten(cSpeler, LaatsteDoel, LaatsteWapen);

    const std::uint32_t opponent = Opponent(cSpeler);
    Dood = 0;
    for (std::uint32_t s = 1; s <= 4; ++s)
      if (Schepen[opponent][s].Leven == 0) ++Dood;
    if (Dood == 4) {
      WinScreen();
      break;
    }
    i = cSpeler;
    cSpeler = opponent;
  }
  Finish();
}

void Match::WinScreen() {
  ZetTekstGrootte(50);
  wsprintfA(Buffer.data(), "Speler %i wint!", static_cast<int>(cSpeler));
  const float baseHeight = CamHeight;
  while (VensterBestaat() && Muisklik() == 0) {
    TekenAchtergrond();
    CamAngle = CamAngle + 0.005f;
    CamHeight = (1 - std::sin(CamAngle) * 0.5f) * baseHeight;
    PlaceCamera();
    for (std::uint32_t f = 1; f <= 2; ++f) {
      TekenVeld(Veld[f]);
      TekenSchepen(Schepen[f]);
    }
    TekenTekst(120, 215, Buffer);
    TekenBitmap(Zijbalk, 490, 0);
    // The still sidebar: no counts, no hover.
    for (std::uint32_t w = 1; w <= kWeaponCount; ++w) {
      const ButtonCorner c = Weapon(w).still;
      TekenBitmap(Knopje, c.x, c.y);
      TekenAlphaBitmap(Knop(w).normaal, Knop(w).alpha, c.x, c.y);
    }
    Update();
  }
  WaitForRelease();
  ZetTekstGrootte(16);
}

}  // namespace OperationBrannoway
