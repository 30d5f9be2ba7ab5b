// The start of a Windows program as a player meets it. The programs are
// console programs (Test writes its times to standard output), so Windows
// gives one started from Explorer or a shortcut a console window of its own,
// which would stand empty beside the game: a console that this process alone
// is attached to is let go. Started from a terminal, the program shares the
// terminal's console and keeps it.
#include <windows.h>
#include <winlayer/program_start.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "../startup/data_folder.h"

namespace winlayer {

namespace {

std::filesystem::path ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return path.substr(0, length);
    path.resize(path.size() * 2);  // a long path, truncated
  }
}

std::wstring Wide(const std::string& utf8) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

void LetGoOfOwnConsole() {
  // Wine run from a Unix terminal gives a console without a window: that stays.
  if (!GetConsoleWindow()) return;
  DWORD processes[2];
  if (GetConsoleProcessList(processes, 2) == 1) FreeConsole();
}

void StartBesideData(const char* data) {
  namespace fs = std::filesystem;
  std::error_code ignored;
  const fs::path working = fs::current_path(ignored);
  const fs::path program = ProgramPath();
  const fs::path folder = program.parent_path();
  switch (startup::FindDataFolder(working, folder, data)) {
    case startup::DataFound::InWorkingFolder: break;
    case startup::DataFound::InProgramFolder: fs::current_path(folder, ignored); break;
    case startup::DataFound::Nowhere: {
      const std::string name = startup::PathText(program.stem());
      const std::string text = startup::MissingDataMessage(
          name, working, folder, data,
          "Extract the whole ZIP into a folder first (in Explorer: right-click the ZIP, then \"Extract All...\"), "
          "then start " + startup::PathText(program.filename()) + " in that folder.");
      MessageBoxW(nullptr, Wide(text).c_str(), Wide(startup::MissingDataCaption(name, data)).c_str(), MB_OK | MB_ICONWARNING);
      break;
    }
  }
}

}  // namespace

bool StartProgram(const ProgramStart& start) {
  if (start.windowed) LetGoOfOwnConsole();
  if (start.dataFolder) StartBesideData(start.dataFolder);
  return true;
}

}  // namespace winlayer
