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
    // The window's records as one report bin: every one stamped minute 1 of a one-minute bin.
    LoadedSeries window;
    for (std::size_t n = 0; n < series.minutes.size(); ++n) {
        if (series.minutes[n] < startMinute || series.minutes[n] >= endMinute) continue;
        window.minutes.push_back(1);
        window.counts.push_back(series.counts[n]);
        window.temperatureTenths.push_back(series.temperatureTenths[n]);
    }
    records = static_cast<int>(window.minutes.size());
    std::vector<double> activity(wells.size(), 0.0);
    if (records == 0) return activity;
    ReportTables tables;
    computeReport(plate, window, 1, 1, tables);
    for (std::size_t i = 0; i < wells.size(); ++i) {
        activity[i] = tables.wellActivity[1][static_cast<std::size_t>(wells[i].well)];
    }
    return activity;
}

std::vector<ActivityBin> activityBins(const ReportTables& tables, const std::vector<ScreenedWell>& wells) {
    std::vector<ActivityBin> bins;
    for (std::int32_t b : tables.reportedBins()) {
        ActivityBin bin{b, (b - 1) * tables.binMinutes / MinutesPerHour, b * tables.binMinutes / MinutesPerHour, {}};
        for (const ScreenedWell& well : wells) {
            bin.activity.push_back(tables.wellActivity[static_cast<std::size_t>(b)][static_cast<std::size_t>(well.well)]);
        }
        bins.push_back(std::move(bin));
    }
    return bins;
}

}  // namespace zorvex
