#include "acquisition/NewProgramFolder.h"

#include <cstdlib>

#include "common/Files.h"
#include "device/PortMap.h"

namespace zorvex {

namespace {

constexpr const char* HelpDocumentName = "zorvex_help.pdf";

// The operator's guide: in the data folder, else where this build rendered it.
std::filesystem::path findHelpDocument(const std::filesystem::path& dataFolder) {
    const std::filesystem::path installed = dataFolder / HelpDocumentName;
#ifdef ZORVEX_HELP_PDF
    if (!fileExists(installed)) return ZORVEX_HELP_PDF;
#endif
    return installed;
}

}  // namespace

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

std::optional<std::string> makeProgramFolder(const std::filesystem::path& folder, std::int16_t demoLapseMinutes) {
    const std::filesystem::path dataFolder = findDataFolder();
    if (auto failure = initProgramFolder(folder, dataFolder, demoLapseMinutes)) return failure;
    if (!writeDefaultPortMap(folder)) return "cannot write comports.dat in " + folder.string();
    // A build without windows has no guide to copy.
    if (const auto guide = findHelpDocument(dataFolder); fileExists(guide) && !copyFile(guide, folder / HelpDocumentName)) {
        return std::string("cannot copy ") + HelpDocumentName + " into " + folder.string();
    }
    return std::nullopt;
}

}  // namespace zorvex
