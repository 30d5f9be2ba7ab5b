// OperationBrannoway: the game program. Its start, the main menu and the
// instructions screen; a match is one call of Spel.
#pragma once

#include <cstdint>

#include "runtime/checks.h"

namespace OperationBrannoway {

// The mouse in client pixels, as last read by the menu or the weapon sidebar.
extern std::int32_t muisx;
extern std::int32_t muisy;
// Scratch text for the match's formatted messages.
extern runtime::Array<char, 0, 32> Buffer;

enum eKlik : std::uint8_t { PlayerVsPlayer = 0, PlayerVsCPU = 1, Options = 2, Exit = 3 };

// A picture button: its picture with the mouse away, with the mouse over it, and their mask.
struct tKnop {
  std::uint32_t normaal;
  std::uint32_t select;
  std::uint32_t alpha;
};

eKlik Menu();
void Instructions();
void Spel(eKlik Modus);

// The start of the program: the modules, the window, the board and the default text style.
void Start();
// The program's main body: the start, then the main menu until the player leaves.
void Run();

}  // namespace OperationBrannoway
