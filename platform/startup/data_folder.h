// Where a program finds the folder of data it reads from its working
// directory (the game's Media/), a rule both builds share: a program started
// from elsewhere (a shortcut, Explorer, a terminal in another folder) starts
// in its own folder when the data is there and not in the working one.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace winlayer::startup {

enum class DataFound { InWorkingFolder, InProgramFolder, Nowhere };

DataFound FindDataFolder(const std::filesystem::path& working, const std::filesystem::path& programFolder,
                         const std::filesystem::path& data);

// A path as UTF-8 text, whatever the system's own encoding of paths.
std::string PathText(const std::filesystem::path& path);

// What a program without its data says (UTF-8): the folders it looked in,
// then the build's advice on what to do.
std::string MissingDataMessage(std::string_view program, const std::filesystem::path& working,
                               const std::filesystem::path& programFolder, const std::filesystem::path& data,
                               std::string_view advice);

// Its message box's caption.
std::string MissingDataCaption(std::string_view program, const std::filesystem::path& data);

}  // namespace winlayer::startup
