// The weapon sidebar: five picture buttons with the shots left, and the
// choice of the weapon of the next shot.
#include "BrannowayLib.h"
#include "match.h"

namespace OperationBrannoway {

using namespace BrannowayLib;

bool Match::BeschikbaarheidWapen(std::uint32_t k) {
  const std::uint32_t p = cSpeler;
  bool usable = Wapenlijst[p][k].Ongelimiteerd;
  if (!usable) {
    bool shipAfloat = false;
    for (std::uint32_t s = 1; s <= 4; ++s)
      if (Schepen[p][s].Lengte == Weapon(k).shipLength && Schepen[p][s].Leven > 0) shipAfloat = true;
    usable = shipAfloat && Wapenlijst[p][k].AantalResterend > 0;
  }
  KanGebruiktWorden = usable;
  return usable;
}

bool Match::WapenKnop(std::int32_t x1, std::int32_t x2, std::int32_t y1, std::int32_t y2, tKnop bmp,
                      std::uint32_t GekozenWapen) {
  bool Klik = false;
  TekenBitmap(Knopje, x1, y1);
  const bool over = muisx >= x1 && muisx <= x2 && muisy >= y1 && muisy <= y2;
  if (over && BeschikbaarheidWapen(GekozenWapen)) {
    TekenAlphaBitmap(bmp.select, bmp.alpha, x1, y1);
    Klik = Muisklik() == 1;
  } else {
    TekenAlphaBitmap(bmp.normaal, bmp.alpha, x1, y1);
  }
  const tWapen& w = Wapenlijst[cSpeler][GekozenWapen];
  if (!w.Ongelimiteerd) {
    wsprintfA(Buffer.data(), "%i", static_cast<int>(w.AantalResterend));
    BrannowayProcs::TekenTekst(x2 - 16, y2 - 16, Buffer);
  }
  return Klik;
}

void Match::TekenGUI() {
  TekenBitmap(Zijbalk, 490, 0);
  MuisPos(muisx, muisy);
  for (std::uint32_t w = 1; w <= kWeaponCount; ++w) {
    const ButtonCorner c = Weapon(w).live;
    if (WapenKnop(c.x, c.x + kWeaponButtonSide, c.y, c.y + kWeaponButtonSide, Knop(w), w)) {
      SpelerWapen[cSpeler] = w;
      return;
    }
  }
}

}  // namespace OperationBrannoway
