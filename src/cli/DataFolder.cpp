#include "cli/DataFolder.h"

#include <cstdlib>

#include "common/Files.h"

namespace zorvex {

std::filesystem::path findDataFolder() {
    if (const char* fromEnvironment = std::getenv("ZORVEX_DATA_DIR"); fromEnvironment && *fromEnvironment) {
        return fromEnvironment;
    }
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    const auto installed = (executable.parent_path() / ZORVEX_INSTALLED_DATA_FROM_BIN).lexically_normal();
#ifdef ZORVEX_SOURCE_DATA_DIR
    if (error || !folderExists(installed)) return ZORVEX_SOURCE_DATA_DIR;
#endif
    return installed;
}

}  // namespace zorvex
