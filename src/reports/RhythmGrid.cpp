#include "reports/RhythmGrid.h"

#include <algorithm>

#include "common/Numbers.h"
#include "reports/RecordedLight.h"
#include "reports/Report.h"

namespace zorvex {

namespace {

// Far beyond any recording (the lapse is a 16-bit count of minutes, joins
// add a few); a larger span comes from a damaged counts.bin and would only
// allocate without end.
constexpr long long MaxSpanMinutes = 100 * MinutesPerDay;

// Adds each record's beam counts to its well and interval, and its valid
// temperature to its interval's mean.
void addRecords(const LoadedSeries& series, const std::vector<std::int32_t>& intervalOfRecord, RhythmGrid& grid) {
    std::vector<std::vector<int>> channelsOfWell(static_cast<std::size_t>(grid.wellCount()));
    for (const auto& beamRow : grid.plate.channelMap) {
        for (std::size_t w = 0; w < channelsOfWell.size(); ++w) {
            if (beamRow[w] >= 0) channelsOfWell[w].push_back(beamRow[w]);
        }
    }
    const auto intervals = static_cast<std::size_t>(grid.intervalCount());
    std::vector<long long> temperatureSum(intervals, 0);
    std::vector<int> temperatures(intervals, 0);
    for (std::size_t n = 0; n < intervalOfRecord.size(); ++n) {
        if (intervalOfRecord[n] < 0) continue;
        const auto k = static_cast<std::size_t>(intervalOfRecord[n]);
        grid.hasRecords[k] = true;
        const auto& counts = series.counts[n];
        for (std::size_t w = 0; w < channelsOfWell.size(); ++w) {
            long long sum = grid.wellCounts[w][k];
            for (int c : channelsOfWell[w]) sum += counts[static_cast<std::size_t>(c)];
            grid.wellCounts[w][k] = toInt32(static_cast<double>(sum));
        }
        if (isValidTemperature(series.temperatureTenths[n])) {
            temperatureSum[k] += series.temperatureTenths[n];
            ++temperatures[k];
        }
    }
    grid.temperatureC.assign(intervals, std::nullopt);
    for (std::size_t k = 0; k < intervals; ++k) {
        if (temperatures[k] > 0) grid.temperatureC[k] = static_cast<double>(temperatureSum[k]) / temperatures[k] / 10.0;
    }
}

// Longest step between two records' stamps of a recording that goes on: one
// bin's whole minutes, measured as the median over runs of `Records` records
// so that the odd gap does not count, plus the minute a stamp rounds away.
std::int32_t longestStep(const std::vector<std::int32_t>& stamps) {
    constexpr std::size_t Records = 8;
    if (stamps.size() < 2) return 1;
    const std::size_t k = std::min(Records, stamps.size() - 1);
    std::vector<std::int32_t> spans;
    for (std::size_t n = 0; n + k < stamps.size(); ++n) spans.push_back(stamps[n + k] - stamps[n]);
    const auto middle = spans.begin() + static_cast<std::ptrdiff_t>(spans.size() / 2);
    std::nth_element(spans.begin(), middle, spans.end());
    return *middle / static_cast<std::int32_t>(k) + 1;
}

// Stamps taken from the wall clock (before the run's own clock) skip the hour
// that summer time leaves out while the records go on: a step of an hour more
// than a bin allows, over a whole hour of the clock, is that and no gap.
bool skipsClockHour(std::int32_t from, std::int32_t to, std::int32_t step, int startMinuteOfHour) {
    constexpr std::int32_t Hour = 60;
    if (to - from <= Hour || to - from > Hour + step) return false;
    const std::int32_t hourStart = from + 1 + (Hour - (startMinuteOfHour + from + 1) % Hour) % Hour;
    return hourStart + Hour <= to;
}

// [minute 0..lastMinute]: whether records cover the whole minute. Records
// further apart than a bin allows had a pause with the clock running or a
// join's gap between them: the minutes from the first one's to the second
// one's are at best partly recorded. The recording starts at minute 0; its
// end is the unfinished last interval's rule.
std::vector<bool> coveredMinutes(const std::vector<std::int32_t>& minutes, std::int32_t lastMinute,
                                 int startMinuteOfHour) {
    std::vector<std::int32_t> stamps;  // in recording order, which unwrapping keeps rising
    for (std::int32_t minute : minutes) {
        if (minute >= 0) stamps.push_back(minute);
    }
    std::vector<bool> covered(static_cast<std::size_t>(lastMinute) + 1, true);
    const std::int32_t step = longestStep(stamps);
    std::int32_t previous = 0;
    for (std::int32_t stamp : stamps) {
        if (stamp - previous > step && !skipsClockHour(previous, stamp, step, startMinuteOfHour)) {
            for (std::int32_t m = previous; m <= stamp; ++m) covered[static_cast<std::size_t>(m)] = false;
        }
        previous = stamp;
    }
    return covered;
}

// [interval]: every minute of it that the recording spans is covered.
std::vector<bool> coveredIntervals(const std::vector<bool>& minutes, int intervalMinutes, int intervals) {
    std::vector<bool> covered(static_cast<std::size_t>(intervals), true);
    for (std::size_t m = 0; m < minutes.size(); ++m) {
        if (!minutes[m]) covered[m / static_cast<std::size_t>(intervalMinutes)] = false;
    }
    return covered;
}

bool isGridInterval(int intervalMinutes, Dialogs& dialogs) {
    if (intervalMinutes >= 1 && intervalMinutes <= MaxGridIntervalMinutes) return true;
    dialogs.message("The interval must be a whole number of minutes from 1 to " +
                    std::to_string(MaxGridIntervalMinutes) + ".");
    return false;
}

}  // namespace

int RhythmGrid::groupOfWell(int well) const { return plate.groupOfWell(well); }

int RhythmGrid::beamsOfWell(int well) const {
    if (well < 0 || well > plate.maxWell) return 0;
    int beams = 0;
    for (const auto& beamRow : plate.channelMap) beams += beamRow[static_cast<std::size_t>(well)] >= 0 ? 1 : 0;
    return beams;
}

bool RhythmGrid::isReading(int interval) const {
    if (interval < 0 || interval >= wholeIntervals) return false;
    const auto k = static_cast<std::size_t>(interval);
    return hasRecords[k] && k < covered.size() && covered[k];
}

int RhythmGrid::exportedIntervals() const {
    int count = wholeIntervals;
    while (count > 0 && !isReading(count - 1)) --count;
    return count;
}

DateTime RhythmGrid::readingTime(int interval) const {
    return addMinutes(start, static_cast<double>(interval + 1) * intervalMinutes);
}

std::optional<RhythmGrid> rhythmGridOf(ReportPlate plate, const LoadedSeries& series, const DateTime& start,
                                       const LightSchedule& light, int intervalMinutes, Dialogs& dialogs) {
    if (!isGridInterval(intervalMinutes, dialogs)) return std::nullopt;
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
    grid.start = start;
    grid.intervalMinutes = intervalMinutes;
    grid.light = light;
    grid.plate = std::move(plate);
    const int intervals = lastMinute < 0 ? 0 : lastMinute / intervalMinutes + 1;
    // A run that reached its lapse recorded its last stamped minute whole; one
    // stopped before it ended part-way through that minute. An interval
    // ending later than the recording is unfinished.
    const bool reachedLapse = lastMinute + 1 >= grid.plate.setupCopy.setup.Aq_lapse;
    grid.endMinute = std::max(reachedLapse ? lastMinute + 1 : lastMinute, 0);
    grid.wholeIntervals = grid.endMinute / intervalMinutes;
    grid.hasRecords.assign(static_cast<std::size_t>(intervals), false);
    grid.recordedMinutes.assign(static_cast<std::size_t>(intervals), 0);
    if (lastMinute >= 0) {
        const std::vector<bool> minutes = coveredMinutes(series.minutes, lastMinute, grid.start.minute);
        grid.covered = coveredIntervals(minutes, intervalMinutes, intervals);
        for (std::size_t m = 0; m < static_cast<std::size_t>(grid.endMinute); ++m) {
            if (minutes[m]) ++grid.recordedMinutes[m / static_cast<std::size_t>(intervalMinutes)];
        }
    }
    grid.wellCounts.assign(static_cast<std::size_t>(grid.plate.maxWell) + 1,
                           std::vector<std::int32_t>(static_cast<std::size_t>(intervals), 0));
    try {
        addRecords(series, intervalOfRecord, grid);
    } catch (const OverflowError&) {
        dialogs.message("Report Calculation Error");
        return std::nullopt;
    }
    grid.lightOn = intervalLight(grid.light, grid.start, intervalMinutes, intervals);
    return grid;
}

std::optional<RhythmGrid> loadRhythmGrid(const std::filesystem::path& acquisitionFolder,
                                         const std::filesystem::path& programFolder, int intervalMinutes,
                                         Dialogs& dialogs) {
    if (!isGridInterval(intervalMinutes, dialogs)) return std::nullopt;
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
    const LightSchedule light = recordedLight(plate.setupCopy.setup);
    return rhythmGridOf(std::move(plate), series, *start, light, intervalMinutes, dialogs);
}

std::optional<RhythmGrid> loadExportGrid(const std::filesystem::path& acquisitionFolder,
                                         const std::filesystem::path& programFolder, int intervalMinutes,
                                         Dialogs& dialogs) {
    auto grid = loadRhythmGrid(acquisitionFolder, programFolder, intervalMinutes, dialogs);
    if (!grid) return std::nullopt;
    if (grid->intervalCount() == 0) {
        dialogs.message("The acquisition holds no activity records: nothing to export.");
        return std::nullopt;
    }
    if (grid->exportedIntervals() == 0) {
        dialogs.message("The acquisition holds no whole interval of " + std::to_string(intervalMinutes) +
                        " minutes: nothing to export. Choose a shorter interval.");
        return std::nullopt;
    }
    return grid;
}

std::optional<DateTime> lastLightsOn(const RhythmGrid& grid, const DateTime& at) {
    const LightSchedule& schedule = grid.light;
    if (!schedule.enabled) return std::nullopt;
    const long long untilMinute = minutesBetween(grid.start, at);
    if (untilMinute >= 0 && untilMinute < MaxSpanMinutes) {
        // The light as the run switched it, minute by minute.
        const auto light = intervalLight(schedule, grid.start, 1, static_cast<int>(untilMinute) + 1);
        for (auto m = static_cast<std::size_t>(untilMinute); m >= 1; --m) {
            if (light[m] && !light[m - 1]) return addMinutes(grid.start, static_cast<double>(m));
        }
        if (light[0] && pulseLight(schedule, 0.0).value_or(false)) return grid.start;
    }
    // Otherwise the daily hours switched it on last before the run began.
    const bool lights = schedule.onHour != schedule.offHour && schedule.onHour >= 0 && schedule.onHour < 24;
    if (!lights) return std::nullopt;
    const DateTime& before = untilMinute >= 0 ? grid.start : at;
    DateTime on{before.year, before.month, before.day, schedule.onHour, 0, 0};
    if (minutesBetween(on, before) < 0) on = addMinutes(on, -MinutesPerDay);
    return on;
}

}  // namespace zorvex
