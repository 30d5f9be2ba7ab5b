#include "Test.h"

#include <windows.h>

#include <cmath>
#include <cstdio>

#include "BrannowayLib.h"
#include "Wimdows.h"
#include "runtime/numeric.h"

namespace Test {

namespace {

std::uint32_t i = 0;
std::uint32_t j = 0;
std::uint32_t Start = 0;
std::int32_t x = 0, y = 0;
runtime::Array<std::int32_t, 1, 3> ax{}, ay{};
std::uint32_t BMP = 0, BMPMask = 0;

// Milliseconds since Start; unsigned arithmetic also spans the counter's wrap.
void PrintElapsed() {
  std::printf("%u\n", static_cast<unsigned>(GetTickCount() - Start));
  std::fflush(stdout);
}

}  // namespace

std::int32_t Rnd(std::int32_t Min, std::int32_t Max) {
  const double v = runtime::Sub(Max, Min) * runtime::Random() + 0.5;
  return runtime::Narrow<std::int32_t>(static_cast<std::int64_t>(std::trunc(v)) + Min);
}

void Run() {
  std::printf("\n");
  runtime::Randomize();

  Wimdows::Window("Titel", 800, 600);
  Wimdows::SetBuffering(true);
  Start = GetTickCount();
  for (i = 1; i <= 10000; ++i) {
    x = Rnd(0, 800);
    y = Rnd(0, 600);
    for (j = 1; j <= 3; ++j) {
      ax[j] = Rnd(0, 800);
      ay[j] = Rnd(0, 600);
    }
    Wimdows::Polygon(3, ax, ay, 0xC0C0C0, true);
    Wimdows::UpdateWindow();
  }
  PrintElapsed();
  Wimdows::DestroyBitmap(BMP);
  Wimdows::DestroyBitmap(BMPMask);
  Wimdows::KillWindow();

  BrannowayLib::Venster(50, 50, 800, 600, BrannowayLib::TitleFrom("Titel"));
  Start = GetTickCount();
  for (i = 1; i <= 10000; ++i) {
    x = Rnd(0, 800);
    y = Rnd(0, 600);
    // The corners are drawn in this order: x1, y1, x2, y2, x3, y3.
    const std::int32_t x1 = Rnd(0, 800), y1 = Rnd(0, 600), x2 = Rnd(0, 800), y2 = Rnd(0, 600);
    const std::int32_t x3 = Rnd(0, 800), y3 = Rnd(0, 600);
    BrannowayLib::Driehoek(x1, y1, x2, y2, x3, y3, true);
    BrannowayLib::Update();
  }
  PrintElapsed();
  BrannowayLib::VerwijderBitmap(BMP);
  BrannowayLib::VerwijderBitmap(BMPMask);
}

}  // namespace Test
