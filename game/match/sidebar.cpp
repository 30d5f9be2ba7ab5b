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
      if (Schepen[p][s].Lengte == k && Schepen[p][s].Leven > 0) shipAfloat = true;
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
  struct Button {
    std::int32_t x1, x2, y1, y2;
    const tKnop* bmp;
    std::uint32_t weapon;
  };
  const Button buttons[5] = {{497, 561, 196, 260, &Raket, 1},
                             {569, 633, 196, 260, &Radar, 2},
                             {497, 561, 266, 330, &Raket3, 3},
                             {569, 633, 266, 330, &Raket4, 4},
                             {533, 597, 336, 400, &Raket5, 5}};
  for (const Button& b : buttons) {
    if (WapenKnop(b.x1, b.x2, b.y1, b.y2, *b.bmp, b.weapon)) {
      SpelerWapen[cSpeler] = b.weapon;
      return;
    }
  }
}

}  // namespace OperationBrannoway
