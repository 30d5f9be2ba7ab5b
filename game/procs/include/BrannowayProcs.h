// BrannowayProcs: the game's models and board. The sea fields with their
// squares, drawing and picking of squares, the ship, projectile and radar
// meshes, and small game utilities.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "Brannoway3D.h"
#include "runtime/checks.h"

namespace BrannowayProcs {

using Brannoway3D::tTriangle;
using Brannoway3D::tVector;
using Brannoway3D::tVertex;

// The module initialisation: the drawing library and the 3D engine first,
// then the random numbers seeded from the clock; runs once.
void Initialise();

// ---- the board ----------------------------------------------------------------------

extern std::uint32_t VELD_BREEDTE;  // columns of a field, along world x
extern std::uint32_t VELD_HOOGTE;   // rows of a field, along world z
extern float VELD_VIERKANT;         // side of a square in world units
extern tVector Cam;                 // where the picking ray starts: the camera's position

enum eVeld : std::uint8_t { Vrij = 0, Gemist = 1, Geraakt = 2 };

// The squares of a field, indexed [column][row], every one Vrij when made.
class tVeldInfo {
 public:
  tVeldInfo(std::uint32_t columns, std::uint32_t rows);
  runtime::View<eVeld> operator[](runtime::Index column);
  runtime::View<const eVeld> operator[](runtime::Index column) const;
  std::uint32_t Columns() const { return columns_; }
  std::uint32_t Rows() const { return rows_; }

 private:
  std::uint32_t columns_;
  std::uint32_t rows_;
  std::vector<eVeld> squares_;
};

struct tVeld {
  tVeldInfo* Info;      // allocated and released by the match
  tVector Pos;          // the corner with the smallest x and z
  bool Geinverteerd;    // numbered from the opposite corner
  std::uint32_t Color;  // the colour of this field's ships
};

void TekenVeldRooster(float x, float y, float z);
void TekenVeld(tVeld Veld);
void TekenVierkant(tVeld Veld, std::int32_t x, std::int32_t y);
POINT VindVeldPositie(tVeld Veld, std::int32_t x, std::int32_t y);
tVector VindVeld3DPositie(tVeld Veld, std::int32_t x, std::int32_t y);

// ---- ships --------------------------------------------------------------------------

enum eOrientatie : std::uint8_t { Horizontaal = 0, Verticaal = 1 };

struct tSchip {
  POINT Voorkant;  // column and row of the bow square
  eOrientatie Orientatie;
  std::uint8_t Lengte;  // 2 to 5 squares
  std::uint8_t Leven;   // squares not yet hit
  std::uint32_t Vertices;
  std::uint32_t Triangles;
  runtime::Array<tVertex, 0, 9> vList;
  runtime::Array<tTriangle, 0, 12> tList;
};

// A whole ship (Leven = Lengte) with its bow at `front`; its mesh is made by MaakSchip.
// For tests and tools (the stills) only: the game builds its ships in placement.
tSchip ShipAt(POINT front, eOrientatie orientation, std::uint8_t length);
void MaakSchip(tSchip& Schip, tVeld Veld);
bool SchipBotst(const tSchip& Schip1, const tSchip& Schip2);
void TekenSchepen(runtime::View<tSchip> Schepen);
void SetTriangle(tTriangle& tL, std::uint32_t v1, std::uint32_t v2, std::uint32_t v3, std::uint32_t Color);

// ---- projectile and radar ------------------------------------------------------------

struct tProjectiel {
  tVector Pos;
  runtime::Array<tVertex, 0, 8> vList;
  runtime::Array<tTriangle, 0, 13> tList;
  float ySpeed;
};

struct tRadar {
  tVector Pos;
  runtime::Array<tVertex, 0, 16> vList;
  runtime::Array<tTriangle, 0, 23> tList;
  float Angle;
};

void MaakProjectiel(tProjectiel& Projectiel);
void PitchProjectiel(tProjectiel& Projectiel);
void TekenProjectiel(tProjectiel Projectiel);
void MaakRadar(tRadar& Radar);
void DraaiRadar(tRadar& Radar, float Hoek);
void TekenRadar(tRadar Radar);

// ---- utilities ---------------------------------------------------------------------------

std::int32_t VensterExtraHoogte();
std::int32_t VensterExtraBreedte();
std::int32_t Rnd(std::int32_t Min, std::int32_t Max);
void TekenTekst(std::int32_t x, std::int32_t y, runtime::View<const char> Txt);

}  // namespace BrannowayProcs
