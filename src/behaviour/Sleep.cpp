#include "behaviour/Sleep.h"

#include <map>
#include <utility>

namespace zorvex {

namespace {

// Index of the organism among the tool parameters of row 1: 1 is zebrafish larvae.
constexpr int OrganismRow = 1;
constexpr int ZebrafishLarvae = 1;

using DayAndPhase = std::pair<int, LightPhase>;

struct PhaseTally {
    PhaseSleep sleep;
    int firstMinute = -1;
    int boutMinutes = 0;
    long long wakingCounts = 0;
    int wakingMinutes = 0;
};

std::optional<double> valueOf(const std::optional<int>& value) {
    return value ? std::optional<double>(*value) : std::nullopt;
}

}  // namespace

int inactiveMinutesOf(const RhythmGrid& grid) {
    const auto organism = grid.plate.setupCopy.setup.Mn[OrganismRow][0];
    return organism == ZebrafishLarvae ? LarvaInactiveMinutes : DefaultInactiveMinutes;
}

std::vector<SleepBout> sleepBouts(const std::vector<std::int32_t>& counts, const std::vector<bool>& reading,
                                  const MinuteSpan& span, int inactiveMinutes) {
    std::vector<SleepBout> bouts;
    int runStart = -1;
    auto endRun = [&](int end) {
        if (runStart >= 0 && end - runStart >= inactiveMinutes) bouts.push_back({runStart, end - runStart});
        runStart = -1;
    };
    for (int m = span.first; m < span.end; ++m) {
        const auto slot = static_cast<std::size_t>(m);
        const bool inactive = reading[slot] && counts[slot] == 0;
        if (inactive && runStart < 0) runStart = m;
        if (!inactive) endRun(m);
    }
    endRun(span.end);
    return bouts;
}

std::vector<bool> asleepMinutes(const std::vector<SleepBout>& bouts, int minutes) {
    std::vector<bool> asleep(static_cast<std::size_t>(minutes), false);
    for (const SleepBout& bout : bouts) {
        for (int m = bout.firstMinute; m < bout.firstMinute + bout.lengthMinutes && m < minutes; ++m) {
            asleep[static_cast<std::size_t>(m)] = true;
        }
    }
    return asleep;
}

std::vector<PhaseSleep> summariseSleep(const std::vector<std::int32_t>& counts, const std::vector<bool>& reading,
                                       const std::vector<SleepBout>& bouts, const DayCalendar& calendar,
                                       const MinuteSpan& span) {
    const std::vector<bool> asleep = asleepMinutes(bouts, static_cast<int>(counts.size()));
    std::map<DayAndPhase, PhaseTally> tallies;
    for (int m = span.first; m < span.end; ++m) {
        const auto slot = static_cast<std::size_t>(m);
        PhaseTally& tally = tallies[{calendar.day[slot], calendar.phase[slot]}];
        if (tally.firstMinute < 0) tally.firstMinute = m;
        if (!reading[slot]) continue;
        ++tally.sleep.minutes;
        if (asleep[slot]) {
            ++tally.sleep.sleepMinutes;
        } else {
            tally.wakingCounts += counts[slot];
            ++tally.wakingMinutes;
        }
    }
    for (const SleepBout& bout : bouts) {
        const auto slot = static_cast<std::size_t>(bout.firstMinute);
        PhaseTally& tally = tallies[{calendar.day[slot], calendar.phase[slot]}];
        if (tally.sleep.bouts++ == 0) tally.sleep.latencyMinutes = bout.firstMinute - tally.firstMinute;
        tally.boutMinutes += bout.lengthMinutes;
    }
    std::vector<PhaseSleep> phases;
    for (auto& [key, tally] : tallies) {
        PhaseSleep sleep = tally.sleep;
        sleep.day = key.first;
        sleep.phase = key.second;
        if (sleep.bouts > 0) sleep.meanBoutMinutes = static_cast<double>(tally.boutMinutes) / sleep.bouts;
        if (tally.wakingMinutes > 0) {
            sleep.wakingActivity = static_cast<double>(tally.wakingCounts) / tally.wakingMinutes;
        }
        phases.push_back(sleep);
    }
    return phases;
}

SleepResults computeSleep(const RhythmGrid& grid, const MinuteSpan& span, int inactiveMinutes) {
    SleepResults results;
    results.inactiveMinutes = inactiveMinutes;
    results.span = span;
    results.calendar = dayCalendarOf(grid);
    // What each group's wells give for each day and phase, in key order.
    struct Samples {
        int wells = 0;
        std::vector<double> sleepMinutes, bouts, meanBoutMinutes, latencyMinutes, wakingActivity;
    };
    std::map<std::pair<int, DayAndPhase>, Samples> byGroup;
    std::vector<bool> reading(static_cast<std::size_t>(grid.intervalCount()), false);
    for (int m = span.first; m < span.end; ++m) reading[static_cast<std::size_t>(m)] = grid.isReading(m);
    for (int well : measuredWells(grid)) {
        WellSleep sleep;
        sleep.well = well;
        const auto& counts = grid.wellCounts[static_cast<std::size_t>(well)];
        sleep.bouts = sleepBouts(counts, reading, span, inactiveMinutes);
        sleep.phases = summariseSleep(counts, reading, sleep.bouts, results.calendar, span);
        const int group = grid.groupOfWell(well);
        if (group >= 0 && group < ChannelSlots) {
            for (const PhaseSleep& phase : sleep.phases) {
                if (phase.minutes == 0) continue;
                Samples& samples = byGroup[{group, {phase.day, phase.phase}}];
                ++samples.wells;
                samples.sleepMinutes.push_back(phase.sleepMinutes);
                samples.bouts.push_back(phase.bouts);
                if (phase.meanBoutMinutes) samples.meanBoutMinutes.push_back(*phase.meanBoutMinutes);
                if (auto latency = valueOf(phase.latencyMinutes)) samples.latencyMinutes.push_back(*latency);
                if (phase.wakingActivity) samples.wakingActivity.push_back(*phase.wakingActivity);
            }
        }
        results.wells.push_back(std::move(sleep));
    }
    for (const auto& [key, samples] : byGroup) {
        GroupPhaseSleep group;
        group.group = key.first;
        group.day = key.second.first;
        group.phase = key.second.second;
        group.wells = samples.wells;
        group.sleepMinutes = estimateOf(samples.sleepMinutes);
        group.bouts = estimateOf(samples.bouts);
        group.meanBoutMinutes = estimateOf(samples.meanBoutMinutes);
        group.latencyMinutes = estimateOf(samples.latencyMinutes);
        group.wakingActivity = estimateOf(samples.wakingActivity);
        results.groups.push_back(group);
    }
    return results;
}

}  // namespace zorvex
