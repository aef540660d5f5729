#include "cli/JoinCommand.h"

#include "cli/ReportArgs.h"
#include "reports/Join.h"

namespace zorvex {

const CommandHelp& joinHelp() {
    static const CommandHelp help{
        "join",
        "join acquisitions into a new folder",
        {{"zorvex-cli join PROJECT_FOLDER ACQ_NAME ACQ_NAME..."},
         "Joins two or more acquisitions of a project, in the order given, into a new acquisition folder named "
         "after the present minute, with the minutes of each following run shifted to continue the first. "
         "Prints the paths of the files written. The join question is answered OK.",
         {},
         "Exit status: 0 joined, 1 nothing was joined, 2 bad usage."}};
    return help;
}

int runJoinCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto parsed = parseArgs(args, {}, {}, err);
    if (!parsed || parsed->positional.size() < 3) return usageError(joinHelp(), err);
    SystemHost host;
    ConsoleDialogs dialogs(err);
    std::vector<std::string> names(parsed->positional.begin() + 1, parsed->positional.end());
    auto files = joinAcquisitions(parsed->positional[0], names, dialogs, host);
    for (const auto& file : files) out << file.string() << "\n";
    return files.empty() ? 1 : 0;
}

}  // namespace zorvex
