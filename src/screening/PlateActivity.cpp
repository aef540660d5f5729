#include "screening/PlateActivity.h"

#include "store/PlateFormat.h"

namespace zorvex {

namespace {
constexpr double MinutesPerHour = 60.0;
}  // namespace

std::vector<ScreenedWell> screenedWells(const ReportPlate& plate) {
    std::vector<ScreenedWell> wells;
    for (int well = 0; well <= plate.maxWell; ++well) {
        const int group = plate.groupOfWell(well);
        if (group >= 0 && group < ChannelSlots) wells.push_back({well, wellName(plate.plate, well), group});
    }
    return wells;
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
