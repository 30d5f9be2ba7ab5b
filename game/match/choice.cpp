// Target choice: the selected weapon's pattern follows the mouse on the
// enemy field, magenta where it may be fired and red where not; the left
// button confirms it, and the shot is fired and paid for.
#include <cstdlib>

#include "BrannowayLib.h"
#include "match.h"

namespace OperationBrannoway {

using namespace BrannowayLib;
using namespace BrannowayProcs;

namespace {

bool Inside(POINT p) {
  return 0 <= p.x && p.x < static_cast<std::int32_t>(VELD_BREEDTE) && 0 <= p.y && p.y < static_cast<std::int32_t>(VELD_HOOGTE);
}

}  // namespace

void Match::KiesSchieten(std::uint32_t Speler, runtime::View<POINT> NaarDoel, std::uint32_t& NaarWapen) {
  const std::uint32_t naarSpeler = Opponent(Speler);
  DraaiCameraNaar(naarSpeler, Speler);
  std::uint32_t cWapen = 1;
  bool Eind = false;
  runtime::Array<POINT, 1, 5> Doel{};
  const std::int32_t W = static_cast<std::int32_t>(VELD_BREEDTE), H = static_cast<std::int32_t>(VELD_HOOGTE);

  // A weapon chosen earlier whose ship has since sunk (or whose stock is gone) can't be fired.
  if (!BeschikbaarheidWapen(SpelerWapen[Speler])) SpelerWapen[Speler] = 1;

  while (!Eind && VensterBestaat()) {
    TekenAchtergrond();
    TekenVeld(Veld[1]);
    TekenVeld(Veld[2]);
    std::int32_t mouseX = 0, mouseY = 0;
    MuisPos(mouseX, mouseY);
    const POINT Muis{mouseX, mouseY};
    InktRand(Kleur(255, 255, 255));

    const std::uint32_t w = SpelerWapen[Speler];
    const POINT P = VindVeldPositie(Veld[naarSpeler], Muis.x, Muis.y);
    bool KanHierSchieten = false;
    std::uint32_t drawn = 0;  // how many of Doel[1..] the pattern shows
    const WeaponRule& weapon = Weapon(w);
    switch (weapon.pattern) {
      case TargetPattern::Single:
        Doel[1] = P;
        KanHierSchieten = Inside(P);
        cWapen = 1;
        drawn = 1;
        break;
      case TargetPattern::Block:
        Doel[1] = P;
        Doel[2] = {P.x + 1, P.y};
        Doel[3] = {P.x, P.y + 1};
        Doel[4] = {P.x + 1, P.y + 1};
        KanHierSchieten = 0 <= P.x && P.x < W - 1 && 0 <= P.y && P.y < H - 1;
        cWapen = 1;
        drawn = 4;
        break;
      case TargetPattern::OneByOne:
      case TargetPattern::DiagonalChain: {
        Doel[cWapen] = P;
        KanHierSchieten = Inside(P);
        if (weapon.pattern == TargetPattern::DiagonalChain && cWapen > 1) {
          const POINT before = Doel[cWapen - 1];
          KanHierSchieten = KanHierSchieten && std::abs(P.x - before.x) == 1 && std::abs(P.y - before.y) == 1;
        }
        drawn = cWapen;
        break;
      }
      case TargetPattern::DiagonalCross:
        Doel[1] = P;
        Doel[2] = {P.x - 1, P.y - 1};
        Doel[3] = {P.x + 1, P.y - 1};
        Doel[4] = {P.x - 1, P.y + 1};
        Doel[5] = {P.x + 1, P.y + 1};
        KanHierSchieten = 1 <= P.x && P.x < W - 1 && 1 <= P.y && P.y < H - 1;
        drawn = 5;
        break;
    }
    InktOpvul(KanHierSchieten ? Kleur(255, 0, 255) : Kleur(255, 0, 0));
    for (std::uint32_t k = 1; k <= drawn; ++k) TekenVierkant(Veld[naarSpeler], Doel[k].x, Doel[k].y);
    TekenSchepen(Schepen[Speler]);

    Eind = false;
    if (Muisklik() == 1 && KanHierSchieten) {
      WaitForRelease();
      if (weapon.pattern == TargetPattern::OneByOne || weapon.pattern == TargetPattern::DiagonalChain) {
        if (cWapen < weapon.targets) {
          ++cWapen;
        } else {
          Eind = true;
        }
      } else {
        Eind = true;
      }
    }
    TekenGUI();
    Update();
  }

  const std::uint32_t w = SpelerWapen[Speler];
  SchietOpDoelwit(Speler, naarSpeler, w, runtime::View<const POINT>(Doel.data(), Doel.size()), true);
  for (std::size_t k = 0; k < NaarDoel.size() && k < 5; ++k) NaarDoel[k] = Doel[k + 1];
  NaarWapen = w;
  tWapen& stock = Wapenlijst[Speler][w];
  if (!stock.Ongelimiteerd) {
    stock.AantalResterend = runtime::Sub(stock.AantalResterend, 1u);
    if (stock.AantalResterend == 0) SpelerWapen[cSpeler] = 1;
  }
}

}  // namespace OperationBrannoway
