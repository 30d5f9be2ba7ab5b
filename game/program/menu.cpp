// The main menu: the title picture and three picture buttons.
#include "BrannowayLib.h"
#include "OperationBrannoway.h"

namespace OperationBrannoway {

namespace {

using namespace BrannowayLib;

// The menu's pictures, loaded on every entry and released before every return.
struct MenuPictures {
  std::uint32_t achtergrondCARD = 0;
  tKnop knopjePvsP{}, knopjeInstr{}, knopjeEXIT{};
};

void LaadBitmaps(MenuPictures& p) {
  p.achtergrondCARD = LaadBitmap("Media/achtergrond+titel.bmp");
  p.knopjePvsP = {LaadBitmap("Media/PlayerVsPlayer.bmp"), LaadBitmap("Media/PlayerVsPlayer_select.bmp"),
                  LaadBitmap("Media/PlayerVsPlayer_mono.bmp")};
  p.knopjeInstr = {LaadBitmap("Media/Instructions.bmp"), LaadBitmap("Media/Instructions_select.bmp"),
                   LaadBitmap("Media/Instructions_mono.bmp")};
  p.knopjeEXIT = {LaadBitmap("Media/EXIT.bmp"), LaadBitmap("Media/EXIT_select.bmp"), LaadBitmap("Media/EXIT_mono.bmp")};
}

void VerwijderBitmaps(const MenuPictures& p) {
  VerwijderBitmap(p.achtergrondCARD);
  for (const tKnop& k : {p.knopjePvsP, p.knopjeInstr, p.knopjeEXIT}) {
    VerwijderBitmap(k.normaal);
    VerwijderBitmap(k.select);
    VerwijderBitmap(k.alpha);
  }
}

// A picture button: lit while the mouse is over it (edges included); clicked
// while the left button is held there.
bool Knop(std::int32_t x1, std::int32_t x2, std::int32_t y1, std::int32_t y2, tKnop bmp) {
  bool Klik = false;
  if (muisx >= x1 && muisx <= x2 && muisy >= y1 && muisy <= y2) {
    TekenAlphaBitmap(bmp.select, bmp.alpha, x1, y1);
    Klik = Muisklik() == 1;
  } else {
    TekenAlphaBitmap(bmp.normaal, bmp.alpha, x1, y1);
  }
  return Klik;
}

}  // namespace

eKlik Menu() {
  MenuPictures pictures;
  LaadBitmaps(pictures);
  TekenBitmap(pictures.achtergrondCARD, 0, 0);
  while (VensterBestaat()) {
    MuisPos(muisx, muisy);
    if (Knop(211, 429, 300, 332, pictures.knopjePvsP)) {
      VerwijderBitmaps(pictures);
      return PlayerVsPlayer;
    }
    if (Knop(239, 401, 350, 375, pictures.knopjeInstr)) {
      Instructions();
      TekenBitmap(pictures.achtergrondCARD, 0, 0);
    }
    if (Knop(560, 620, 430, 452, pictures.knopjeEXIT)) {
      VerwijderBitmaps(pictures);
      return Exit;
    }
    Update();
  }
  VerwijderBitmaps(pictures);
  return Exit;
}

}  // namespace OperationBrannoway
