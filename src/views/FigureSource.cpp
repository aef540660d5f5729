#include "views/FigureSource.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "reports/RecordedLight.h"
#include "reports/Report.h"

namespace zorvex {

namespace {
constexpr double MinutesPerHour = 60.0;
constexpr double HoursPerDay = 24.0;
}  // namespace

std::optional<FigureSource> loadFigureSource(const std::filesystem::path& acquisitionFolder,
                                             const std::filesystem::path& programFolder, Dialogs& dialogs) {
    auto data = loadReportData(acquisitionFolder, programFolder, dialogs);
    if (!data) return std::nullopt;
    FigureSource source;
    source.plate = std::move(data->first);
    source.series = std::move(data->second);
    source.start = acquisitionStartOf(acquisitionFolder);
    // Without the tool parameters the light of the run is unknown: no shading.
    if (source.plate.setupCopy.complete) source.light = recordedLight(source.plate.setupCopy.setup);
    return source;
}

std::optional<RhythmGrid> figureGrid(const FigureSource& source, long long binMinutes, Dialogs& dialogs) {
    if (source.series.minutes.empty()) {
        dialogs.message("counts.bin holds no records: there is nothing to draw.");
        return std::nullopt;
    }
    BinSize size;
    try {
        size = adjustBinSize(binMinutes, source.series.span());
    } catch (const std::exception&) {
        dialogs.message("Report Calculation Error");
        return std::nullopt;
    }
    // Without its start the minutes the light switched at are unknown.
    const LightSchedule light = source.start ? source.light : LightSchedule{};
    return rhythmGridOf(source.plate, source.series, source.start.value_or(DateTime{}), light, size.minutes, dialogs);
}

double binMiddleHours(const RhythmGrid& grid, int bin) { return (bin + 0.5) * grid.intervalMinutes / MinutesPerHour; }

double binEndHours(const RhythmGrid& grid, int bin) {
    const long long end = std::min<long long>(static_cast<long long>(bin + 1) * grid.intervalMinutes, grid.endMinute);
    return static_cast<double>(end) / MinutesPerHour;
}

double wellCrossingsPerBeam(const RhythmGrid& grid, int well, int bin) {
    return crossingsPerBeam(grid.wellCounts[static_cast<std::size_t>(well)][static_cast<std::size_t>(bin)],
                            grid.beamsOfWell(well));
}

std::vector<int> binsInWindow(const RhythmGrid& grid, const std::optional<HourWindow>& window) {
    std::vector<int> bins;
    for (int bin = 0; bin < grid.intervalCount(); ++bin) {
        if (!grid.hasRecords[static_cast<std::size_t>(bin)]) continue;
        const double middle = binMiddleHours(grid, bin);
        if (!window || (middle >= window->fromHours && middle <= window->toHours)) bins.push_back(bin);
    }
    return bins;
}

TimeBase timeBaseOf(const FigureSource& source, bool preferZeitgeber, double spanHours) {
    return timeBaseOf(source.light, source.start, preferZeitgeber, spanHours);
}

TimeBase timeBaseOf(const LightSchedule& light, const std::optional<DateTime>& start, bool preferZeitgeber,
                    double spanHours) {
    const bool dailyHours = light.enabled && light.pulseCount < 1 && light.onHour != light.offHour;
    const bool minutes = spanHours < LongestMinuteSpanHours;
    const std::string unit = minutes ? " (min)" : " (h)";
    const double unitsPerHour = minutes ? MinutesPerHour : 1.0;
    if (!preferZeitgeber || !dailyHours || !start) return {0.0, false, "Time from start" + unit, unitsPerHour};
    const double startHour = start->hour + start->minute / MinutesPerHour;
    return {std::fmod(startHour - light.onHour + HoursPerDay, HoursPerDay), true, "Zeitgeber time" + unit, unitsPerHour};
}

Axis timeAxis(const TimeBase& base, double fromHours, double toHours, int wanted) {
    const double low = base.at(fromHours), high = base.at(toHours);
    Axis axis = base.unitsPerHour == 1.0 ? hourAxis(low, high, wanted, base.title) : minuteAxis(low, high, wanted, base.title);
    if (!base.zeitgeber || axis.ticks.size() < 2) return axis;
    // Lights-on is zeitgeber time 0 of every day.
    const double day = HoursPerDay * base.unitsPerHour;
    const double step = axis.ticks[1] - axis.ticks[0];
    for (std::size_t i = 0; i < axis.ticks.size(); ++i) {
        const double wrapped = axis.ticks[i] - day * std::floor(axis.ticks[i] / day + 1e-9);
        axis.labels[i] = tickLabel(std::fabs(wrapped) < 1e-9 ? 0.0 : wrapped, step);
    }
    return axis;
}

std::vector<XSpan> darkSpans(const FigureSource& source, double fromHours, double toHours, const TimeBase& base) {
    std::vector<XSpan> spans;
    if (!source.light.enabled || !source.start || !(toHours > fromHours)) return spans;
    const int firstMinute = static_cast<int>(std::floor(fromHours * MinutesPerHour));
    const int minutes = static_cast<int>(std::ceil(toHours * MinutesPerHour));
    const std::vector<bool> light = intervalLight(source.light, *source.start, 1, minutes);
    auto clipped = [&](double fromMinute, double toMinute) {
        const double from = std::max(fromMinute / MinutesPerHour, fromHours);
        const double to = std::min(toMinute / MinutesPerHour, toHours);
        if (to > from) spans.push_back({base.at(from), base.at(to)});
    };
    for (int minute = std::max(firstMinute, 0); minute < minutes;) {
        if (light[static_cast<std::size_t>(minute)]) {
            ++minute;
            continue;
        }
        int end = minute + 1;
        while (end < minutes && !light[static_cast<std::size_t>(end)]) ++end;
        clipped(minute, end);
        minute = end;
    }
    return spans;
}

std::string groupName(const ReportPlate& plate, int group) {
    if (group < 0 || group >= static_cast<int>(plate.groups.Name.size())) return "No group";
    const std::string& name = plate.groups.Name[static_cast<std::size_t>(group)];
    return name.empty() || name == FreeGroupName ? "Group " + std::to_string(group) : name;
}

}  // namespace zorvex
