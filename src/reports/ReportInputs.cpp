#include "reports/ReportInputs.h"

#include <algorithm>
#include <random>

#include "acquisition/DataFiles.h"
#include "common/DateTime.h"
#include "common/Files.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "store/ProjectFolders.h"
#include "store/ProjectSetup.h"

namespace zorvex {

namespace {

constexpr std::int32_t RestartDropMinutes = 1000;
constexpr std::int16_t LowestValidTenths = 10;
constexpr std::int16_t HighestValidTenths = 500;

// Project number of the folder holding the acquisition ("p00012" -> 12), only
// to name the project in the channel files' messages.
int projectNumberOf(const std::filesystem::path& acquisitionFolder) {
    std::string name = acquisitionFolder.parent_path().filename().string();
    if (name.size() == 6 && name[0] == 'p' &&
        std::all_of(name.begin() + 1, name.end(), [](char ch) { return ch >= '0' && ch <= '9'; })) {
        return std::stoi(name.substr(1));
    }
    return 0;
}

}  // namespace

bool loadPlateOrBackup(PlateFormat& plate, const std::filesystem::path& programFolder, const std::string& name) {
    if (loadPlateFormat(plate, programFolder, name).ok) return true;
    // The plate reader only knows <name>.dat; a .bak is read through a private copy under that name.
    std::filesystem::path backup = programFolder / (name + ".bak");
    if (!fileExists(backup)) return false;
    std::random_device seed;
    std::filesystem::path scratch = std::filesystem::temp_directory_path() /
                                    ("zorvex-plate-" + std::to_string(seed()) + std::to_string(seed()));
    std::error_code ignored;
    bool ok = std::filesystem::create_directory(scratch, ignored) && copyFile(backup, scratch / (name + ".dat")) &&
              loadPlateFormat(plate, scratch, name).ok;
    std::filesystem::remove_all(scratch, ignored);
    return ok;
}

std::vector<std::vector<std::int16_t>> channelMapOf(const PlateFormat& plate) {
    std::vector<std::vector<std::int16_t>> map(static_cast<std::size_t>(plate.MaxBeam) + 1,
                                               std::vector<std::int16_t>(static_cast<std::size_t>(plate.MaxWell) + 1, -1));
    for (int c = 0; c < ChannelCount; ++c) {
        int well = plate.WellOfChannel[c];
        if (well >= 0) map[plate.BeamOfChannel[c]][well] = static_cast<std::int16_t>(c);
    }
    return map;
}

bool isValidTemperature(std::int16_t tenths) {
    return tenths >= LowestValidTenths && tenths <= HighestValidTenths;
}

int ReportPlate::beamZeroChannel(int well) const {
    if (channelMap.empty() || well < 0 || well > maxWell) return -1;
    return channelMap[0][static_cast<std::size_t>(well)];
}

int ReportPlate::groupOfWell(int well) const {
    const int channel = beamZeroChannel(well);
    return channel < 0 ? -1 : channelGroup[static_cast<std::size_t>(channel)];
}

std::int32_t LoadedSeries::span() const {
    return minutes.empty() ? largestStoredMinute : std::max(largestStoredMinute, minutes.back());
}

std::vector<std::int32_t> unwrapMinutes(const std::vector<std::int32_t>& stored) {
    std::vector<std::int32_t> unwrapped;
    unwrapped.reserve(stored.size());
    long long day = 0;
    long long shift = 0;  // minutes added since stamps stepped back
    auto minuteOf = [&](std::int32_t minute) {
        long long t = day * MinutesPerDay + shift + minute;
        if (t < INT32_MIN || t > INT32_MAX) throw OverflowError("Overflow: minute does not fit 32 bits");
        return static_cast<std::int32_t>(t);
    };
    for (std::size_t n = 0; n < stored.size(); ++n) {
        std::int32_t t = minuteOf(stored[n]);
        if (n > 0 && static_cast<long long>(unwrapped.back()) - t > RestartDropMinutes) {
            ++day;
            t = minuteOf(stored[n]);
        }
        // Stamps taken from the wall clock step back an hour when summer time
        // ends: the records went on in time, so they continue from the last minute.
        if (n > 0 && t < unwrapped.back()) {
            shift += unwrapped.back() - t;
            t = minuteOf(stored[n]);
        }
        unwrapped.push_back(t);
    }
    return unwrapped;
}

std::optional<ReportPlate> loadReportPlate(const std::filesystem::path& acquisitionFolder,
                                           const std::filesystem::path& programFolder, Dialogs& dialogs) {
    ReportPlate result;
    auto setup = readSetupAsIs(acquisitionFolder / SetupFileName);
    if (!setup) {
        dialogs.message("Setup file not found or damaged: " + (acquisitionFolder / SetupFileName).string());
        return std::nullopt;
    }
    result.setupCopy = *setup;
    result.plateName = setup->setup.Plate_format;
    result.rtBuffer = setup->setup.RT_Buffer;
    ChannelTable channels = defaultChannelTable();
    result.groups = defaultGroupTable();
    loadChannelFiles(channels, result.groups, acquisitionFolder, projectNumberOf(acquisitionFolder), dialogs);
    result.channelGroup = channels.Group;
    result.channelEnabled = channels.Enabled;

    if (!loadPlateOrBackup(result.plate, programFolder, result.plateName)) {
        dialogs.message("Multiwell Configuration File " + result.plateName + ".dat or .bak not found");
        return std::nullopt;
    }
    result.maxWell = result.plate.MaxWell;
    result.maxBeam = result.plate.MaxBeam;
    result.channelMap = channelMapOf(result.plate);
    return result;
}

std::optional<LoadedSeries> loadSeries(const std::filesystem::path& acquisitionFolder, Dialogs& dialogs) {
    std::filesystem::path file = acquisitionFolder / "counts.bin";
    if (!fileExists(file)) return std::nullopt;
    std::error_code error;
    auto bytes = std::filesystem::file_size(file, error);
    // Not loaded at all: read as empty it would make a report of nothing.
    if (!error && bytes > MaxActivityFileBytes) return std::nullopt;
    if (!error && bytes % ActivityRecordBytes != 0) {
        dialogs.message("counts.bin ends with an incomplete record; it is left out.");
    }
    return seriesOf(readActivityRecords(acquisitionFolder));
}

LoadedSeries seriesOf(const std::vector<ActivityRecord>& records) {
    LoadedSeries series;
    std::vector<std::int32_t> stored;
    stored.reserve(records.size());
    series.counts.reserve(records.size());
    series.temperatureTenths.reserve(records.size());
    for (const ActivityRecord& record : records) {
        stored.push_back(record.elapsedMinutes);
        series.largestStoredMinute = std::max(series.largestStoredMinute, record.elapsedMinutes);
        series.counts.push_back(record.counts);
        series.temperatureTenths.push_back(record.temperatureTenths);
    }
    series.minutes = unwrapMinutes(stored);
    return series;
}

std::string groupLabel(const ReportPlate& plate, int group) {
    if (group < 0 || group >= ChannelSlots) return "\"999_Free\"";
    // Appended piece by piece: a literal + temporary string trips a false -Wrestrict in GCC 12.
    std::string label = "\"";
    label += formatDigits(group, 3);
    label += "_";
    label += plate.groups.Name[static_cast<std::size_t>(group)];
    label += "\"";
    return label;
}

}  // namespace zorvex
