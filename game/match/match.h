// A match: the state of one call of Spel and the procedures that play it.
// The state is exactly the match's local variables; the procedures share it
// as members, and nothing of it outlives the call.
//
// The game's own names are Dutch, as the game has always called its things;
// the helpers around them are English. A glossary of the Dutch:
//   Spel: the game (a match)          Speler: a player (1 or 2); cSpeler: whose turn
//   Veld: a player's sea field        Schip, Schepen: a ship, ships (tSchip)
//   Voorkant: a ship's bow square     Lengte, Leven: its length, squares not yet hit
//   Dood: ships sunk                  Vrij: a free square
//   Wapen, Wapenlijst: a weapon (1 to 5), the weapons a player has left
//   Raket: a missile                  Radar: the radar sweep
//   Doel, Doelwit: a target square    LaatsteDoel, LaatsteWapen: the last ones chosen
//   Kies: choose                      Schiet: fire
//   Teken: draw                       Zijbalk, Achtergrond: the sidebar, the background
//   Knop, Knopje: a button            Draai(CameraNaar): turn (the camera towards)
//   Maak, Laad, Verwijder: make, load, delete
//   Modus (eKlik): how the match was started (player against player or the computer)
//   AI: the computer plays that player
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "BrannowayProcs.h"
#include "OperationBrannoway.h"
#include "runtime/checks.h"
#include "weapons.h"

namespace OperationBrannoway {

struct tWapen {
  bool Ongelimiteerd;              // no shot limit, needs no particular ship
  std::uint32_t AantalResterend;   // shots left, when limited
};

class Match {
 public:
  explicit Match(eKlik Modus);
  ~Match();
  Match(const Match&) = delete;
  Match& operator=(const Match&) = delete;

  // The body of Spel: set-up, placement, turns, the win screen and the end.
  void Play();
  // The set-up of the match state, fields and pictures; false when a grid
  // could not be made (the message box has been shown and nothing is held).
  bool Prepare();
  // The end of the match: its pictures and grids released.
  void Finish();

  // Makes a field's grid. Replaced by tests only, to see the match survive a failed allocation.
  using GridMaker = BrannowayProcs::tVeldInfo* (*)(std::uint32_t columns, std::uint32_t rows);
  static GridMaker MakeGrid;

  // ---- the match state ---------------------------------------------------------------
  eKlik Modus;
  runtime::Array<BrannowayProcs::tVeld, 1, 2> Veld{};
  runtime::Array<runtime::Array<BrannowayProcs::tSchip, 1, 4>, 1, 2> Schepen{};
  std::uint32_t cSpeler = 1;
  runtime::Array<bool, 1, 2> SpelerAI{};
  runtime::Array<std::uint32_t, 1, 2> SpelerWapen{};
  runtime::Array<runtime::Array<tWapen, 1, 5>, 1, 2> Wapenlijst{};
  bool KanGebruiktWorden = false;
  std::uint32_t LaatsteWapen = 0;
  runtime::Array<POINT, 0, 4> LaatsteDoel{};
  float CamRadius = 0, CamHeight = 0, CamAngle = 0, CamViewDist = 0;
  std::uint32_t Achtergrond = 0, Zijbalk = 0, Knopje = 0;
  tKnop Raket{}, Radar{}, Raket3{}, Raket4{}, Raket5{};
  // The button pictures of weapon 1 to 5: Raket, Radar, Raket3, Raket4, Raket5.
  tKnop& Knop(std::uint32_t weapon);
  std::uint32_t i = 0;
  std::uint32_t Dood = 0;

  // ---- set-up and scene (match state, pictures, background) -----------------------------
  bool MaakVelden();  // false when a grid could not be made
  void VerwijderVelden();
  void LaadBitmaps();
  void VerwijderBitmaps();
  void DeclaratieWapens();
  void TekenAchtergrond();
  void PlaceCamera();  // the camera placement rule

  // ---- the parts of a match ---------------------------------------------------------------
  void KiesSchepen(std::uint32_t Speler, bool AI);
  void DraaiCameraNaar(std::uint32_t Speler, std::uint32_t TekenSpeler);
  void TekenGUI();
  bool WapenKnop(std::int32_t x1, std::int32_t x2, std::int32_t y1, std::int32_t y2, tKnop bmp, std::uint32_t GekozenWapen);
  bool BeschikbaarheidWapen(std::uint32_t k);
  void KiesSchieten(std::uint32_t Speler, runtime::View<POINT> NaarDoel, std::uint32_t& NaarWapen);
  void SchietOpDoelwit(std::uint32_t vanSpeler, std::uint32_t naarSpeler, std::uint32_t Wapen,
                       runtime::View<const POINT> Doel, bool ZieVertrek);
  void SchietVeldInfo(std::uint32_t Speler, std::int32_t x, std::int32_t y);
  void WinScreen();

 private:
  std::unique_ptr<BrannowayProcs::tVeldInfo> grids_[2];
};

// The match's half and full turn.
constexpr float kHalfTurn = 3.141592f;
constexpr float kFullTurn = 6.283184f;

// The other player.
inline std::uint32_t Opponent(std::uint32_t speler) { return speler + 1 > 2 ? 1 : speler + 1; }

// Waits until no mouse button is down.
void WaitForRelease();

}  // namespace OperationBrannoway
