#include "views/GroupActivity.h"

#include <algorithm>

#include "acquisition/DataFiles.h"
#include "common/Files.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "reports/ReportComputation.h"
#include "reports/ReportInputs.h"
#include "store/PlateGroups.h"

namespace zorvex {

namespace {

constexpr std::size_t GroupDigits = 3;

// Wells whose beam-0 channel is in `group`.
std::vector<int> memberWells(const OfflineConfig& config, int group) {
    std::vector<int> wells;
    if (group < -1 || config.channelMap.empty()) return wells;
    const int maxWell = static_cast<int>(config.channelMap.front().size()) - 1;
    for (int well = 0; well <= maxWell; ++well) {
        int channel = config.channelAt(0, well);
        if (channel >= 0 && config.groupOfChannel(channel) == group) wells.push_back(well);
    }
    return wells;
}

// The plate as the report computation reads it.
ReportPlate reportPlateOf(const OfflineConfig& config) {
    ReportPlate plate;
    plate.plate = config.plate;
    plate.channelGroup = config.channels.Group;
    plate.groups = config.groups;
    plate.channelMap = config.channelMap;
    plate.maxBeam = std::max(static_cast<int>(config.channelMap.size()) - 1, 0);
    plate.maxWell = config.channelMap.empty() ? -1 : static_cast<int>(config.channelMap.front().size()) - 1;
    return plate;
}

// Well activity per 30-minute bin, binned and summed exactly as the report
// does (beam means summed, rounded once a bin), for the bins the view shows.
std::vector<std::vector<std::int32_t>> wellBins(const ReportPlate& plate, const LoadedSeries& series) {
    const std::vector<int> beams = beamsPerWell(plate);
    std::vector<std::vector<long long>> crossings(MaxShownBins + 1, std::vector<long long>(beams.size(), 0));
    long long binEnd = GroupBinMinutes;
    for (std::size_t n = 0; n < series.minutes.size(); ++n) {
        const long long bin = advanceBinEnd(binEnd, series.minutes[n], GroupBinMinutes);
        if (bin <= MaxShownBins) addWellCrossings(plate, series.counts[n], crossings[static_cast<std::size_t>(bin)]);
    }
    std::vector<std::vector<std::int32_t>> bins(MaxShownBins + 1, std::vector<std::int32_t>(beams.size(), 0));
    for (std::size_t b = 0; b < bins.size(); ++b) {
        for (std::size_t w = 0; w < beams.size(); ++w) bins[b][w] = toInt32(crossingsPerBeam(crossings[b][w], beams[w]));
    }
    return bins;
}

}  // namespace

std::vector<std::string> rowLetters(int rows) {
    std::vector<std::string> letters;
    for (int i = 1; i <= rows; ++i) letters.emplace_back(1, static_cast<char>(64 + i));
    return letters;
}

std::vector<std::string> groupEntries(const OfflineConfig& config) {
    std::vector<bool> used(ChannelSlots, false);
    for (int c = 0; c < ChannelCount; ++c) {
        int group = config.channels.Group[static_cast<std::size_t>(c)];
        if (group >= 0 && group < ChannelSlots) used[static_cast<std::size_t>(group)] = true;
    }
    std::vector<std::string> entries;
    for (int group = 0; group < ChannelSlots; ++group) {
        if (used[static_cast<std::size_t>(group)]) {
            entries.push_back(formatDigits(group, GroupDigits) + "_" + config.groups.Name[static_cast<std::size_t>(group)]);
        }
    }
    entries.emplace_back(FreeGroupEntry);
    return entries;
}

int groupOfEntry(std::string_view entry) { return entry == FreeGroupEntry ? -1 : groupOfItem(entry); }

std::vector<std::string> wellsOfGroup(const OfflineConfig& config, int group) {
    std::vector<std::string> names;
    for (int well : memberWells(config, group)) names.push_back(wellName(config.plate, well));
    return names;
}

int wellOfSelection(int rowIndex, int columnIndex, int rows) { return columnIndex * rows + rowIndex; }

WellSelection selectionOfWellName(std::string_view name) {
    if (name.empty()) return {};
    return {static_cast<unsigned char>(name.front()) - 'A', static_cast<int>(roundHalfEven(val(name.substr(1)))) - 1};
}

int typedBeam(std::string_view text) {
    double beam = roundHalfEven(val(text));
    return beam < 0 || beam > MaxPlateIndex ? -1 : static_cast<int>(beam);
}

GroupActivity groupActivity(const OfflineConfig& config, const std::vector<ActivityRecord>& records, int channel) {
    GroupActivity activity;
    activity.well.assign(MaxShownBins + 1, 0);
    activity.group.assign(MaxShownBins + 1, 0);
    const int group = config.groupOfChannel(channel);
    if (group < -1 || records.empty() || config.channelMap.empty()) return activity;
    LoadedSeries series;
    try {
        series = seriesOf(records);
    } catch (const std::exception&) {
        return activity;  // minutes beyond 32 bits: nothing the view can place
    }
    const std::vector<int> members = memberWells(config, group);
    const int selectedWell = config.plate.WellOfChannel[static_cast<std::size_t>(channel)];
    const bool selectedIsMember = std::find(members.begin(), members.end(), selectedWell) != members.end();
    const auto wells = wellBins(reportPlateOf(config), series);

    long long lastBinEnd = GroupBinMinutes;
    for (std::int32_t minute : series.minutes) advanceBinEnd(lastBinEnd, minute, GroupBinMinutes);
    activity.shownBins = static_cast<int>(std::min<long long>(MaxShownBins, lastBinEnd / GroupBinMinutes));
    for (int k = 1; k <= activity.shownBins; ++k) {
        const auto& bin = wells[static_cast<std::size_t>(k)];
        if (selectedIsMember) activity.well[static_cast<std::size_t>(k)] = bin[static_cast<std::size_t>(selectedWell)];
        // The group's value is the mean of its wells' bin sums, as the report's group average.
        double sum = 0;
        for (int well : members) sum += bin[static_cast<std::size_t>(well)];
        if (!members.empty()) activity.group[static_cast<std::size_t>(k)] = toInt32(sum / static_cast<double>(members.size()));
        activity.scale = std::max(activity.scale, activity.group[static_cast<std::size_t>(k)]);
    }
    return activity;
}

std::optional<GroupActivity> groupActivityOf(const OfflineConfig& config, const std::filesystem::path& acquisitionFolder,
                                             int channel) {
    if (!fileExists(acquisitionFolder / "counts.bin")) return std::nullopt;
    return groupActivity(config, readActivityRecords(acquisitionFolder), channel);
}

}  // namespace zorvex
