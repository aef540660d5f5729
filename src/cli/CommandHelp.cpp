#include "cli/CommandHelp.h"

#include <algorithm>

namespace zorvex {

bool asksForHelp(const std::vector<std::string>& args) {
    return std::find(args.begin(), args.end(), "--help") != args.end();
}

void printCommandHelp(const CommandHelp& help, std::ostream& out) { out << formatHelp(help.text); }

int usageError(const CommandHelp& help, std::ostream& err) {
    err << formatUsage(help.text) << tryHelpText("zorvex-cli " + help.name);
    return ExitUsage;
}

std::vector<HelpEntry> reportOptionHelp() {
    return {
        {"--program-folder DIR", "program folder with the plate files (default: $ZORVEX_HOME, else "
                                 "~/.local/share/zorvex)"},
        {"--bin MIN", "bin size in minutes (default 60); adjusted to a multiple of the recorded bins"},
        {"--layout rows|list|array", "table layout (default rows)"},
        {"--format csv|txt", "file type (default csv)"},
        {"--spacer TEXT", "column separator (default: the locale's list separator for csv, a space for txt)"},
        {"--std-error on|off", "standard error rows (default on)"},
        {"--std-dev on|off", "standard deviation rows (default off)"},
        {"--wells-per-group on|off", "the \"N\" rows: wells counted in each group (default on)"},
    };
}

}  // namespace zorvex
