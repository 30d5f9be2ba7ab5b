// Ship placement: the fleet parked, then placed by a person with the mouse
// (candidates green or red on the grid) or at random by the computer.
#include "BrannowayLib.h"
#include "match.h"

namespace OperationBrannoway {

using namespace BrannowayLib;
using namespace BrannowayProcs;

namespace {

// Whether ship `c` collides with any ship placed before it (the longer ones, c + 1 to 4).
bool CollidesWithPlaced(runtime::Array<tSchip, 1, 4>& fleet, std::uint32_t c) {
  for (std::uint32_t k = 4; k > c; --k)
    if (SchipBotst(fleet[c], fleet[k])) return true;
  return false;
}

bool OnTheField(const tSchip& s) {
  const std::int32_t W = static_cast<std::int32_t>(VELD_BREEDTE), H = static_cast<std::int32_t>(VELD_HOOGTE);
  const std::int32_t x = s.Voorkant.x, y = s.Voorkant.y, last = s.Lengte - 1;
  if (s.Orientatie == Verticaal) return 0 <= x && x < W && last <= y && y < H;
  return 0 <= y && y < H && last <= x && x < W;
}

// The squares a ship covers, from its front backwards.
POINT Square(const tSchip& s, std::int32_t k) {
  return s.Orientatie == Verticaal ? POINT{s.Voorkant.x, s.Voorkant.y - k} : POINT{s.Voorkant.x - k, s.Voorkant.y};
}

}  // namespace

void Match::KiesSchepen(std::uint32_t Speler, bool AI) {
  auto& fleet = Schepen[Speler];
  const tVeld& field = Veld[Speler];
  const std::int32_t W = static_cast<std::int32_t>(VELD_BREEDTE), H = static_cast<std::int32_t>(VELD_HOOGTE);
  for (std::uint32_t j = 1; j <= 4; ++j) {
    fleet[j].Lengte = static_cast<std::uint8_t>(j + 1);
    fleet[j].Orientatie = Verticaal;
    fleet[j].Leven = static_cast<std::uint8_t>(j + 1);
    fleet[j].Voorkant = {static_cast<LONG>(j), H - 1};
    MaakSchip(fleet[j], field);
  }

  if (AI) {
    for (std::uint32_t c = 4; c >= 1; --c) {
      tSchip& s = fleet[c];
      do {
        const bool horizontal = Rnd(1, 2) == 1;
        if (horizontal) {
          const std::int32_t x = Rnd(s.Lengte - 1, W - 1);
          s.Voorkant = {x, Rnd(0, H - 1)};
          s.Orientatie = Horizontaal;
        } else {
          const std::int32_t x = Rnd(0, W - 1);
          s.Voorkant = {x, Rnd(s.Lengte - 1, H - 1)};
          s.Orientatie = Verticaal;
        }
      } while (CollidesWithPlaced(fleet, c));
      MaakSchip(s, field);
    }
    return;
  }

  std::uint32_t cSchip = 4;
  while (cSchip != 0) {
    if (!VensterBestaat()) return;
    TekenAchtergrond();
    std::int32_t mouseX = 0, mouseY = 0;
    MuisPos(mouseX, mouseY);
    const POINT Muis{mouseX, mouseY};
    tSchip& s = fleet[cSchip];
    s.Voorkant = VindVeldPositie(field, Muis.x, Muis.y);
    const bool Mogelijk = !CollidesWithPlaced(fleet, cSchip) && OnTheField(s);
    InktOpvul(Mogelijk ? Kleur(0, 255, 0) : Kleur(255, 0, 0));
    InktRand(Mogelijk ? Kleur(255, 255, 255) : Kleur(255, 0, 0));
    for (std::int32_t k = 0; k < s.Lengte; ++k) {
      const POINT q = Square(s, k);
      TekenVierkant(field, q.x, q.y);
    }
    const std::uint32_t click = Muisklik();
    if (click == 1 && Mogelijk) {
      MaakSchip(s, field);
      --cSchip;
      WaitForRelease();
    }
    if (Muisklik() == 2 && cSchip != 0) {
      tSchip& current = fleet[cSchip];
      current.Orientatie = current.Orientatie == Verticaal ? Horizontaal : Verticaal;
      WaitForRelease();
    }
    InktRand(Kleur(255, 255, 255));
    for (std::uint32_t p = 1; p <= 2; ++p) TekenVeldRooster(Veld[p].Pos.x, Veld[p].Pos.y, Veld[p].Pos.z);
    for (std::uint32_t k = 4; k > cSchip; --k) {
      Brannoway3D::CalculateVertices(fleet[k].vList);
      Brannoway3D::RenderArray(fleet[k].vList, fleet[k].tList, true, true, true);
    }
    TekenGUI();
    BrannowayProcs::TekenTekst(5, 5, "Linkermuisknop: Plaatsen - Rechtermuisknop: Draaien");
    wsprintfA(Buffer.data(), "Speler %i", static_cast<int>(Speler));
    BrannowayProcs::TekenTekst(5, 25, Buffer);
    Update();
  }
}

}  // namespace OperationBrannoway
