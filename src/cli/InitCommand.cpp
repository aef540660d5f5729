#include "cli/InitCommand.h"

#include "cli/DataFolder.h"
#include "common/Files.h"
#include "device/PortMap.h"
#include "store/ProgramFolderInit.h"

namespace zorvex {

namespace {
constexpr const char* HelpDocumentName = "zorvex_help.pdf";

// The operator's guide: beside an installed data folder, else where this build rendered it.
std::filesystem::path findHelpDocument() {
    const std::filesystem::path installed = findDataFolder().parent_path() / HelpDocumentName;
    if (fileExists(installed)) return installed;
    return ZORVEX_HELP_PDF;
}
}  // namespace

int runInitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "usage: zorvex-cli init DIR\n";
        return 2;
    }
    std::filesystem::path folder = std::filesystem::absolute(args[0]);
    if (auto failure = initProgramFolder(folder, findDataFolder())) {
        err << "zorvex-cli init: " << *failure << "\n";
        return 1;
    }
    if (!writeDefaultPortMap(folder)) {
        err << "zorvex-cli init: cannot write comports.dat in " << folder.string() << "\n";
        return 1;
    }
    // A build without windows has no guide to copy.
    if (const auto guide = findHelpDocument(); fileExists(guide) && !copyFile(guide, folder / HelpDocumentName)) {
        err << "zorvex-cli init: cannot copy " << HelpDocumentName << " into " << folder.string() << "\n";
        return 1;
    }
    out << "Program folder ready: " << folder.string() << "\n";
    return 0;
}

}  // namespace zorvex
