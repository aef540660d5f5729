// zorvex-cli: the instrument program's core without windows, for scripts and
// batch work.

#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "cli/ActivityCommand.h"
#include "cli/InitCommand.h"
#include "cli/JoinCommand.h"
#include "cli/RecalcCommand.h"
#include "cli/RecordCommand.h"
#include "cli/ReportCommand.h"
#include "cli/WellsCommand.h"

namespace {

using Command = std::function<int(const std::vector<std::string>&, std::ostream&, std::ostream&)>;

const std::map<std::string, std::pair<Command, const char*>>& commands() {
    static const std::map<std::string, std::pair<Command, const char*>> table = {
        {"activity", {zorvex::runActivityCommand, "activity ...        count one channel frame and show its traces"}},
        {"init", {zorvex::runInitCommand, "init DIR            make a new program folder"}},
        {"join", {zorvex::runJoinCommand, "join PROJECT ACQ... join acquisitions into a new folder"}},
        {"recalc", {zorvex::runRecalcCommand, "recalc ACQ_FOLDER   recount from real-time data, then report"}},
        {"record", {zorvex::runRecordCommand, "record [OPTIONS]    record an acquisition from the instrument"}},
        {"report", {zorvex::runReportCommand, "report ACQ_FOLDER   write the report of an acquisition"}},
        {"wells", {zorvex::runWellsCommand, "wells ACQ_FOLDER    write one activity file per well"}},
    };
    return table;
}

int usage(std::ostream& stream) {
    stream << "usage: zorvex-cli COMMAND [ARGS]\n\ncommands:\n";
    for (const auto& [name, entry] : commands()) stream << "  " << entry.second << "\n";
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) return usage(std::cerr);
    std::string name = argv[1];
    if (name == "--help" || name == "help") {
        usage(std::cout);
        return 0;
    }
    auto found = commands().find(name);
    if (found == commands().end()) {
        std::cerr << "zorvex-cli: unknown command '" << name << "'\n";
        return usage(std::cerr);
    }
    return found->second.first(std::vector<std::string>(argv + 2, argv + argc), std::cout, std::cerr);
}
