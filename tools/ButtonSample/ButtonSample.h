// ButtonSample: a window with a title and three text buttons that turn red
// under the mouse; "Afsluiten" ends the program.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/checks.h"

namespace ButtonSample {

// The mouse in client pixels, read once a frame.
extern POINT Muis;
extern bool Eind;

bool TekenKnopje(std::int32_t x, std::int32_t y, std::int32_t breedte, std::int32_t hoogte, runtime::View<const char> Txt);

// The program's main body.
void Run();

}  // namespace ButtonSample
