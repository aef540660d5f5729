#pragma once
// The report file: the computed tables written as rows, as a list, or as
// plate-shaped channel arrays, and the search for a report name that can be
// created in the acquisition folder.

#include <filesystem>
#include <optional>
#include <string>

#include "common/DateTime.h"
#include "reports/ReportComputation.h"

namespace zorvex {

enum class ReportLayout { Rows = 0, List = 1, Array = 2 };

/// The writer's settings, as the report window's controls give them.
struct ReportOptions {
    ReportLayout layout = ReportLayout::Rows;
    std::string extension = ".csv";  ///< ".csv" or ".txt"
    std::string spacer = ",";        ///< field separator, used verbatim
    bool stdError = true;
    bool stdDev = false;
    bool wellsPerGroup = true;
};

/// The whole report text (UTF-8, CR LF lines) for the tables. `folderText` is
/// the acquisition folder as the FILE: line shows it. Throws OverflowError
/// when a bin label J x b leaves 16 bits.
std::string reportText(const ReportPlate& plate, const ReportTables& tables, const ReportOptions& options,
                       const DateTime& now, const std::string& folderText);

/// Writes `text` (converted to code page 1252) as report<ext>, or report_1,
/// report_2... while a name is held open by another program (its office
/// suite's lock file ".~lock.<name>#" lies beside it) or cannot be written;
/// the path written, or nothing when no name up to report_32767 could be.
/// The file is written beside and then renamed, never rewritten in place.
std::optional<std::filesystem::path> writeReportFile(const std::filesystem::path& folder, const std::string& extension,
                                                     const std::string& text);

/// "dd/mm/yyyy hh:mm:ss", the general date format of the report header.
std::string generalDate(const DateTime& when);

}  // namespace zorvex
