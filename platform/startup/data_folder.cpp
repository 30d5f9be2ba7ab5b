#include "data_folder.h"

#include <system_error>

namespace winlayer::startup {

namespace {

bool Holds(const std::filesystem::path& folder, const std::filesystem::path& data) {
  std::error_code ignored;  // an unreadable folder holds nothing
  return !folder.empty() && std::filesystem::is_directory(folder / data, ignored);
}

}  // namespace

std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return {reinterpret_cast<const char*>(text.data()), text.size()};
}

DataFound FindDataFolder(const std::filesystem::path& working, const std::filesystem::path& programFolder,
                         const std::filesystem::path& data) {
  if (Holds(working, data)) return DataFound::InWorkingFolder;
  if (Holds(programFolder, data)) return DataFound::InProgramFolder;
  return DataFound::Nowhere;
}

std::string MissingDataMessage(std::string_view program, const std::filesystem::path& working,
                               const std::filesystem::path& programFolder, const std::filesystem::path& data,
                               std::string_view advice) {
  std::string text = std::string(program) + " can't find its " + PathText(data) + " folder. It looked in:\n\n    " +
                     PathText(programFolder);
  std::error_code ignored;
  if (!working.empty() && !std::filesystem::equivalent(working, programFolder, ignored))
    text += "\n    " + PathText(working);
  text += "\n\n";
  text += advice;
  text += "\n\nIt goes on without what that folder holds.";
  return text;
}

std::string MissingDataCaption(std::string_view program, const std::filesystem::path& data) {
  return std::string(program) + " - no " + PathText(data) + " folder";
}

}  // namespace winlayer::startup
