#include "cli/ReportCommand.h"

#include "cli/ReportArgs.h"

namespace zorvex {

int runReportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto parsed = parseArgs(args, reportOptionNames(), {}, err);
    if (!parsed || parsed->positional.size() != 1) {
        err << "usage: zorvex-cli report ACQ_FOLDER [--program-folder DIR] [--bin MIN] [--layout rows|list|array]"
               " [--format csv|txt] [--spacer TEXT] [--std-error on|off] [--std-dev on|off]"
               " [--wells-per-group on|off]\n";
        return 2;
    }
    SystemHost host;
    auto request = reportRequestFrom(*parsed, parsed->positional[0], host, err);
    if (!request) return 2;
    ConsoleDialogs dialogs(err);
    auto outcome = generateReport(*request, dialogs, host);
    if (!outcome) return 1;
    printReportOutcome(*request, *outcome, out);
    return outcome->file ? 0 : 1;
}

}  // namespace zorvex
