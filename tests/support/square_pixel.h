// Where the centre of a field's square shows in the game's window with the
// camera on a player's side, as the match places it (placement and the
// hand-over on the player's own side, target choice on the opponent's).
#pragma once

#include <cstdint>

#include "BrannowayProcs.h"
#include "match.h"

namespace testing_support {

inline POINT SquarePixel(OperationBrannoway::Match& m, std::uint32_t side, std::uint32_t field, std::int32_t x, std::int32_t y) {
  const float angle = m.CamAngle, height = m.CamHeight;
  m.CamAngle = side == 1 ? OperationBrannoway::kHalfTurn : OperationBrannoway::kFullTurn;
  m.CamHeight = 30.0f;
  m.PlaceCamera();
  Brannoway3D::tVertex v{};
  v.pos = BrannowayProcs::VindVeld3DPositie(m.Veld[field], x, y);
  Brannoway3D::RenderToCamera(v);
  m.CamAngle = angle;
  m.CamHeight = height;
  m.PlaceCamera();
  return {v.scr.x, v.scr.y};
}

}  // namespace testing_support
