#include "cli/InitCommand.h"

#include "cli/DataFolder.h"
#include "cli/ReportArgs.h"
#include "common/Files.h"
#include "device/PortMap.h"
#include "store/ProgramFolderInit.h"

namespace zorvex {

namespace {
constexpr const char* HelpDocumentName = "zorvex_help.pdf";
constexpr std::int16_t ShortDemoLapseMinutes = 2;  // a first look that does not keep a newcomer waiting

// The operator's guide: in the installed data folder, else where this build rendered it.
std::filesystem::path findHelpDocument(const std::filesystem::path& dataFolder) {
    const std::filesystem::path installed = dataFolder / HelpDocumentName;
#ifdef ZORVEX_HELP_PDF
    if (!fileExists(installed)) return ZORVEX_HELP_PDF;
#endif
    return installed;
}
}  // namespace

const CommandHelp& initHelp() {
    static const CommandHelp help{
        "init",
        "make a new program folder",
        {{"zorvex-cli init [--short-demo] DIR"},
         "Makes DIR a new program folder: config.dat, comports.dat, the plate files, the default project 0, the "
         "demo project p00001 and the operator's guide. DIR must not hold a program folder already.",
         {{"Options:", {{"--short-demo", "the demo project records 2 minutes instead of 10"}}}},
         "Exit status: 0 done, 1 the folder could not be made, 2 bad usage."}};
    return help;
}

int runInitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto parsed = parseArgs(args, {}, {"short-demo"}, err);
    if (!parsed || parsed->positional.size() != 1) return usageError(initHelp(), err);
    const std::int16_t demoLapse = parsed->flags.count("short-demo") != 0 ? ShortDemoLapseMinutes : DemoLapseMinutes;
    std::filesystem::path folder = std::filesystem::absolute(parsed->positional[0]);
    const std::filesystem::path dataFolder = findDataFolder();
    if (auto failure = initProgramFolder(folder, dataFolder, demoLapse)) {
        err << "zorvex-cli init: " << *failure << "\n";
        return 1;
    }
    if (!writeDefaultPortMap(folder)) {
        err << "zorvex-cli init: cannot write comports.dat in " << folder.string() << "\n";
        return 1;
    }
    // A build without windows has no guide to copy.
    if (const auto guide = findHelpDocument(dataFolder); fileExists(guide) && !copyFile(guide, folder / HelpDocumentName)) {
        err << "zorvex-cli init: cannot copy " << HelpDocumentName << " into " << folder.string() << "\n";
        return 1;
    }
    out << "Program folder ready: " << folder.string() << "\n";
    return 0;
}

}  // namespace zorvex
