#include "behaviour/SleepFiles.h"

#include "common/Text.h"
#include "store/PlateFormat.h"

namespace zorvex {

namespace {

std::string estimateFields(const GroupEstimate& estimate) {
    return "," + csvNumber(estimate.mean) + "," + csvNumber(estimate.se);
}

// "A1,3": the well and its group's number, empty for none.
std::string wellAndGroup(const RhythmGrid& grid, int well) {
    const int group = grid.groupOfWell(well);
    return wellName(grid.plate.plate, well) + "," +
           (group >= 0 && group < ChannelSlots ? std::to_string(group) : std::string());
}

std::optional<double> valueOf(const std::optional<int>& value) {
    return value ? std::optional<double>(*value) : std::nullopt;
}

}  // namespace

std::string sleepBoutsText(const RhythmGrid& grid, const SleepResults& results) {
    std::string text = std::string("well,group,start_datetime,elapsed_min,length_min,phase") + CsvLineEnd;
    for (const WellSleep& well : results.wells) {
        const std::string wellText = wellAndGroup(grid, well.well) + ",";
        for (const SleepBout& bout : well.bouts) {
            const auto slot = static_cast<std::size_t>(bout.firstMinute);
            text += wellText + isoDateTime(addMinutes(grid.start, bout.firstMinute)) + "," +
                    std::to_string(bout.firstMinute) + "," + std::to_string(bout.lengthMinutes) + "," +
                    std::string(phaseName(results.calendar.phase[slot])) + CsvLineEnd;
        }
    }
    return text;
}

std::string sleepSummaryText(const RhythmGrid& grid, const SleepResults& results) {
    std::string text = std::string("well,group,group_name,day,phase,minutes,sleep_min,bouts,mean_bout_min,latency_min,"
                                   "waking_activity") +
                       CsvLineEnd;
    for (const WellSleep& well : results.wells) {
        const std::string wellText = wellGroupFields(grid, well.well) + ",";
        for (const PhaseSleep& phase : well.phases) {
            text += wellText + std::to_string(phase.day) + "," + std::string(phaseName(phase.phase)) + "," +
                    std::to_string(phase.minutes) + "," + std::to_string(phase.sleepMinutes) + "," +
                    std::to_string(phase.bouts) + "," + csvNumber(phase.meanBoutMinutes) + "," +
                    csvNumber(valueOf(phase.latencyMinutes)) + "," + csvNumber(phase.wakingActivity) + CsvLineEnd;
        }
    }
    return text;
}

std::string sleepGroupsText(const RhythmGrid& grid, const SleepResults& results) {
    std::string text = std::string("group,group_name,day,phase,wells,sleep_min,sleep_min_se,bouts,bouts_se,"
                                   "mean_bout_min,mean_bout_min_se,latency_min,latency_min_se,waking_activity,"
                                   "waking_activity_se") +
                       CsvLineEnd;
    for (const GroupPhaseSleep& group : results.groups) {
        text += groupFields(grid, group.group) + "," + std::to_string(group.day) + "," +
                std::string(phaseName(group.phase)) + "," + std::to_string(group.wells) +
                estimateFields(group.sleepMinutes) + estimateFields(group.bouts) +
                estimateFields(group.meanBoutMinutes) + estimateFields(group.latencyMinutes) +
                estimateFields(group.wakingActivity) + CsvLineEnd;
    }
    return text;
}

std::string inactiveMinutesProblem(int minutes) {
    if (minutes >= 1 && minutes <= MaxInactiveMinutes) return "";
    return "The inactive minutes of a sleep bout must be a whole number from 1 to " +
           std::to_string(MaxInactiveMinutes) + ", not " + std::to_string(minutes) + ".";
}

std::optional<std::pair<RhythmGrid, SleepResults>> analyseSleep(const SleepRequest& request, Dialogs& dialogs) {
    if (request.inactiveMinutes) {
        const std::string problem = inactiveMinutesProblem(*request.inactiveMinutes);
        if (!problem.empty()) {
            dialogs.message(problem);
            return std::nullopt;
        }
    }
    auto grid = loadMinuteGrid(request.acquisitionFolder, request.programFolder, dialogs);
    if (!grid) return std::nullopt;
    const auto span = minuteSpanOf(*grid, request.window, dialogs);
    if (!span) return std::nullopt;
    const int inactive = request.inactiveMinutes.value_or(inactiveMinutesOf(*grid));
    SleepResults results = computeSleep(*grid, *span, inactive);
    return std::pair{std::move(*grid), std::move(results)};
}

SleepOutcome runSleep(const SleepRequest& request, Dialogs& dialogs) {
    SleepOutcome outcome;
    auto analysis = analyseSleep(request, dialogs);
    if (!analysis) return outcome;
    auto& [grid, results] = *analysis;
    const std::filesystem::path folder =
        request.outFolder.empty() ? behaviourFolder(request.acquisitionFolder) : request.outFolder;
    outcome.files = writeCsvFiles(folder,
                                  {{"sleep_bouts.csv", sleepBoutsText(grid, results)},
                                   {"sleep_summary.csv", sleepSummaryText(grid, results)},
                                   {"sleep_groups.csv", sleepGroupsText(grid, results)}},
                                  dialogs);
    outcome.grid = std::move(grid);
    outcome.results = std::move(results);
    return outcome;
}

}  // namespace zorvex
