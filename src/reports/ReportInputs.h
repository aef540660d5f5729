#pragma once
// What a report reads from an acquisition folder: the plate and group tables
// of its setup copy, and the counts.bin series with the elapsed minutes
// unwrapped across restarts of the minute count.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/DataFiles.h"
#include "common/Channels.h"
#include "platform/Dialogs.h"
#include "store/ChannelTables.h"
#include "store/PlateFormat.h"
#include "store/ProjectSetup.h"

namespace zorvex {

/// The plate, channel groups and group names of one acquisition.
struct ReportPlate {
    PlateFormat plate;
    std::string plateName;
    std::int16_t rtBuffer = 0;  ///< RT_Buffer of the setup copy (samples per bin)
    SetupAsIs setupCopy;        ///< the setup copy as recorded
    std::array<std::int16_t, ChannelSlots> channelGroup{};  ///< negative = no group
    std::array<bool, ChannelSlots> channelEnabled{};        ///< status.dat of the setup copy
    GroupTable groups;
    int maxWell = 0;  ///< Wmax
    int maxBeam = 0;  ///< Bmax
    /// Channel of [beam][well], -1 where no channel sits.
    std::vector<std::vector<std::int16_t>> channelMap;
    /// Channel at beam 0 of `well`, -1 for none.
    int beamZeroChannel(int well) const;
    /// Group of `well` as reports count it (that of its beam-0 channel), negative for none.
    int groupOfWell(int well) const;
};

/// The counts.bin series: one entry per whole record.
struct LoadedSeries {
    std::vector<std::int32_t> minutes;  ///< unwrapped t[n]
    std::vector<std::array<std::int16_t, ChannelCount>> counts;
    std::vector<std::int16_t> temperatureTenths;
    std::int32_t largestStoredMinute = 0;
    /// The span K: the larger of the largest stored minute and the last unwrapped one.
    std::int32_t span() const;
};

/// True for a stored temperature the reports average: 1.0 to 50.0 degrees;
/// others come from a missing or faulty sensor.
bool isValidTemperature(std::int16_t tenths);

/// Minutes since the start in recording order: a day added whenever the
/// count drops by more than 1000 (the acquisition's minute counter
/// restarted), and any smaller step back (old wall-clock stamps at the end of
/// summer time) continued from the last minute, so later records keep their
/// distance from it. Throws OverflowError when a minute leaves 32 bits.
std::vector<std::int32_t> unwrapMinutes(const std::vector<std::int32_t>& stored);

/// Reads setup.dat (plate name, RT_Buffer), groups.dat, chgroup.dat and the
/// plate file <programFolder>/<name>.dat or .bak. Nothing, after a message,
/// when setup.dat or the plate file is missing or unreadable.
std::optional<ReportPlate> loadReportPlate(const std::filesystem::path& acquisitionFolder,
                                           const std::filesystem::path& programFolder, Dialogs& dialogs);

/// Reads <programFolder>/<name>.dat, or <name>.bak when the .dat does not
/// load; false, with `plate` unchanged, when neither does.
bool loadPlateOrBackup(PlateFormat& plate, const std::filesystem::path& programFolder, const std::string& name);

/// The files a report reads, as bytes; nothing where a file is missing.
struct ReportFiles {
    std::optional<std::string_view> setupCopy;    ///< setup.dat of the acquisition folder
    ChannelFileBytes channelFiles;                ///< its status.dat, threshld.dat, groups.dat, chgroup.dat
    std::optional<std::string_view> plate;        ///< <name>.dat of the plate the setup copy names
    std::optional<std::string_view> plateBackup;  ///< <name>.bak
    std::optional<std::string_view> counts;       ///< counts.bin
};

/// loadReportPlate on bytes already read; `acquisitionFolder` only names the
/// files and the project in messages.
std::optional<ReportPlate> parseReportPlate(const ReportFiles& files, const std::filesystem::path& acquisitionFolder,
                                            Dialogs& dialogs);

/// The channel of each [beam][well] of a plate, -1 where no channel sits.
std::vector<std::vector<std::int16_t>> channelMapOf(const PlateFormat& plate);

/// Reads counts.bin into a series; nothing when it is missing or larger than
/// any acquisition writes (MaxActivityFileBytes). A trailing
/// partial record is left out with a message. Throws OverflowError on minutes
/// that cannot be unwrapped in 32 bits.
std::optional<LoadedSeries> loadSeries(const std::filesystem::path& acquisitionFolder, Dialogs& dialogs);

/// loadSeries on the bytes of counts.bin (nothing: missing).
std::optional<LoadedSeries> parseSeries(std::optional<std::string_view> counts, Dialogs& dialogs);

/// The series of records already read, minutes unwrapped; throws OverflowError
/// as loadSeries does.
LoadedSeries seriesOf(const std::vector<ActivityRecord>& records);

/// Label of a group as reports write it: quoted "007_Mutant"; a negative group gives "999_Free".
std::string groupLabel(const ReportPlate& plate, int group);

}  // namespace zorvex
