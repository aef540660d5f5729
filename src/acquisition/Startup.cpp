#include "acquisition/Startup.h"

#include "common/Files.h"
#include "common/Text.h"
#include "store/ProjectFolders.h"

namespace zorvex {

bool isAutorunRequest(std::string_view commandLine) {
    std::string_view trimmed = trimBlanks(commandLine);
    return trimmed == "/RUN" || trimmed == "/run" || trimmed == "/Run";
}

std::filesystem::path chooseProjectFolder(const std::filesystem::path& programFolder,
                                          std::int16_t& actualProjectNumber) {
    if (actualProjectNumber > 0) {
        auto folder = projectFolderPath(programFolder, actualProjectNumber);
        if (folderExists(folder)) return folder;
    }
    actualProjectNumber = 0;
    return programFolder;
}

}  // namespace zorvex
