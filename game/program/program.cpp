// The program's start: the modules, the window, the board and the text
// style, then the main menu until the player leaves or closes the window.
#include "BrannowayLib.h"
#include "BrannowayProcs.h"
#include "OperationBrannoway.h"

namespace OperationBrannoway {

std::int32_t muisx = 0;
std::int32_t muisy = 0;
runtime::Array<char, 0, 32> Buffer{};

void Start() {
  using namespace BrannowayLib;
  using namespace BrannowayProcs;
  BrannowayLib::Initialise();
  Brannoway3D::Initialise();
  BrannowayProcs::Initialise();

  Venster(150, 150, runtime::Narrow<std::uint32_t>(640 + VensterExtraBreedte()),
          runtime::Narrow<std::uint32_t>(480 + VensterExtraHoogte()), TitleFrom("OperationBrannoway"));
  VELD_BREEDTE = 15;
  VELD_HOOGTE = 10;
  VELD_VIERKANT = 2.5f;
  ZetTekstNaam("Arial");
  ZetTekstGrootte(16);
}

void Run() {
  Start();
  while (BrannowayLib::VensterBestaat()) {
    const eKlik choice = Menu();
    if (choice == PlayerVsPlayer) Spel(PlayerVsPlayer);
    if (choice == Exit) break;
  }
}

}  // namespace OperationBrannoway
