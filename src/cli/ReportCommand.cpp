#include "cli/ReportCommand.h"

#include "cli/ReportArgs.h"

namespace zorvex {

const CommandHelp& reportHelp() {
    static const CommandHelp help{
        "report",
        "write the report of an acquisition",
        {{"zorvex-cli report ACQ_FOLDER [OPTION]..."},
         "Writes the report of the acquisition in ACQ_FOLDER, as the report window's Generate does, into the "
         "acquisition folder and prints its path (and the adjusted bin size when it differs).",
         {{"Options:", reportOptionHelp()}},
         "Exit status: 0 written, 1 no report (the reason is on standard error), 2 bad usage."}};
    return help;
}

int runReportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto parsed = parseArgs(args, reportOptionNames(), {}, err);
    if (!parsed || parsed->positional.size() != 1) return usageError(reportHelp(), err);
    SystemHost host;
    auto request = reportRequestFrom(*parsed, parsed->positional[0], host, err);
    if (!request) return usageError(reportHelp(), err);
    ConsoleDialogs dialogs(err);
    auto outcome = generateReport(*request, dialogs, host);
    if (!outcome) return 1;
    printReportOutcome(*request, *outcome, out);
    return outcome->file ? 0 : 1;
}

}  // namespace zorvex
