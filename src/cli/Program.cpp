#include "cli/Program.h"

#include <algorithm>
#include <memory>

#include "cli/ActivityCommand.h"
#include "cli/ExportCommand.h"
#include "cli/FigureCommand.h"
#include "cli/InitCommand.h"
#include "cli/JoinCommand.h"
#include "cli/PeriodogramCommand.h"
#include "cli/RecalcCommand.h"
#include "cli/RecordCommand.h"
#include "cli/ReportCommand.h"
#include "cli/RhythmCommand.h"
#include "cli/ScreenCommand.h"
#include "cli/SleepCommand.h"
#include "cli/WellsCommand.h"

namespace zorvex {

namespace {

// Adding a command is one line here; the help lists them in this order.
std::vector<std::unique_ptr<Command>> makeCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(makeActivityCommand());
    commands.push_back(makeExportCommand());
    commands.push_back(makeFigureCommand());
    commands.push_back(makeInitCommand());
    commands.push_back(makeJoinCommand());
    commands.push_back(makePeriodogramCommand());
    commands.push_back(makeRecalcCommand());
    commands.push_back(makeRecordCommand());
    commands.push_back(makeReportCommand());
    commands.push_back(makeRhythmCommand());
    commands.push_back(makeScreenCommand());
    commands.push_back(makeSleepCommand());
    commands.push_back(makeWellsCommand());
    return commands;
}

constexpr const char* CommandGroup = "Commands";

}  // namespace

int runZorvexCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CLI::App program{"The instrument program without windows, for scripts and batch work: makes program folders, "
                     "records acquisitions from the instrument, and writes reports, recounts, per-well files, "
                     "rhythm-analysis files, activity tables, sleep and circadian periods, figures, joins and screens from stored acquisitions. "
                     "File formats and folders are those of the windows.",
                     "zorvex-cli"};
    setUpProgram(program);
    program.footer("'zorvex-cli COMMAND --help' or 'zorvex-cli help COMMAND' shows the help of a command.");
    // One command per run; it also keeps a folder named like a command an argument.
    program.require_subcommand(1, 1);

    const std::vector<std::unique_ptr<Command>> commands = makeCommands();
    std::vector<std::pair<const CLI::App*, Command*>> declared;
    for (const auto& command : commands) {
        const CommandText& text = command->text();
        CLI::App* app = program.add_subcommand(text.name, text.summary);
        app->group(CommandGroup);
        app->footer(text.details + "\n\n" + text.exitStatus);
        command->declare(*app);
        declared.emplace_back(app, command.get());
    }
    CLI::App* help = program.add_subcommand("help", "show the help of a command, or of the program");
    help->group(CommandGroup);
    std::string topic;
    help->add_option("COMMAND", topic, "a command name")->type_name("");

    if (args.empty()) return usageError(program, "missing command", err);
    if (auto status = parseCommandLine(program, args, out, err)) return *status;

    const CLI::App* chosen = program.get_subcommands().front();
    if (chosen == help) {
        if (topic.empty()) {
            out << helpText(program);
            return ExitDone;
        }
        const auto named = program.get_subcommands([&topic](const CLI::App* app) { return app->get_name() == topic; });
        if (named.empty()) return usageError(program, "unknown command '" + topic + "'", err);
        out << helpText(*named.front());
        return ExitDone;
    }
    // The parse ends with exactly one of the declared commands.
    const auto found =
        std::find_if(declared.begin(), declared.end(), [chosen](const auto& entry) { return entry.first == chosen; });
    return found->second->run(out, err);
}

}  // namespace zorvex
