// The camera flight between the two fields: 500 frames around the vertical
// axis, easing in and out and dipping to half height half-way.
#include <cmath>

#include "BrannowayLib.h"
#include "match.h"

namespace OperationBrannoway {

using namespace BrannowayProcs;

void Match::DraaiCameraNaar(std::uint32_t Speler, std::uint32_t TekenSpeler) {
  const float VanHoogte = CamHeight, VanHoek = CamAngle;
  float NaarHoek = static_cast<float>(Speler % 2) * kHalfTurn;
  while (NaarHoek < VanHoek) NaarHoek = NaarHoek + kFullTurn;
  if (NaarHoek == VanHoek) return;  // already there
  // The angle grows as a·t² for the first 250 frames and mirrors that for the
  // last: with a = 2Δ / 500², frame 250 is half-way (a · 250² = Δ / 2).
  const float a = (NaarHoek - VanHoek) * 2 / 250000;

  std::int32_t t = 0;
  while (BrannowayLib::VensterBestaat() && t < 500) {
    TekenAchtergrond();  // with the camera of the previous frame
    CamAngle = t <= 250 ? VanHoek + static_cast<float>(t * t) * a : NaarHoek - static_cast<float>((t - 500) * (t - 500)) * a;
    CamHeight = (1 - std::sin(static_cast<float>(t) / 500 * kHalfTurn) * 0.5f) * VanHoogte;
    ++t;
    PlaceCamera();
    for (std::uint32_t f = 1; f <= 2; ++f) {
      TekenVeld(Veld[f]);
      if (TekenSpeler == f) TekenSchepen(Schepen[f]);
    }
    TekenGUI();
    BrannowayLib::Update();
  }
  CamAngle = NaarHoek;
  CamHeight = VanHoogte;
  while (CamAngle > kFullTurn) CamAngle = CamAngle - kFullTurn;
  BrannowayProcs::Cam = {std::sin(CamAngle) * CamRadius, VanHoogte, std::cos(CamAngle) * CamRadius};
  PlaceCamera();
}

}  // namespace OperationBrannoway
