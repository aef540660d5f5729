#pragma once
// Sleep on the 1-minute grid: a minute is inactive when its count is 0, a
// bout is a run of at least N inactive minutes (a minute without a reading
// ends a run; runs cut by the edges of the minutes analysed count when they
// reach N inside them), and every minute of a bout is asleep. Summaries are
// per day and light phase; a bout belongs to the phase it begins in, while
// its minutes count as asleep in the phase each falls in.

#include <cstdint>
#include <optional>
#include <vector>

#include "behaviour/BehaviourGrid.h"

namespace zorvex {

/// Inactive minutes a bout needs for zebrafish larvae (the usual larval definition).
inline constexpr int LarvaInactiveMinutes = 1;
/// Inactive minutes a bout needs for every other organism.
inline constexpr int DefaultInactiveMinutes = 5;
/// Longest bout definition accepted: a day.
inline constexpr int MaxInactiveMinutes = MinutesPerDay;

/// N for the organism the acquisition was recorded with.
int inactiveMinutesOf(const RhythmGrid& grid);

struct SleepBout {
    int firstMinute = 0;
    int lengthMinutes = 0;
    friend bool operator==(const SleepBout&, const SleepBout&) = default;
};

/// The bouts of a well's minutes in `span`: `counts[m]` is read only where
/// `reading(m)` holds.
std::vector<SleepBout> sleepBouts(const std::vector<std::int32_t>& counts, const std::vector<bool>& reading,
                                  const MinuteSpan& span, int inactiveMinutes);

/// One well's sleep in one day and phase.
struct PhaseSleep {
    int day = 1;
    LightPhase phase = LightPhase::Whole;
    int minutes = 0;       ///< minutes with readings
    int sleepMinutes = 0;  ///< of them asleep
    int bouts = 0;         ///< bouts beginning in the phase
    std::optional<double> meanBoutMinutes;  ///< of those bouts, whole length
    std::optional<int> latencyMinutes;      ///< from the phase's first minute to its first bout's beginning
    std::optional<double> wakingActivity;   ///< counts per minute awake
};

/// The day-and-phase summaries of one well, in day order, light before dark;
/// one for every day and phase with a minute in `span`.
std::vector<PhaseSleep> summariseSleep(const std::vector<std::int32_t>& counts, const std::vector<bool>& reading,
                                       const std::vector<SleepBout>& bouts, const DayCalendar& calendar,
                                       const MinuteSpan& span);

/// A group's wells in one day and phase: the mean and SE of each measure over
/// the wells that have it.
struct GroupPhaseSleep {
    int group = 0;
    int day = 1;
    LightPhase phase = LightPhase::Whole;
    int wells = 0;  ///< wells with a reading in the day and phase
    GroupEstimate sleepMinutes;
    GroupEstimate bouts;
    GroupEstimate meanBoutMinutes;
    GroupEstimate latencyMinutes;
    GroupEstimate wakingActivity;
};

/// One well's sleep.
struct WellSleep {
    int well = 0;
    std::vector<SleepBout> bouts;
    std::vector<PhaseSleep> phases;
};

/// Everything the sleep files and figures show.
struct SleepResults {
    int inactiveMinutes = DefaultInactiveMinutes;
    MinuteSpan span;
    DayCalendar calendar;
    std::vector<WellSleep> wells;         ///< measured wells, plate order
    std::vector<GroupPhaseSleep> groups;  ///< by group, then day and phase
};

/// Sleep of every measured well of `grid` over `span` with bouts of at least `inactiveMinutes`.
SleepResults computeSleep(const RhythmGrid& grid, const MinuteSpan& span, int inactiveMinutes);

/// The asleep minutes of one well over the whole grid, from its bouts.
std::vector<bool> asleepMinutes(const std::vector<SleepBout>& bouts, int minutes);

}  // namespace zorvex
