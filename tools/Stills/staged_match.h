// A match at a prepared state, for our helpers that draw its screens one
// procedure at a time (the README's stills, the frame benchmark): the camera
// at one player's side and both fleets placed (or none, for placement), in a
// game window of its own (the program's start opens a new one).
#pragma once

#include <cmath>

#include "match.h"

namespace OperationBrannoway {

struct StagedMatch {
  Match m{PlayerVsPlayer};

  static constexpr bool kNoFleets = false;

  explicit StagedMatch(std::uint32_t side, bool withFleets = true) {
    using namespace BrannowayProcs;
    Start();
    m.Prepare();
    FaceSide(side);
    if (!withFleets) return;
    const tSchip fleets[2][4] = {
        {ShipAt({12, 1}, Verticaal, 2), ShipAt({4, 7}, Horizontaal, 3), ShipAt({9, 8}, Verticaal, 4),
         ShipAt({6, 2}, Horizontaal, 5)},
        {ShipAt({2, 8}, Horizontaal, 2), ShipAt({11, 6}, Verticaal, 3), ShipAt({6, 5}, Verticaal, 4),
         ShipAt({14, 2}, Horizontaal, 5)}};
    for (std::uint32_t p = 1; p <= 2; ++p)
      for (std::uint32_t k = 1; k <= 4; ++k) {
        m.Schepen[p][k] = fleets[p - 1][k - 1];
        MaakSchip(m.Schepen[p][k], m.Veld[p]);
      }
  }
  ~StagedMatch() { m.Finish(); }
  StagedMatch(const StagedMatch&) = delete;
  StagedMatch& operator=(const StagedMatch&) = delete;

  // The camera where a flight to player `side`'s side ends.
  void FaceSide(std::uint32_t side) {
    m.CamAngle = side == 1 ? kHalfTurn : kFullTurn;
    m.PlaceCamera();
    BrannowayProcs::Cam = {std::sin(m.CamAngle) * m.CamRadius, m.CamHeight, std::cos(m.CamAngle) * m.CamRadius};
  }

  // Where a square of a field shows in the window, from the camera as it is.
  POINT Pixel(std::uint32_t field, std::int32_t x, std::int32_t y) {
    BrannowayProcs::tVertex v{};
    v.pos = BrannowayProcs::VindVeld3DPositie(m.Veld[field], x, y);
    Brannoway3D::RenderToCamera(v);
    return {v.scr.x, v.scr.y};
  }

  // Every square of every ship of player `owner` hit: that fleet is sunk.
  void SinkFleet(std::uint32_t owner) {
    using namespace BrannowayProcs;
    for (std::uint32_t k = 1; k <= 4; ++k) {
      tSchip& ship = m.Schepen[owner][k];
      for (std::int32_t j = 0; j < ship.Lengte; ++j) {
        const std::int32_t x = ship.Orientatie == Verticaal ? ship.Voorkant.x : ship.Voorkant.x - j;
        const std::int32_t y = ship.Orientatie == Verticaal ? ship.Voorkant.y - j : ship.Voorkant.y;
        (*m.Veld[owner].Info)[x][y] = Geraakt;
      }
      ship.Leven = 0;
    }
  }
};

}  // namespace OperationBrannoway
