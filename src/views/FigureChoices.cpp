#include "views/FigureChoices.h"

#include <charconv>
#include <cmath>
#include <set>

#include "common/Channels.h"
#include "common/Files.h"
#include "store/PlateFormat.h"
#include "views/FigureSource.h"

namespace zorvex {

namespace {

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The text as a message quotes it; '' for nothing.
std::string quoted(std::string_view text) { return text.empty() ? "''" : std::string(text); }

template <typename Number>
std::optional<Number> numberOf(std::string_view text) {
    text = trimmed(text);
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

std::string_view figureKindName(FigureKind kind) {
    switch (kind) {
        case FigureKind::Groups: return "groups";
        case FigureKind::Plate: return "plate";
        case FigureKind::Actogram: return "actogram";
        case FigureKind::Sleep: return "sleep";
        case FigureKind::Periodogram: return "periodogram";
        case FigureKind::PeriodMap: return "period-map";
    }
    return "";
}

bool settingApplies(FigureSetting setting, FigureKind kind) {
    switch (setting) {
        case FigureSetting::Bin:
            return kind == FigureKind::Groups || kind == FigureKind::Plate || kind == FigureKind::Actogram;
        case FigureSetting::Window: return kind != FigureKind::Actogram;
        case FigureSetting::Error:
        case FigureSetting::Groups:
        case FigureSetting::PerGroup:
        case FigureSetting::TimeAxis: return kind == FigureKind::Groups;
        case FigureSetting::HeatValue: return kind == FigureKind::Plate;
        case FigureSetting::ActogramSubject: return kind == FigureKind::Actogram;
        case FigureSetting::InactiveMinutes: return kind == FigureKind::Sleep;
        case FigureSetting::Periodogram: return kind == FigureKind::Periodogram || kind == FigureKind::PeriodMap;
    }
    return false;
}

long long defaultBinMinutes(FigureKind kind) {
    return kind == FigureKind::Actogram ? ActogramIntervalMinutes : GroupFigureOptions{}.binMinutes;
}

TypedValue<long long> readBinMinutes(std::string_view text) {
    const auto minutes = numberOf<long long>(text);
    if (!minutes) return {std::nullopt, quoted(trimmed(text)) + " is not a whole number"};
    if (*minutes < 1 || *minutes > MaxFigureBinMinutes) {
        return {std::nullopt, quoted(trimmed(text)) + " is not in 1.." + std::to_string(MaxFigureBinMinutes)};
    }
    return {minutes, ""};
}

TypedValue<HourWindow> readHourWindow(std::string_view text) {
    const std::string shown = quoted(trimmed(text));
    const auto dash = shown.find('-');
    const auto from = dash == std::string::npos ? std::nullopt : numberOf<double>(std::string_view(shown).substr(0, dash));
    const auto to = dash == std::string::npos ? std::nullopt : numberOf<double>(std::string_view(shown).substr(dash + 1));
    if (!from || !to || !std::isfinite(*from) || !std::isfinite(*to) || *from < 0) {
        return {std::nullopt, shown + " is not hours H1-H2 from the start, such as 0-24"};
    }
    if (*to <= *from) return {std::nullopt, shown + " does not end after it begins"};
    return {HourWindow{*from, *to}, ""};
}

TypedValue<std::vector<int>> readGroupList(std::string_view text) {
    std::vector<int> groups;
    std::string_view rest = text;
    while (true) {
        const auto comma = rest.find(',');
        const std::string_view word = trimmed(rest.substr(0, comma));
        const auto group = numberOf<int>(word);
        if (!group) return {std::nullopt, quoted(trimmed(text)) + " is not a list of group numbers such as 1,3"};
        if (*group < 0 || *group >= ChannelCount) {
            return {std::nullopt, std::string(word) + " is not a group number (0.." + std::to_string(ChannelCount - 1) + ")"};
        }
        groups.push_back(*group);
        if (comma == std::string_view::npos) return {groups, ""};
        rest = rest.substr(comma + 1);
    }
}

FigureRequest figureRequestOf(const FigureChoices& choices, const std::filesystem::path& acquisitionFolder,
                              const std::filesystem::path& programFolder, const std::filesystem::path& output) {
    FigureRequest request;
    request.kind = choices.kind;
    request.acquisitionFolder = acquisitionFolder;
    request.programFolder = programFolder;
    request.output = output;
    request.page = choices.page;
    const long long bin = choices.binMinutes.value_or(defaultBinMinutes(choices.kind));
    switch (choices.kind) {
        case FigureKind::Groups:
            request.groups.binMinutes = bin;
            request.groups.error = choices.error;
            request.groups.window = choices.window;
            request.groups.groups = choices.groups;
            request.groups.smallMultiples = choices.perGroup;
            request.groups.zeitgeber = choices.zeitgeber;
            break;
        case FigureKind::Plate:
            request.plate.binMinutes = bin;
            request.plate.window = choices.window;
            request.plate.value = choices.heatValue;
            break;
        case FigureKind::Actogram:
            request.actogram.intervalMinutes = static_cast<int>(bin);
            request.actogram.subject = choices.subject;
            request.actogram.well = choices.well;
            request.actogram.group = choices.group;
            break;
        case FigureKind::Sleep:
        case FigureKind::Periodogram:
        case FigureKind::PeriodMap:
            request.behaviour.inactiveMinutes = choices.inactiveMinutes;
            if (choices.window) request.behaviour.window = ElapsedWindow{choices.window->fromHours, choices.window->toHours};
            request.behaviour.periodogram = choices.periodogram;
            break;
    }
    return request;
}

FigureOffer figureOfferOf(const ReportPlate& plate) {
    FigureOffer offer;
    std::set<int> groups;
    for (int well = 0; well <= plate.maxWell; ++well) {
        if (plate.beamZeroChannel(well) < 0) continue;
        offer.wells.push_back(wellName(plate.plate, well));
        if (plate.groupOfWell(well) >= 0) groups.insert(plate.groupOfWell(well));
    }
    for (int group : groups) offer.groups.push_back({group, groupName(plate, group)});
    return offer;
}

std::filesystem::path freeFigureFile(const std::filesystem::path& folder, FigureKind kind, std::string_view extension) {
    const std::string stem(figureKindName(kind));
    std::filesystem::path file = folder / (stem + std::string(extension));
    for (int number = 1; fileExists(file); ++number) {
        file = folder / (stem + "_" + std::to_string(number) + std::string(extension));
    }
    return file;
}

}  // namespace zorvex
