#include "cli/InitCommand.h"

#include "acquisition/NewProgramFolder.h"
#include "cli/ReportArgs.h"

namespace zorvex {

namespace {
constexpr std::int16_t ShortDemoLapseMinutes = 2;  // a first look that does not keep a newcomer waiting
}  // namespace

const CommandHelp& initHelp() {
    static const CommandHelp help{
        "init",
        "make a new program folder",
        {{"zorvex-cli init [--short-demo] DIR"},
         "Makes DIR a new program folder: config.dat, comports.dat, the plate files, the default project 0, the "
         "demo project p00001 and the operator's guide. DIR must not hold a program folder already.",
         {{"Options:", {{"--short-demo", "the demo project records 2 minutes instead of 10"}}}},
         "Exit status: 0 done, 1 the folder could not be made, 2 bad usage."}};
    return help;
}

int runInitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto parsed = parseArgs(args, {}, {"short-demo"}, err);
    if (!parsed || parsed->positional.size() != 1) return usageError(initHelp(), err);
    const std::int16_t demoLapse = parsed->flags.count("short-demo") != 0 ? ShortDemoLapseMinutes : DemoLapseMinutes;
    std::filesystem::path folder = std::filesystem::absolute(parsed->positional[0]);
    if (auto failure = makeProgramFolder(folder, demoLapse)) {
        err << "zorvex-cli init: " << *failure << "\n";
        return 1;
    }
    out << "Program folder ready: " << folder.string() << "\n";
    return 0;
}

}  // namespace zorvex
