#pragma once

#include <filesystem>
#include <optional>

namespace zorvex {

/// The program folder of a user who names none: ~/.local/share/zorvex.
std::filesystem::path defaultProgramFolder();

/// The program folder: the one given on the command line, else $ZORVEX_HOME,
/// else the default one.
std::filesystem::path resolveProgramFolder(const std::optional<std::filesystem::path>& fromCommandLine);

}  // namespace zorvex
