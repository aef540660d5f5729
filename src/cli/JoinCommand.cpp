#include "cli/JoinCommand.h"

#include "cli/ReportArgs.h"
#include "reports/Join.h"

namespace zorvex {

int runJoinCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto parsed = parseArgs(args, {}, {}, err);
    if (!parsed || parsed->positional.size() < 3) {
        err << "usage: zorvex-cli join PROJECT_FOLDER ACQ_NAME ACQ_NAME...\n";
        return 2;
    }
    SystemHost host;
    ConsoleDialogs dialogs(err);
    std::vector<std::string> names(parsed->positional.begin() + 1, parsed->positional.end());
    auto files = joinAcquisitions(parsed->positional[0], names, dialogs, host);
    for (const auto& file : files) out << file.string() << "\n";
    return files.empty() ? 1 : 0;
}

}  // namespace zorvex
