#include "reports/Report.h"

#include <stdexcept>

#include "common/Files.h"

namespace zorvex {

namespace {

constexpr int ReleaseYields = 1000;

// The plate with the series `load` gives; "Report Error" when it gives none
// or its minutes cannot be unwrapped.
template <typename LoadSeries>
std::optional<std::pair<ReportPlate, LoadedSeries>> withSeries(ReportPlate plate, const LoadSeries& load,
                                                               Dialogs& dialogs) {
    std::optional<LoadedSeries> series;
    try {
        series = load();
    } catch (const std::exception&) {
        series.reset();
    }
    if (!series) {
        dialogs.message("Report Error");
        return std::nullopt;
    }
    return std::make_pair(std::move(plate), std::move(*series));
}

}  // namespace

ReportTables computeTables(const ReportPlate& plate, const LoadedSeries& series, long long binMinutes,
                           Dialogs& dialogs, BinSize& binSize) {
    ReportTables tables;
    try {
        binSize = adjustBinSize(binMinutes, series.span());
        computeReport(plate, series, binSize.minutes, series.span(), tables);
    } catch (const std::exception&) {
        dialogs.message("Report Calculation Error");
    }
    return tables;
}

ReportOutcome produceReport(const ReportPlate& plate, const LoadedSeries& series, const ReportRequest& request,
                            Dialogs& dialogs, Host& host) {
    ReportOutcome outcome;
    ReportTables tables = computeTables(plate, series, request.binMinutes, dialogs, outcome.binSize);
    try {
        std::string text = reportText(plate, tables, request.options, host.now(), request.acquisitionFolder.string());
        outcome.file = writeReportFile(request.acquisitionFolder, request.options.extension, text);
    } catch (const std::exception&) {
        outcome.file.reset();
    }
    if (!outcome.file) dialogs.message("Report Error");
    return outcome;
}

std::optional<std::pair<ReportPlate, LoadedSeries>> loadReportData(const std::filesystem::path& acquisitionFolder,
                                                                   const std::filesystem::path& programFolder,
                                                                   Dialogs& dialogs) {
    if (!fileExists(acquisitionFolder / "counts.bin")) {
        dialogs.message("Activity file not Found");
        return std::nullopt;
    }
    auto plate = loadReportPlate(acquisitionFolder, programFolder, dialogs);
    if (!plate) return std::nullopt;
    return withSeries(std::move(*plate), [&] { return loadSeries(acquisitionFolder, dialogs); }, dialogs);
}

std::optional<std::pair<ReportPlate, LoadedSeries>> parseReportData(const ReportFiles& files,
                                                                    const std::filesystem::path& acquisitionFolder,
                                                                    Dialogs& dialogs) {
    if (!files.counts) {
        dialogs.message("Activity file not Found");
        return std::nullopt;
    }
    auto plate = parseReportPlate(files, acquisitionFolder, dialogs);
    if (!plate) return std::nullopt;
    return withSeries(std::move(*plate), [&] { return parseSeries(files.counts, dialogs); }, dialogs);
}

std::optional<ReportOutcome> generateReport(const ReportRequest& request, Dialogs& dialogs, Host& host) {
    auto data = loadReportData(request.acquisitionFolder, request.programFolder, dialogs);
    if (!data) return std::nullopt;
    return produceReport(data->first, data->second, request, dialogs, host);
}

void releaseWrittenFile(Host& host) {
    for (int i = 0; i < ReleaseYields; ++i) host.yield();
}

}  // namespace zorvex
