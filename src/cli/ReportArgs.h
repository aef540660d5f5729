#pragma once
// Option parsing shared by the report commands (report, recalc, wells, join),
// and the console stand-in for message boxes.

#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Host.h"
#include "reports/Report.h"

namespace zorvex {

/// Message boxes of a command: each text goes to the error stream, and every
/// question takes its first answer (OK, Yes), since scripts cannot answer.
class ConsoleDialogs : public Dialogs {
public:
    explicit ConsoleDialogs(std::ostream& err) : err_(err) {}
    Answer message(const std::string& text, Buttons buttons = Buttons::Ok) override;
    std::string input(const std::string& prompt, const std::string& initialText = "") override;

private:
    std::ostream& err_;
};

/// A command line split into positional words and --name value options.
struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;  ///< without the leading "--"
    std::set<std::string> flags;                 ///< options without a value
};

/// Splits `args`; options named in `flagNames` take no value. Nothing, after a
/// message on `err`, for an unknown option or a missing value.
std::optional<ParsedArgs> parseArgs(const std::vector<std::string>& args, const std::set<std::string>& valueNames,
                                    const std::set<std::string>& flagNames, std::ostream& err);

/// Option names of the report settings: program-folder, bin, layout, format,
/// spacer, std-error, std-dev, wells-per-group.
const std::set<std::string>& reportOptionNames();

/// The report request for `folder` from parsed options, with the report
/// window's defaults (bin 60, rows, csv with the locale's list separator,
/// std error on, std dev off, wells per group on). Nothing after a message on
/// a bad value.
std::optional<ReportRequest> reportRequestFrom(const ParsedArgs& parsed, const std::filesystem::path& folder,
                                               Host& host, std::ostream& err);

/// Prints the adjusted bin size when it differs from the one asked for, and the report path.
void printReportOutcome(const ReportRequest& request, const ReportOutcome& outcome, std::ostream& out);

}  // namespace zorvex
