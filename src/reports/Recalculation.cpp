#include "reports/Recalculation.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "acquisition/DataFiles.h"
#include "analysis/Analysis_Module.h"
#include "common/Files.h"
#include "common/Numbers.h"

namespace zorvex {

namespace {

constexpr std::int16_t ReplaceLimitMinutes = 32000;
constexpr std::int16_t ShortestLimitMinutes = 5;

using Counts = std::array<std::int16_t, ChannelCount>;

// Channels whose well has a beam-0 channel are counted; the rest stay 0.
std::vector<int> countedChannels(const ReportPlate& plate) {
    std::vector<int> counted;
    for (int c = 0; c < ChannelCount; ++c) {
        int well = plate.plate.WellOfChannel[static_cast<std::size_t>(c)];
        if (well >= 0 && plate.beamZeroChannel(well) >= 0) counted.push_back(c);
    }
    return counted;
}

// Nothing for a record without its raw block (a dump that could not be
// written, or none at all); a channel whose calculation overflows counts 0
// in this record. `frame` is the worker's, of the acquisition's RT_Buffer.
std::optional<Counts> recount(const std::filesystem::path& folder, int record, const std::vector<int>& counted,
                              const RecalcSettings& settings, Analysis_Module& analysis, SampleFrame& frame) {
    if (!readRealTimeDumpInto(folder, record, frame)) return std::nullopt;
    Counts counts{};
    const auto results = analysis.CalculateActivities(frame, counted, settings.snr, settings.method);
    for (std::size_t n = 0; n < counted.size(); ++n) {
        counts[static_cast<std::size_t>(counted[n])] = results[n].value_or(0);
    }
    return counts;
}

// Recounts records 0..count-1 on the worker pool into `results`, which hold
// the recorded counts beforehand: a record without raw data keeps them and
// is marked in `withoutRawData`. Progress and STOP are handled on the
// calling thread; false when stopped.
bool recountAll(const std::filesystem::path& folder, int count, int total, int rtBuffer, const ReportPlate& plate,
                const RecalcSettings& settings, Host& host, const RecalcHooks& hooks, std::vector<Counts>& results,
                std::vector<char>& withoutRawData) {
    const auto counted = countedChannels(plate);
    std::atomic<int> next{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable changed;
    int done = 0;
    auto work = [&] {
        Analysis_Module analysis;
        SampleFrame frame(rtBuffer);  // the setup copy's reader refuses an RT_Buffer below 1
        for (int i = next++; i < count && !stop; i = next++) {
            const auto counts = recount(folder, i, counted, settings, analysis, frame);
            if (counts) {
                results[static_cast<std::size_t>(i)] = *counts;
            } else {
                withoutRawData[static_cast<std::size_t>(i)] = 1;
            }
            std::lock_guard lock(mutex);
            ++done;
            changed.notify_all();
        }
    };
    std::vector<std::thread> workers;
    for (int t = 0; t < std::max(1, settings.threads); ++t) workers.emplace_back(work);
    int shown = -1;
    bool stopped = false;
    while (true) {
        int finished;
        {
            std::unique_lock lock(mutex);
            changed.wait_for(lock, std::chrono::milliseconds(50), [&] { return done != shown; });
            finished = done;
        }
        if (finished != shown) {
            shown = finished;
            if (hooks.status) hooks.status("Block " + std::to_string(finished) + "/" + std::to_string(total));
        }
        host.yield();
        // STOP is honoured even when the last record just finished: nothing is saved either way.
        if (hooks.stopRequested && hooks.stopRequested()) {
            stop = true;
            stopped = true;
            break;
        }
        if (finished == count) break;
    }
    for (auto& worker : workers) worker.join();
    return !stopped;
}

// Writes counts.bin anew with the recounted records (unwrapped minute, new
// counts, the stored temperature) and every later record as it was: beside
// the old file, then renamed over it, so a crash or a full disk leaves one
// or the other whole, never a mix.
bool replaceCounts(const std::filesystem::path& folder, const LoadedSeries& series) {
    const std::filesystem::path file = folder / "counts.bin";
    std::optional<std::string> bytes = readFile(file, MaxActivityFileBytes);
    if (!bytes || bytes->size() < series.minutes.size() * ActivityRecordBytes) return false;
    for (std::size_t n = 0; n < series.minutes.size(); ++n) {
        ActivityRecord record;
        record.elapsedMinutes = series.minutes[n];
        std::copy(series.counts[n].begin(), series.counts[n].end(), record.counts.begin());
        record.temperatureTenths = series.temperatureTenths[n];
        bytes->replace(n * ActivityRecordBytes, ActivityRecordBytes, encodeActivityRecord(record));
    }
    return writeFile(file, *bytes);
}

}  // namespace

std::int16_t recordLimitMinutes(const RecalcSettings& settings) {
    if (settings.replace) return ReplaceLimitMinutes;
    std::int16_t limit = toInt16(settings.hours * 60.0);
    return std::max(limit, ShortestLimitMinutes);
}

std::optional<RecalcOutcome> recalculate(const ReportRequest& request, const RecalcSettings& settings, Dialogs& dialogs,
                                         Host& host, const RecalcHooks& hooks) {
    const auto& folder = request.acquisitionFolder;
    if (!fileExists(realTimeFilePath(folder, 0))) {
        dialogs.message("Real Time Data Not Found");
        return std::nullopt;
    }
    std::int16_t limit = 0;
    try {
        limit = recordLimitMinutes(settings);
    } catch (const OverflowError&) {
        dialogs.message("Report Error");
        return std::nullopt;
    }
    if (!fileExists(folder / "counts.bin")) {
        dialogs.message("Activity file not Found");
        return std::nullopt;
    }
    auto plate = loadReportPlate(folder, request.programFolder, dialogs);
    if (!plate) return std::nullopt;
    const std::vector<ActivityRecord> records = readActivityRecords(folder);

    // N and the span come from the records up to the first beyond the limit;
    // the records recounted end with the first at or beyond it.
    LoadedSeries series;
    std::int32_t total = 0;
    for (const auto& record : records) {
        ++total;
        series.largestStoredMinute = std::max(series.largestStoredMinute, record.elapsedMinutes);
        if (record.elapsedMinutes > limit) break;
    }
    std::vector<std::int32_t> storedMinutes;
    for (const auto& record : records) {
        storedMinutes.push_back(record.elapsedMinutes);
        series.temperatureTenths.push_back(record.temperatureTenths);
        series.counts.push_back(record.counts);
        if (record.elapsedMinutes >= limit) break;
    }
    const auto count = static_cast<int>(storedMinutes.size());
    try {
        series.minutes = unwrapMinutes(storedMinutes);
    } catch (const OverflowError&) {
        dialogs.message("Report Error");
        return std::nullopt;
    }
    if (hooks.status) hooks.status("Block 0/" + std::to_string(total));
    RecalcOutcome outcome;
    std::vector<char> withoutRawData(storedMinutes.size(), 0);
    if (!recountAll(folder, count, total, plate->rtBuffer, *plate, settings, host, hooks, series.counts,
                    withoutRawData)) {
        outcome.stopped = true;
        return outcome;
    }
    for (int i = 0; i < count; ++i) {
        if (withoutRawData[static_cast<std::size_t>(i)]) outcome.withoutRawData.push_back(i);
    }
    outcome.recounted = count - static_cast<std::int32_t>(outcome.withoutRawData.size());
    if (!outcome.withoutRawData.empty()) {
        const std::size_t skipped = outcome.withoutRawData.size();
        dialogs.message(std::to_string(skipped) + (skipped == 1 ? " record has" : " records have") +
                        " no real-time data (not written, see events.log) and keep" + (skipped == 1 ? "s" : "") +
                        " the counts recorded during the acquisition: record " +
                        recordNumbersText(outcome.withoutRawData));
    }
    if (settings.replace) {
        if (hooks.status) hooks.status("Saving...");
        if (!replaceCounts(folder, series)) {
            dialogs.message("Report Error");
            return outcome;
        }
        if (hooks.status) hooks.status("Block " + std::to_string(count) + "/" + std::to_string(total));
    }
    outcome.report = produceReport(*plate, series, request, dialogs, host);
    return outcome;
}

}  // namespace zorvex
