// The instructions screen: a picture and fifteen lines of outlined text,
// shown until a mouse button is clicked.
#include "BrannowayLib.h"
#include "BrannowayProcs.h"
#include "OperationBrannoway.h"

namespace OperationBrannoway {

namespace {

using namespace BrannowayLib;
using BrannowayProcs::TekenTekst;

void WaitForRelease() {
  while (Muisklik() > 0) {
  }
}

void Bold(bool bold) { ZetTekstAttributen(bold, false, false, false); }

}  // namespace

void Instructions() {
  WaitForRelease();  // the click that opened the screen does not close it

  std::uint32_t Achtergrond = LaadBitmap("Media/Achtergrond.bmp");
  TekenBitmap(Achtergrond, 0, 0);

  ZetTekstGrootte(26);
  Bold(true);
  TekenTekst(10, 10, "- Instructions -");
  ZetTekstGrootte(18);
  TekenTekst(15, 50, "When the game begins");
  Bold(false);
  TekenTekst(10, 70, "When the game begins, each player chooses the positions of their ships with the mouse.");
  TekenTekst(10, 90, "A ship can be placed either horizontal or vertical. To toggle between vertical of horizontal");
  TekenTekst(10, 110, "orientation, use the right mouse button. Then finish by pressing the left mouse button");
  Bold(true);
  TekenTekst(15, 140, "When it's your turn");
  Bold(false);
  TekenTekst(10, 160, "Your turn starts by selecting a weapon and a target on the enemy's field. Each weapon has");
  TekenTekst(10, 180, "it's own characteristics and limitations and can only be used by one type of ship. If this");
  TekenTekst(10, 200, "ship happens to be destroyed, the weapon cannot be used anymore. Only the basic missile can");
  TekenTekst(10, 220, "be used by all ships. After choosing a weapon in the sidebar on the right, you can use your");
  TekenTekst(10, 240, "mouse to select the target on the enemy's field. Confirm the target by using the left mouse");
  TekenTekst(10, 260, "button.");
  Bold(true);
  TekenTekst(15, 290, "When you win");
  Bold(false);
  TekenTekst(10, 310, "A player wins when he was able to destroy all the ships of the enemy using weapons.");
  TekenTekst(20, 450, "Use the left mouse button to quit instructions.");

  Update();
  VerwijderBitmap(Achtergrond);
  while (Muisklik() == 0 && VensterBestaat()) {
  }
  WaitForRelease();  // the closing click does not reach the menu's buttons

  ZetTekstGrootte(16);
  Bold(false);
}

}  // namespace OperationBrannoway
