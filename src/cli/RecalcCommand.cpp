#include "cli/RecalcCommand.h"

#include "cli/ReportArgs.h"
#include "common/Text.h"
#include "reports/Recalculation.h"

namespace zorvex {

namespace {

constexpr double LowestSnr = 1.1;
constexpr double HighestSnr = 6.0;

// A number typed in full: "1.5" but not "1.5x" or "".
std::optional<double> number(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789.+-") != std::string::npos) return std::nullopt;
    return val(text);
}

}  // namespace

const CommandHelp& recalcHelp() {
    static const CommandHelp help{
        "recalc",
        "recount from real-time data, then report",
        {{"zorvex-cli recalc ACQ_FOLDER --method 0|1|2 --snr F (--hours H | --replace) [OPTION]..."},
         "Counts the activity of the acquisition in ACQ_FOLDER again from its real-time files with another method "
         "and SNR factor (the report window's Advanced > Analyze Raw Data), then writes the report and prints the "
         "paths. Without --replace the new counts go to a report of the first H hours only and counts.bin is "
         "kept; with --replace counts.bin is rewritten from the whole recording.",
         {{"Options:",
           [] {
               std::vector<HelpEntry> entries = {
                   {"--method 0|1|2", "0 threshold and binary, 1 threshold average, 2 motility index"},
                   {"--snr F", "SNR factor, 1.1 to 6 (C elegans 1.8, zebrafish 2.8)"},
                   {"--hours H", "recount the first H hours into a report only"},
                   {"--replace", "recount everything and replace counts.bin"}};
               for (HelpEntry& entry : reportOptionHelp()) entries.push_back(std::move(entry));
               return entries;
           }()}},
         "Exit status: 0 done, 1 failed (the reason is on standard error), 2 bad usage."}};
    return help;
}

int runRecalcCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::set<std::string> names = reportOptionNames();
    names.insert({"method", "snr", "hours"});
    auto parsed = parseArgs(args, names, {"replace"}, err);
    if (!parsed || parsed->positional.size() != 1) return usageError(recalcHelp(), err);
    const auto& options = parsed->options;
    bool replace = parsed->flags.count("replace") != 0;
    if (options.count("method") == 0 || options.count("snr") == 0 || replace == (options.count("hours") != 0)) {
        return usageError(recalcHelp(), err);
    }
    RecalcSettings settings;
    settings.replace = replace;
    const std::string& methodText = options.at("method");
    if (methodText != "0" && methodText != "1" && methodText != "2") {
        err << "--method is 0, 1 or 2\n";
        return usageError(recalcHelp(), err);
    }
    settings.method = methodText[0] - '0';
    auto snr = number(options.at("snr"));
    if (!snr || *snr < LowestSnr || *snr > HighestSnr) {
        err << "--snr is a number from 1.1 to 6\n";
        return usageError(recalcHelp(), err);
    }
    settings.snr = *snr;
    if (!replace) {
        auto hours = number(options.at("hours"));
        if (!hours || *hours < 0) {
            err << "--hours is a number of hours\n";
            return usageError(recalcHelp(), err);
        }
        settings.hours = *hours;
    }
    SystemHost host;
    auto request = reportRequestFrom(*parsed, parsed->positional[0], host, err);
    if (!request) return usageError(recalcHelp(), err);
    ConsoleDialogs dialogs(err);
    auto outcome = recalculate(*request, settings, dialogs, host);
    if (!outcome || !outcome->report) return 1;
    if (replace) out << (request->acquisitionFolder / "counts.bin").string() << "\n";
    printReportOutcome(*request, *outcome->report, out);
    return outcome->report->file ? 0 : 1;
}

}  // namespace zorvex
