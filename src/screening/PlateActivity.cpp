#include "screening/PlateActivity.h"

#include "store/PlateFormat.h"
#include "store/PlateGroups.h"

namespace zorvex {

namespace {
constexpr double MinutesPerHour = 60.0;
}  // namespace

namespace {

bool isGrouped(const ReportPlate& plate, int well) {
    const int group = plate.groupOfWell(well);
    return group >= 0 && group < ChannelSlots;
}

// A disabled channel was not counted: the well's mean over its beams would be too low.
bool hasDisabledChannel(const ReportPlate& plate, int well) {
    for (int channel : channelsOfWell(plate.plate, well)) {
        if (!plate.channelEnabled[static_cast<std::size_t>(channel)]) return true;
    }
    return false;
}

}  // namespace

std::vector<ScreenedWell> screenedWells(const ReportPlate& plate) {
    std::vector<ScreenedWell> wells;
    for (int well = 0; well <= plate.maxWell; ++well) {
        if (isGrouped(plate, well) && !hasDisabledChannel(plate, well)) {
            wells.push_back({well, wellName(plate.plate, well), plate.groupOfWell(well)});
        }
    }
    return wells;
}

std::vector<std::string> disabledWells(const ReportPlate& plate) {
    std::vector<std::string> names;
    for (int well = 0; well <= plate.maxWell; ++well) {
        if (isGrouped(plate, well) && hasDisabledChannel(plate, well)) names.push_back(wellName(plate.plate, well));
    }
    return names;
}

std::vector<double> windowActivity(const ReportPlate& plate, const LoadedSeries& series,
                                   const std::vector<ScreenedWell>& wells, double startMinute, double endMinute,
                                   int& records) {
    // Summed straight from the records, not through a report bin: its 16-bit
    // counters would end a window past 32,767 records.
    const std::vector<int> beams = beamsPerWell(plate);
    std::vector<long long> crossings(beams.size(), 0);
    records = 0;
    for (std::size_t n = 0; n < series.minutes.size(); ++n) {
        if (series.minutes[n] < startMinute || series.minutes[n] >= endMinute) continue;
        addWellCrossings(plate, series.counts[n], crossings);
        ++records;
    }
    std::vector<double> activity;
    for (const ScreenedWell& well : wells) {
        const auto w = static_cast<std::size_t>(well.well);
        activity.push_back(crossingsPerBeam(crossings[w], beams[w]));
    }
    return activity;
}

std::vector<ActivityBin> activityBins(const ReportTables& tables, const std::vector<ScreenedWell>& wells) {
    std::vector<ActivityBin> bins;
    for (std::int32_t b : tables.reportedBins()) {
        ActivityBin bin{b, (b - 1) * tables.binMinutes / MinutesPerHour, b * tables.binMinutes / MinutesPerHour, {}};
        for (const ScreenedWell& well : wells) {
            bin.activity.push_back(tables.wellActivityExact[static_cast<std::size_t>(b)][static_cast<std::size_t>(well.well)]);
        }
        bins.push_back(std::move(bin));
    }
    return bins;
}

}  // namespace zorvex
