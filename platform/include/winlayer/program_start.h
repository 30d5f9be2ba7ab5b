// What the layer does for a program before its main, as the build asks
// (winlayer_program_start in cmake/WinLayerDisplay.cmake):
//
// - dataFolder: the program reads this folder from its working directory.
//   When the working directory lacks it and the program's own folder has it,
//   the program starts in its own folder; when neither has it, the program
//   says so once in a message box and goes on.
// - windowed: the program shows windows and writes nothing a player reads.
//   On Windows a console that Windows made for it alone (started from
//   Explorer or a shortcut) is let go; one shared with a terminal stays.
#pragma once

namespace winlayer {

struct ProgramStart {
  const char* dataFolder = nullptr;
  bool windowed = false;
};

// Returns true, so that a static initializer can call it.
bool StartProgram(const ProgramStart& start);

}  // namespace winlayer
