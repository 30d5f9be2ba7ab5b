#include "ButtonSample.h"

#include "BrannowayLib.h"

namespace ButtonSample {

using namespace BrannowayLib;

POINT Muis{0, 0};
bool Eind = false;

bool TekenKnopje(std::int32_t x, std::int32_t y, std::int32_t breedte, std::int32_t hoogte, runtime::View<const char> Txt) {
  bool MuisGeklikt = false;
  if (Muis.x >= x && Muis.y >= y && runtime::Add(x, breedte) >= Muis.x && runtime::Add(y, hoogte) >= Muis.y) {
    InktTekst(Kleur(255, 0, 0));
    MuisGeklikt = Muisklik() == 1;
  } else {
    InktTekst(Kleur(255, 255, 255));
  }
  Tekst(x, y, Txt);
  return MuisGeklikt;
}

void Run() {
  Venster(50, 50, 640, 480, TitleFrom("Titel"));
  ZetTekstNaam("Comic Sans MS");
  ZetTekstGrootte(34);
  InktTekst(Kleur(0, 255, 255));
  Tekst(5, 5, "Spel titel");
  ZetTekstGrootte(20);
  Eind = false;
  while (VensterBestaat() && !Eind) {
    std::int32_t x, y;
    MuisPos(x, y);
    Muis.x = x;
    Muis.y = y;
    TekenKnopje(50, 100, 200, 20, "Spelen");
    TekenKnopje(50, 130, 200, 20, "Opties");
    if (TekenKnopje(50, 160, 200, 20, "Afsluiten")) Eind = true;
    Update();
  }
}

}  // namespace ButtonSample
