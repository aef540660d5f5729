#include "cli/DataFolder.h"

#include <cstdlib>

#include "common/Files.h"

namespace zorvex {

std::filesystem::path findDataFolder() {
    if (const char* fromEnvironment = std::getenv("ZORVEX_DATA_DIR"); fromEnvironment && *fromEnvironment) {
        return fromEnvironment;
    }
    std::error_code error;
    auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        auto installed = executable.parent_path().parent_path() / "share" / "zorvex" / "data";
        if (folderExists(installed)) return installed;
    }
    return ZORVEX_SOURCE_DATA_DIR;
}

}  // namespace zorvex
