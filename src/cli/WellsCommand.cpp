#include "cli/WellsCommand.h"

#include "cli/ReportArgs.h"
#include "reports/WellExport.h"

namespace zorvex {

int runWellsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto parsed = parseArgs(args, {"program-folder", "bin"}, {}, err);
    if (!parsed || parsed->positional.size() != 1) {
        err << "usage: zorvex-cli wells ACQ_FOLDER [--program-folder DIR] [--bin MIN]\n";
        return 2;
    }
    SystemHost host;
    auto request = reportRequestFrom(*parsed, parsed->positional[0], host, err);
    if (!request) return 2;
    ConsoleDialogs dialogs(err);
    auto files = exportWells(request->acquisitionFolder, request->programFolder, request->binMinutes, dialogs, host);
    for (const auto& file : files) out << file.string() << "\n";
    return files.empty() ? 1 : 0;
}

}  // namespace zorvex
