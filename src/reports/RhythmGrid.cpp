#include "reports/RhythmGrid.h"

#include <algorithm>
#include <exception>

#include "reports/RecordedLight.h"
#include "reports/Report.h"

namespace zorvex {

namespace {

// Far beyond any recording (the lapse is a 16-bit count of minutes, joins
// add a few); a larger span comes from a damaged counts.bin and would only
// allocate without end.
constexpr long long MaxSpanMinutes = 100 * MinutesPerDay;
// Intervals handed to the report computation at a time: its bin numbers are
// 16-bit and it sums all 384 channels per bin.
constexpr int ChunkIntervals = MinutesPerDay;

// Adds the well activity of the records of intervals first..first+count-1,
// through the report computation with 1-minute bins (interval k as bin
// k-first+1). `next` walks `order`, the records in interval order.
void addChunk(const ReportPlate& plate, const LoadedSeries& series, const std::vector<std::size_t>& order,
              const std::vector<std::int32_t>& intervalOfRecord, int first, int count, std::size_t& next,
              RhythmGrid& grid) {
    LoadedSeries chunk;
    for (; next < order.size() && intervalOfRecord[order[next]] < first + count; ++next) {
        const std::size_t n = order[next];
        const std::int32_t k = intervalOfRecord[n];
        if (k < first) continue;
        chunk.minutes.push_back(k - first + 1);
        chunk.counts.push_back(series.counts[n]);
        chunk.temperatureTenths.push_back(series.temperatureTenths[n]);
    }
    if (chunk.minutes.empty()) return;
    ReportTables tables;
    computeReport(plate, chunk, 1, count, tables);
    for (int w = 0; w < grid.wellCount(); ++w) {
        auto& counts = grid.wellCounts[static_cast<std::size_t>(w)];
        for (int b = 1; b <= count; ++b) {
            counts[static_cast<std::size_t>(first + b - 1)] =
                tables.wellActivity[static_cast<std::size_t>(b)][static_cast<std::size_t>(w)];
        }
    }
}

}  // namespace

int RhythmGrid::groupOfWell(int well) const { return plate.groupOfWell(well); }

std::optional<RhythmGrid> loadRhythmGrid(const std::filesystem::path& acquisitionFolder,
                                         const std::filesystem::path& programFolder, int intervalMinutes,
                                         Dialogs& dialogs) {
    if (intervalMinutes < 1 || intervalMinutes > MaxRhythmIntervalMinutes) {
        dialogs.message("The interval must be a whole number of minutes from 1 to 1440.");
        return std::nullopt;
    }
    auto start = acquisitionStartOf(acquisitionFolder);
    if (!start) {
        dialogs.message("The folder name is not an acquisition start (ddmmyyyy_hhmm): " + acquisitionFolder.string());
        return std::nullopt;
    }
    auto data = loadReportData(acquisitionFolder, programFolder, dialogs);
    if (!data) return std::nullopt;
    auto& [plate, series] = *data;
    // Without the tool parameters the light of the run is unknown.
    if (!plate.setupCopy.complete) {
        dialogs.message("Setup file not found or damaged: " + (acquisitionFolder / SetupFileName).string());
        return std::nullopt;
    }

    // A record's elapsed minute counts whole minutes at its bin's end, so
    // interval k holds the bins that ended during minutes k*I to (k+1)*I.
    std::vector<std::int32_t> intervalOfRecord(series.minutes.size(), -1);
    std::int32_t lastMinute = -1;
    for (std::size_t n = 0; n < series.minutes.size(); ++n) {
        if (series.minutes[n] < 0) continue;  // never written; left out
        intervalOfRecord[n] = series.minutes[n] / intervalMinutes;
        lastMinute = std::max(lastMinute, series.minutes[n]);
    }
    if (lastMinute >= MaxSpanMinutes) {
        dialogs.message("counts.bin holds elapsed times beyond 100 days; it is damaged and cannot be exported.");
        return std::nullopt;
    }
    RhythmGrid grid;
    grid.start = *start;
    grid.intervalMinutes = intervalMinutes;
    const int intervals = lastMinute < 0 ? 0 : lastMinute / intervalMinutes + 1;
    grid.hasRecords.assign(static_cast<std::size_t>(intervals), false);
    grid.wellCounts.assign(static_cast<std::size_t>(plate.maxWell) + 1,
                           std::vector<std::int32_t>(static_cast<std::size_t>(intervals), 0));
    for (std::int32_t k : intervalOfRecord) {
        if (k >= 0) grid.hasRecords[static_cast<std::size_t>(k)] = true;
    }
    // The computation walks its bins forwards; records out of order (joined
    // runs) are put in interval order, keeping their order within one.
    std::vector<std::size_t> order(series.minutes.size());
    for (std::size_t n = 0; n < order.size(); ++n) order[n] = n;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return intervalOfRecord[a] < intervalOfRecord[b]; });
    try {
        std::size_t next = 0;
        for (int first = 0; first < intervals; first += ChunkIntervals) {
            addChunk(plate, series, order, intervalOfRecord, first, std::min(ChunkIntervals, intervals - first), next,
                     grid);
        }
    } catch (const std::exception&) {
        dialogs.message("Report Calculation Error");
        return std::nullopt;
    }
    grid.lightOn = intervalLight(recordedLight(plate.setupCopy.setup), grid.start, intervalMinutes, intervals);
    grid.plate = std::move(plate);
    return grid;
}

}  // namespace zorvex
