#pragma once
// The report settings as command options (report, recalc, wells), and the
// console stand-in for message boxes.

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "cli/Command.h"
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

/// A report request as a command's arguments, with the report window's
/// defaults (bin 60, rows, csv with the locale's list separator, std error
/// on, std dev off, wells per group on).
struct ReportArguments {
    std::filesystem::path acquisitionFolder;
    std::optional<std::filesystem::path> programFolder;
    long long binMinutes = 60;
    std::string layout = "rows";
    std::string format = "csv";
    std::optional<std::string> spacer;
    bool stdError = true;
    bool stdDev = false;
    bool wellsPerGroup = true;

    /// Adds ACQ_FOLDER, --program-folder and --bin to `app`.
    void declareSource(CLI::App& app);
    /// Adds the table's options: --layout, --format, --spacer, --std-error, --std-dev, --wells-per-group.
    void declareTable(CLI::App& app);
    /// The request the arguments describe; the spacer defaults to the
    /// locale's list separator for csv, a space for txt, as in the window.
    ReportRequest request(Host& host) const;
};

/// Prints the adjusted bin size when it differs from the one asked for, and the report path.
void printReportOutcome(const ReportRequest& request, const ReportOutcome& outcome, std::ostream& out);

}  // namespace zorvex
