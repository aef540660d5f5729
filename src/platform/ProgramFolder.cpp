#include "platform/ProgramFolder.h"

#include <cstdlib>

namespace zorvex {

std::filesystem::path defaultProgramFolder() {
    const char* userHome = std::getenv("HOME");
    return std::filesystem::path(userHome && *userHome ? userHome : ".") / ".local" / "share" / "zorvex";
}

std::filesystem::path resolveProgramFolder(const std::optional<std::filesystem::path>& fromCommandLine) {
    if (fromCommandLine && !fromCommandLine->empty()) return std::filesystem::absolute(*fromCommandLine);
    if (const char* home = std::getenv("ZORVEX_HOME"); home && *home) return std::filesystem::absolute(home);
    return defaultProgramFolder();
}

}  // namespace zorvex
