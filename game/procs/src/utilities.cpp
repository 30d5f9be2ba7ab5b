// Window-frame sizes, random integers, outlined text and the module initialisation.
#include <cmath>
#include <mutex>

#include "BrannowayLib.h"
#include "BrannowayProcs.h"
#include "runtime/numeric.h"

namespace BrannowayProcs {

using namespace BrannowayLib;

void Initialise() {
  static std::once_flag once;
  std::call_once(once, [] {
    BrannowayLib::Initialise();
    Brannoway3D::Initialise();
    runtime::Randomize();
  });
}

std::int32_t VensterExtraHoogte() {
  const int edge = GetSystemMetrics(SM_CYEDGE);
  const int frame = GetSystemMetrics(SM_CYFIXEDFRAME);
  const int caption = GetSystemMetrics(SM_CYCAPTION);
  return 2 * (edge + frame) + caption;
}

std::int32_t VensterExtraBreedte() {
  const int edge = GetSystemMetrics(SM_CXEDGE);
  const int frame = GetSystemMetrics(SM_CXFIXEDFRAME);
  return 2 * (edge + frame);
}

std::int32_t Rnd(std::int32_t Min, std::int32_t Max) {
  const std::int32_t d = runtime::Sub(Max, Min);
  const double v = d * runtime::Random() + 0.5;
  return runtime::Narrow<std::int32_t>(static_cast<std::int64_t>(std::trunc(v)) + Min);
}

void TekenTekst(std::int32_t x, std::int32_t y, runtime::View<const char> Txt) {
  InktTekst(0);
  for (std::int32_t dy = -1; dy <= 1; ++dy)
    for (std::int32_t dx = -1; dx <= 1; ++dx) Tekst(runtime::Add(x, dx), runtime::Add(y, dy), Txt);
  InktTekst(Kleur(255, 255, 255));
  Tekst(x, y, Txt);
}

}  // namespace BrannowayProcs
