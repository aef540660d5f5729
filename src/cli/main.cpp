// zorvex-cli: the instrument program's core without windows, for scripts and
// batch work.

#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "cli/ActivityCommand.h"
#include "cli/CommandHelp.h"
#include "cli/InitCommand.h"
#include "cli/JoinCommand.h"
#include "cli/RecalcCommand.h"
#include "cli/RecordCommand.h"
#include "cli/ReportCommand.h"
#include "cli/RhythmCommand.h"
#include "cli/WellsCommand.h"

namespace {

using namespace zorvex;

struct Command {
    int (*run)(const std::vector<std::string>&, std::ostream&, std::ostream&);
    const CommandHelp& (*help)();
};

// Adding a command is one entry here.
const std::map<std::string, Command>& commands() {
    static const std::map<std::string, Command> table = {
        {"activity", {runActivityCommand, activityHelp}},
        {"init", {runInitCommand, initHelp}},
        {"join", {runJoinCommand, joinHelp}},
        {"recalc", {runRecalcCommand, recalcHelp}},
        {"record", {runRecordCommand, recordHelp}},
        {"report", {runReportCommand, reportHelp}},
        {"rhythm", {runRhythmCommand, rhythmHelp}},
        {"wells", {runWellsCommand, wellsHelp}},
    };
    return table;
}

HelpText programHelp() {
    HelpSection list{"Commands:", {}};
    for (const auto& [name, command] : commands()) list.entries.push_back({name, command.help().summary});
    return {{"zorvex-cli COMMAND [ARGUMENT]...", "zorvex-cli help COMMAND"},
            "The instrument program without windows, for scripts and batch work: makes program folders, records "
            "acquisitions from the instrument, and writes reports, recounts, per-well files, rhythm-analysis files "
            "and joins from stored acquisitions. File formats and folders are those of the windows.",
            {list,
             {"Options:",
              {{"--help", "show this help and exit"}, {"--version", "show the version and exit"}}}},
            "'zorvex-cli COMMAND --help' shows the help of a command."};
}

int programUsageError(const std::string& problem) {
    std::cerr << "zorvex-cli: " << problem << "\n" << tryHelpText("zorvex-cli");
    return ExitUsage;
}

const Command* find(const std::string& name) {
    auto found = commands().find(name);
    return found == commands().end() ? nullptr : &found->second;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) return programUsageError("missing command");
    const std::string name = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (name == "--help" || name == "-h") {
        std::cout << formatHelp(programHelp());
        return 0;
    }
    if (name == "--version") {
        std::cout << versionText("zorvex-cli");
        return 0;
    }
    if (name == "help") {
        if (args.empty()) {
            std::cout << formatHelp(programHelp());
            return 0;
        }
        const Command* command = find(args[0]);
        if (!command || args.size() > 1) return programUsageError("help takes one command name");
        printCommandHelp(command->help(), std::cout);
        return 0;
    }
    const Command* command = find(name);
    if (!command) {
        return programUsageError(name.rfind('-', 0) == 0 ? "unknown option '" + name + "'"
                                                          : "unknown command '" + name + "'");
    }
    if (asksForHelp(args)) {
        printCommandHelp(command->help(), std::cout);
        return 0;
    }
    return command->run(args, std::cout, std::cerr);
}
