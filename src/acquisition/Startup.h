#pragma once
// The decisions of the program's start-up that need no window: the autorun
// request of the command line and the choice of the project folder.

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace zorvex {

/// True when the trimmed command line is exactly "/RUN", "/run" or "/Run".
bool isAutorunRequest(std::string_view commandLine);

/// The folder of the current project: <program>/pNNNNN when that folder exists
/// and the number is above 0; otherwise the program folder itself, and the
/// number becomes 0 (the default project).
std::filesystem::path chooseProjectFolder(const std::filesystem::path& programFolder,
                                          std::int16_t& actualProjectNumber);

}  // namespace zorvex
