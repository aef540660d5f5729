#include "reports/ReportInputs.h"

#include <algorithm>

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

// The .dat when it loads, else the .bak; `plate` unchanged when neither does.
bool parsePlateOrBackup(PlateFormat& plate, std::optional<std::string_view> dat,
                        std::optional<std::string_view> backup) {
    return (dat && parsePlateFormat(plate, *dat).ok) || (backup && parsePlateFormat(plate, *backup).ok);
}

// The report plate of a setup copy that read, from the bytes of its channel
// files and plate files.
std::optional<ReportPlate> reportPlateOf(const SetupAsIs& setup, const ReportFiles& files,
                                         const std::filesystem::path& acquisitionFolder, Dialogs& dialogs) {
    ReportPlate result;
    result.setupCopy = setup;
    result.plateName = setup.setup.Plate_format;
    result.rtBuffer = setup.setup.RT_Buffer;
    ChannelTable channels = defaultChannelTable();
    result.groups = defaultGroupTable();
    parseChannelFiles(channels, result.groups, files.channelFiles, projectNumberOf(acquisitionFolder), dialogs);
    result.channelGroup = channels.Group;
    result.channelEnabled = channels.Enabled;

    if (!parsePlateOrBackup(result.plate, files.plate, files.plateBackup)) {
        dialogs.message("Multiwell Configuration File " + result.plateName + ".dat or .bak not found");
        return std::nullopt;
    }
    result.maxWell = result.plate.MaxWell;
    result.maxBeam = result.plate.MaxBeam;
    result.channelMap = channelMapOf(result.plate);
    return result;
}

void reportMissingSetup(const std::filesystem::path& acquisitionFolder, Dialogs& dialogs) {
    dialogs.message("Setup file not found or damaged: " + (acquisitionFolder / SetupFileName).string());
}

std::optional<std::string> readPlateFile(const std::filesystem::path& programFolder, const std::string& name,
                                         std::string_view extension) {
    auto file = findPlateFile(programFolder, name, extension);
    return file ? readFile(*file) : std::nullopt;
}

std::optional<std::string_view> viewOf(const std::optional<std::string>& bytes) {
    return bytes ? std::optional<std::string_view>(*bytes) : std::nullopt;
}

}  // namespace

bool loadPlateOrBackup(PlateFormat& plate, const std::filesystem::path& programFolder, const std::string& name) {
    if (loadPlateFormat(plate, programFolder, name).ok) return true;
    const auto backup = readPlateFile(programFolder, name, ".bak");
    return backup && parsePlateFormat(plate, *backup).ok;
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
            shift += static_cast<long long>(unwrapped.back()) - t;
            t = minuteOf(stored[n]);
        }
        unwrapped.push_back(t);
    }
    return unwrapped;
}

std::optional<ReportPlate> loadReportPlate(const std::filesystem::path& acquisitionFolder,
                                           const std::filesystem::path& programFolder, Dialogs& dialogs) {
    auto setup = readSetupAsIs(acquisitionFolder / SetupFileName);
    if (!setup) {
        reportMissingSetup(acquisitionFolder, dialogs);
        return std::nullopt;
    }
    std::array<std::optional<std::string>, ChannelFileNames.size()> channelFiles;
    ReportFiles files;
    for (std::size_t k = 0; k < channelFiles.size(); ++k) {
        channelFiles[k] = readFile(acquisitionFolder / ChannelFileNames[k]);
        files.channelFiles[k] = viewOf(channelFiles[k]);
    }
    const auto dat = readPlateFile(programFolder, setup->setup.Plate_format, ".dat");
    const auto backup = readPlateFile(programFolder, setup->setup.Plate_format, ".bak");
    files.plate = viewOf(dat);
    files.plateBackup = viewOf(backup);
    return reportPlateOf(*setup, files, acquisitionFolder, dialogs);
}

std::optional<ReportPlate> parseReportPlate(const ReportFiles& files, const std::filesystem::path& acquisitionFolder,
                                            Dialogs& dialogs) {
    auto setup = files.setupCopy ? parseSetupAsIs(*files.setupCopy) : std::nullopt;
    if (!setup) {
        reportMissingSetup(acquisitionFolder, dialogs);
        return std::nullopt;
    }
    return reportPlateOf(*setup, files, acquisitionFolder, dialogs);
}

std::optional<LoadedSeries> loadSeries(const std::filesystem::path& acquisitionFolder, Dialogs& dialogs) {
    std::filesystem::path file = acquisitionFolder / "counts.bin";
    if (!fileExists(file)) return std::nullopt;
    // Larger than MaxActivityFileBytes or unreadable: not loaded at all, for
    // read as empty it would make a report of nothing.
    auto bytes = readFile(file, MaxActivityFileBytes);
    return bytes ? parseSeries(*bytes, dialogs) : std::nullopt;
}

std::optional<LoadedSeries> parseSeries(std::optional<std::string_view> counts, Dialogs& dialogs) {
    if (!counts || counts->size() > MaxActivityFileBytes) return std::nullopt;
    if (counts->size() % ActivityRecordBytes != 0) {
        dialogs.message("counts.bin ends with an incomplete record; it is left out.");
    }
    return seriesOf(decodeActivityRecords(*counts));
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
