#include "behaviour/BehaviourGrid.h"

#include <gsl/gsl_statistics_double.h>

#include <charconv>
#include <cmath>

#include "common/Text.h"
#include "reports/ExportFiles.h"
#include "store/PlateFormat.h"

namespace zorvex {

namespace {

// A window edge a hair off a whole minute (typed 0.1 h is 5.999... minutes)
// still means that minute.
constexpr double MinuteTolerance = 1e-6;

}  // namespace

std::string_view phaseName(LightPhase phase) {
    switch (phase) {
        case LightPhase::Light: return "light";
        case LightPhase::Dark: return "dark";
        case LightPhase::Whole: return "all";
    }
    return "all";
}

DayCalendar dayCalendarOf(const RhythmGrid& grid) {
    const int minutes = grid.intervalCount();
    DayCalendar calendar;
    calendar.day.resize(static_cast<std::size_t>(minutes));
    calendar.phase.resize(static_cast<std::size_t>(minutes));
    long long origin = 0;  // minutes from the start to the zeitgeber time 0 of day 1, at most 0
    if (auto lightsOn = lastLightsOn(grid, grid.start)) origin = std::min(0LL, minutesBetween(grid.start, *lightsOn));
    for (int m = 0; m < minutes; ++m) {
        const auto slot = static_cast<std::size_t>(m);
        calendar.day[slot] = static_cast<int>((m - origin) / MinutesPerDay) + 1;
        calendar.phase[slot] = !grid.light.enabled ? LightPhase::Whole
                               : grid.lightOn[slot] ? LightPhase::Light
                                                    : LightPhase::Dark;
    }
    return calendar;
}

std::optional<RhythmGrid> loadMinuteGrid(const std::filesystem::path& acquisitionFolder,
                                         const std::filesystem::path& programFolder, Dialogs& dialogs) {
    return loadExportGrid(acquisitionFolder, programFolder, 1, dialogs);
}

std::optional<MinuteSpan> minuteSpanOf(const RhythmGrid& grid, const std::optional<ElapsedWindow>& window,
                                       Dialogs& dialogs) {
    const int last = grid.exportedIntervals();
    MinuteSpan span{0, last};
    if (window) {
        const double from = std::ceil(window->fromHours * 60.0 - MinuteTolerance);
        const double to = std::floor(window->toHours * 60.0 + MinuteTolerance);
        span.first = static_cast<int>(std::clamp(from, 0.0, static_cast<double>(last)));
        span.end = static_cast<int>(std::clamp(to, static_cast<double>(span.first), static_cast<double>(last)));
    }
    for (int m = span.first; m < span.end; ++m) {
        if (grid.isReading(m)) return span;
    }
    dialogs.message(window ? "The window " + formatShortest(window->fromHours) + "-" + formatShortest(window->toHours) +
                                 " h holds no reading of the acquisition, which has " +
                                 formatShortest(last / 60.0) + " h."
                           : "The acquisition holds no reading: nothing to analyse.");
    return std::nullopt;
}

std::vector<int> measuredWells(const RhythmGrid& grid) {
    std::vector<int> wells;
    for (int well = 0; well < grid.wellCount(); ++well) {
        if (grid.beamsOfWell(well) > 0) wells.push_back(well);
    }
    return wells;
}

std::string groupFields(const RhythmGrid& grid, int group) {
    if (group < 0 || group >= ChannelSlots) return ",";
    return std::to_string(group) + "," + csvField(grid.plate.groups.Name[static_cast<std::size_t>(group)]);
}

std::string wellGroupFields(const RhythmGrid& grid, int well) {
    return wellName(grid.plate.plate, well) + "," + groupFields(grid, grid.groupOfWell(well));
}

std::vector<int> groupsWithWells(const RhythmGrid& grid) {
    std::vector<bool> seen(ChannelSlots, false);
    for (int well : measuredWells(grid)) {
        const int group = grid.groupOfWell(well);
        if (group >= 0 && group < ChannelSlots) seen[static_cast<std::size_t>(group)] = true;
    }
    std::vector<int> groups;
    for (int group = 0; group < ChannelSlots; ++group) {
        if (seen[static_cast<std::size_t>(group)]) groups.push_back(group);
    }
    return groups;
}

std::string csvNumber(const std::optional<double>& value) {
    if (!value || !std::isfinite(*value)) return "";
    // Shortest exact form, in exponent notation where that is shorter: a
    // p value of 1e-59 stays short, and every CSV reader takes it.
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, *value).ptr;
    return std::string(text, end);
}

GroupEstimate estimateOf(const std::vector<double>& values) {
    GroupEstimate estimate;
    if (values.empty()) return estimate;
    estimate.mean = gsl_stats_mean(values.data(), 1, values.size());
    if (values.size() >= 2) {
        estimate.se = gsl_stats_sd_m(values.data(), 1, values.size(), *estimate.mean) /
                      std::sqrt(static_cast<double>(values.size()));
    }
    return estimate;
}

std::filesystem::path behaviourFolder(const std::filesystem::path& acquisitionFolder) {
    return acquisitionFolder / "behaviour";
}

std::vector<std::filesystem::path> writeCsvFiles(
    const std::filesystem::path& folder, const std::vector<std::pair<std::string, std::string>>& namesAndTexts,
    Dialogs& dialogs) {
    std::vector<std::filesystem::path> written;
    if (!prepareExportFolder(folder, dialogs)) return written;
    for (const auto& [name, text] : namesAndTexts) {
        const std::filesystem::path file = folder / name;
        if (!writeExportFile(file, text, dialogs)) break;
        written.push_back(file);
    }
    return written;
}

}  // namespace zorvex
