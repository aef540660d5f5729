#pragma once
// "Generate...": an acquisition folder's counts.bin turned into a report
// file, with the messages of each failure, and the opening of the result.

#include <filesystem>
#include <optional>
#include <utility>

#include "platform/Dialogs.h"
#include "platform/Host.h"
#include "reports/ReportWriter.h"

namespace zorvex {

/// Everything a report run needs besides the operator's dialogs and host.
struct ReportRequest {
    std::filesystem::path acquisitionFolder;
    std::filesystem::path programFolder;  ///< where the plate format files are
    long long binMinutes = 60;            ///< the bin size asked for
    ReportOptions options;
};

/// What a report run produced.
struct ReportOutcome {
    std::optional<std::filesystem::path> file;  ///< the report written, if any
    BinSize binSize;                            ///< J after the adjustments
};

/// Loads the folder's side files and counts.bin, computes and writes the
/// report. Nothing after a message when counts.bin, setup.dat or the plate is
/// missing or counts.bin cannot be read.
std::optional<ReportOutcome> generateReport(const ReportRequest& request, Dialogs& dialogs, Host& host);

/// The tables of loaded data with bin size J from `binMinutes`; a computation
/// fault shows "Report Calculation Error" and leaves the tables filled so far.
ReportTables computeTables(const ReportPlate& plate, const LoadedSeries& series, long long binMinutes,
                           Dialogs& dialogs, BinSize& binSize);

/// Loads what "Generate..." loads: the side files and counts.bin, with the
/// messages of a missing counts.bin ("Activity file not Found"), setup.dat or
/// plate, and "Report Error" for a counts.bin that cannot be read.
std::optional<std::pair<ReportPlate, LoadedSeries>> loadReportData(const std::filesystem::path& acquisitionFolder,
                                                                   const std::filesystem::path& programFolder,
                                                                   Dialogs& dialogs);

/// loadReportData on bytes already read; `acquisitionFolder` only names
/// files and the project in messages.
std::optional<std::pair<ReportPlate, LoadedSeries>> parseReportData(const ReportFiles& files,
                                                                    const std::filesystem::path& acquisitionFolder,
                                                                    Dialogs& dialogs);

/// Computes and writes the report of already loaded data: a computation
/// fault shows "Report Calculation Error" and the tables so far are still
/// written; a writing fault shows "Report Error" and leaves no file.
ReportOutcome produceReport(const ReportPlate& plate, const LoadedSeries& series, const ReportRequest& request,
                            Dialogs& dialogs, Host& host);

/// Lets the event loop release a file just written, before another program
/// opens it.
void releaseWrittenFile(Host& host);

}  // namespace zorvex
