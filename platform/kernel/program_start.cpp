// The start of a program on Linux: its own folder is the one that holds
// /proc/self/exe. A console is a terminal here, which stays as it is. (A
// display that can't open writes the message box to standard error.)
#include <windows.h>
#include <winlayer/program_start.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "../startup/data_folder.h"

namespace winlayer {

bool StartProgram(const ProgramStart& start) {
  if (!start.dataFolder) return true;
  namespace fs = std::filesystem;
  std::error_code ignored;
  const fs::path working = fs::current_path(ignored);
  const fs::path program = fs::read_symlink("/proc/self/exe", ignored);
  const fs::path folder = program.parent_path();
  switch (startup::FindDataFolder(working, folder, start.dataFolder)) {
    case startup::DataFound::InWorkingFolder: break;
    case startup::DataFound::InProgramFolder: fs::current_path(folder, ignored); break;
    case startup::DataFound::Nowhere: {
      const std::string name = startup::PathText(program.filename());
      const std::string text = startup::MissingDataMessage(
          name, working, folder, start.dataFolder,
          "Start it with the launcher that was installed with it, or from the folder that holds " +
              std::string(start.dataFolder) + ".");
      MessageBoxA(nullptr, text.c_str(), startup::MissingDataCaption(name, start.dataFolder).c_str(), MB_OK | MB_ICONWARNING);
      break;
    }
  }
  return true;
}

}  // namespace winlayer
