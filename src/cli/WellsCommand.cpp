#include "cli/WellsCommand.h"

#include "cli/ReportArgs.h"
#include "reports/WellExport.h"

namespace zorvex {

const CommandHelp& wellsHelp() {
    static const CommandHelp help{
        "wells",
        "write one activity file per well",
        {{"zorvex-cli wells ACQ_FOLDER [--program-folder DIR] [--bin MIN]"},
         "Writes one text file of activity per well of the acquisition in ACQ_FOLDER (the report window's "
         "Advanced > 1 file/well Report) and prints their paths. The export question is answered Yes.",
         {{"Options:", {reportOptionHelp()[0], reportOptionHelp()[1]}}},
         "Exit status: 0 written, 1 nothing written, 2 bad usage."}};
    return help;
}

int runWellsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto parsed = parseArgs(args, {"program-folder", "bin"}, {}, err);
    if (!parsed || parsed->positional.size() != 1) return usageError(wellsHelp(), err);
    SystemHost host;
    auto request = reportRequestFrom(*parsed, parsed->positional[0], host, err);
    if (!request) return usageError(wellsHelp(), err);
    ConsoleDialogs dialogs(err);
    auto files = exportWells(request->acquisitionFolder, request->programFolder, request->binMinutes, dialogs, host);
    for (const auto& file : files) out << file.string() << "\n";
    return files.empty() ? 1 : 0;
}

}  // namespace zorvex
