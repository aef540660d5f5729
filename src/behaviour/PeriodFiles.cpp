#include "behaviour/PeriodFiles.h"

#include "common/Text.h"
#include "store/PlateFormat.h"

namespace zorvex {

namespace {

std::string powerFields(const PeriodPower& power) {
    return csvNumber(power.power) + "," + csvNumber(power.threshold) + "," + csvNumber(power.pValue);
}

}  // namespace

PeriodResults computePeriods(const RhythmGrid& grid, const MinuteSpan& span, const PeriodogramOptions& options) {
    PeriodResults results;
    results.options = options;
    results.span = span;
    results.periods = periodsTested(options);
    std::vector<bool> reading(static_cast<std::size_t>(grid.intervalCount()), false);
    for (int m = span.first; m < span.end; ++m) reading[static_cast<std::size_t>(m)] = grid.isReading(m);
    std::vector<GroupPeriod> groups(ChannelSlots);
    std::vector<std::vector<double>> groupPeriods(ChannelSlots);
    for (int well : measuredWells(grid)) {
        WellPeriodogram result;
        result.well = well;
        const BinnedSeries series =
            resampleCounts(grid.wellCounts[static_cast<std::size_t>(well)], reading, span, options.resampleMinutes);
        result.powers = periodogram(series, results.periods, options);
        result.peak = peakOf(result.powers);
        const int group = grid.groupOfWell(well);
        if (group >= 0 && group < ChannelSlots) {
            const auto slot = static_cast<std::size_t>(group);
            ++groups[slot].wells;
            if (result.peak) {
                ++groups[slot].rhythmicWells;
                groupPeriods[slot].push_back(result.powers[*result.peak].periodHours);
            }
        }
        results.wells.push_back(std::move(result));
    }
    for (int group : groupsWithWells(grid)) {
        const auto slot = static_cast<std::size_t>(group);
        GroupPeriod period = groups[slot];
        period.group = group;
        period.periodHours = estimateOf(groupPeriods[slot]);
        results.groups.push_back(period);
    }
    return results;
}

std::string periodogramText(const RhythmGrid& grid, const PeriodResults& results) {
    std::string text = std::string("well,period_h,power,threshold,p_value") + CsvLineEnd;
    for (const WellPeriodogram& well : results.wells) {
        const std::string name = wellName(grid.plate.plate, well.well) + ",";
        for (const PeriodPower& power : well.powers) {
            text += name + formatShortest(power.periodHours) + "," + powerFields(power) + CsvLineEnd;
        }
    }
    return text;
}

std::string periodsText(const RhythmGrid& grid, const PeriodResults& results) {
    std::string text = std::string("well,group,group_name,period_h,power,threshold,p_value,rhythmic") + CsvLineEnd;
    for (const WellPeriodogram& well : results.wells) {
        text += wellGroupFields(grid, well.well) + ",";
        if (well.peak) {
            const PeriodPower& peak = well.powers[*well.peak];
            text += formatShortest(peak.periodHours) + "," + powerFields(peak) + ",1";
        } else {
            text += ",,,,0";
        }
        text += CsvLineEnd;
    }
    return text;
}

std::string periodGroupsText(const RhythmGrid& grid, const PeriodResults& results) {
    std::string text = std::string("group,group_name,wells,rhythmic_wells,period_h,period_h_se") + CsvLineEnd;
    for (const GroupPeriod& group : results.groups) {
        text += groupFields(grid, group.group) + "," + std::to_string(group.wells) + "," +
                std::to_string(group.rhythmicWells) + "," + csvNumber(group.periodHours.mean) + "," +
                csvNumber(group.periodHours.se) + CsvLineEnd;
    }
    return text;
}

std::optional<std::pair<RhythmGrid, PeriodResults>> analysePeriods(const PeriodRequest& request, Dialogs& dialogs) {
    const std::string problem = periodogramOptionsProblem(request.options);
    if (!problem.empty()) {
        dialogs.message(problem);
        return std::nullopt;
    }
    auto grid = loadMinuteGrid(request.acquisitionFolder, request.programFolder, dialogs);
    if (!grid) return std::nullopt;
    const auto span = minuteSpanOf(*grid, request.window, dialogs);
    if (!span) return std::nullopt;
    PeriodResults results = computePeriods(*grid, *span, request.options);
    return std::pair{std::move(*grid), std::move(results)};
}

PeriodOutcome runPeriods(const PeriodRequest& request, Dialogs& dialogs) {
    PeriodOutcome outcome;
    auto analysis = analysePeriods(request, dialogs);
    if (!analysis) return outcome;
    auto& [grid, results] = *analysis;
    const std::filesystem::path folder =
        request.outFolder.empty() ? behaviourFolder(request.acquisitionFolder) : request.outFolder;
    outcome.files = writeCsvFiles(folder,
                                  {{"periodogram.csv", periodogramText(grid, results)},
                                   {"periods.csv", periodsText(grid, results)},
                                   {"periods_groups.csv", periodGroupsText(grid, results)}},
                                  dialogs);
    outcome.grid = std::move(grid);
    outcome.results = std::move(results);
    return outcome;
}

}  // namespace zorvex
