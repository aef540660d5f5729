#include "cli/RhythmCommand.h"

#include <charconv>

#include "cli/ReportArgs.h"
#include "platform/ProgramFolder.h"
#include "reports/RhythmExport.h"

namespace zorvex {

namespace {

std::optional<int> intervalOption(const std::string& text) {
    int minutes = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), minutes);
    if (error != std::errc() || end != text.data() + text.size() || minutes < 1 || minutes > MaxRhythmIntervalMinutes) {
        return std::nullopt;
    }
    return minutes;
}

}  // namespace

const CommandHelp& rhythmHelp() {
    static const CommandHelp help{
        "rhythm",
        "export per-well activity for rhythm-analysis tools",
        {{"zorvex-cli rhythm ACQ_FOLDER [--interval MIN] [--out DIR] [--program-folder DIR]"},
         "Writes the activity of every well of the acquisition in ACQ_FOLDER on a regular grid of MIN minutes as "
         "42-column monitor files of 32 wells each (Monitor1.txt, ...), with the light of each interval, and "
         "metadata.csv naming each well's file, column, group, plate and experiment. Prints the files written.",
         {{"Options:",
           {{"--interval MIN", "minutes per line, 1 to 1440 (default 1)"},
            {"--out DIR", "folder of the files, created when missing (default ACQ_FOLDER/rhythm)"},
            reportOptionHelp()[0]}}},
         "Exit status: 0 written, 1 nothing written, 2 bad usage."}};
    return help;
}

int runRhythmCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto parsed = parseArgs(args, {"program-folder", "interval", "out"}, {}, err);
    if (!parsed || parsed->positional.size() != 1) return usageError(rhythmHelp(), err);
    RhythmRequest request;
    request.acquisitionFolder = parsed->positional[0];
    auto option = [&](const std::string& name) -> std::optional<std::string> {
        auto found = parsed->options.find(name);
        return found == parsed->options.end() ? std::nullopt : std::optional<std::string>(found->second);
    };
    if (auto interval = option("interval")) {
        auto minutes = intervalOption(*interval);
        if (!minutes) {
            err << "--interval needs a whole number of minutes from 1 to 1440\n";
            return usageError(rhythmHelp(), err);
        }
        request.intervalMinutes = *minutes;
    }
    if (auto folder = option("out")) request.outFolder = *folder;
    auto programFolder = option("program-folder");
    request.programFolder =
        resolveProgramFolder(programFolder ? std::optional<std::filesystem::path>(*programFolder) : std::nullopt);
    ConsoleDialogs dialogs(err);
    auto files = exportRhythm(request, dialogs);
    for (const auto& file : files) out << file.string() << "\n";
    return files.empty() ? 1 : 0;
}

}  // namespace zorvex
