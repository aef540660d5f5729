#include "views/GroupActivity.h"

#include <algorithm>

#include "acquisition/DataFiles.h"
#include "common/Files.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "store/PlateGroups.h"

namespace zorvex {

namespace {

constexpr std::size_t GroupDigits = 3;

// A well's value in one record: its beam-0 count on single-beam plates,
// else the mean over its mapped beams, rounded half to even.
std::int32_t wellValue(const OfflineConfig& config, const ActivityRecord& record, int well) {
    const int maxBeam = static_cast<int>(config.channelMap.size()) - 1;
    if (maxBeam == 0) return record.counts[static_cast<std::size_t>(config.channelAt(0, well))];
    long long sum = 0;
    int mapped = 0;
    for (int beam = 0; beam <= maxBeam; ++beam) {
        int channel = config.channelAt(beam, well);
        if (channel < 0) continue;
        sum += record.counts[static_cast<std::size_t>(channel)];
        ++mapped;
    }
    return mapped == 0 ? 0 : toInt32(static_cast<double>(sum) / mapped);
}

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
    activity.well.assign(1, 0);
    activity.group.assign(1, 0);
    std::int32_t largest = 0;
    for (const auto& record : records) largest = std::max(largest, record.elapsedMinutes);

    const int group = config.groupOfChannel(channel);
    const std::vector<int> members = memberWells(config, group);
    const int selectedWell = channel >= 0 && channel < ChannelCount
                                 ? config.plate.WellOfChannel[static_cast<std::size_t>(channel)]
                                 : -1;
    const bool selectedIsMember = std::find(members.begin(), members.end(), selectedWell) != members.end();

    long long binEnd = GroupBinMinutes;
    long long wellSum = 0;
    long long groupSum = 0;
    bool largestSeen = false;
    if (group >= -1) {
        for (const auto& record : records) {
            long long memberSum = 0;
            for (int well : members) memberSum += wellValue(config, record, well);
            // A group without member wells averages 0 rather than dividing by none.
            if (!members.empty()) groupSum += toInt32(static_cast<double>(memberSum) / static_cast<double>(members.size()));
            if (selectedIsMember) wellSum += wellValue(config, record, selectedWell);

            bool closes = record.elapsedMinutes >= binEnd - 1;
            if (record.elapsedMinutes == largest && !largestSeen) {
                closes = true;
                largestSeen = true;
            }
            if (!closes) continue;
            const auto bin = static_cast<std::size_t>(binEnd / GroupBinMinutes);
            activity.well.resize(std::max(activity.well.size(), bin + 1), 0);
            activity.group.resize(std::max(activity.group.size(), bin + 1), 0);
            activity.well[bin] = static_cast<std::int32_t>(std::clamp<long long>(wellSum, INT32_MIN, INT32_MAX));
            activity.group[bin] = static_cast<std::int32_t>(std::clamp<long long>(groupSum, INT32_MIN, INT32_MAX));
            binEnd += GroupBinMinutes;
            wellSum = 0;
            groupSum = 0;
        }
    }
    activity.shownBins = static_cast<int>(std::min<long long>(MaxShownBins, (binEnd - GroupBinMinutes) / GroupBinMinutes));
    for (int k = 0; k <= activity.shownBins; ++k) {
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
