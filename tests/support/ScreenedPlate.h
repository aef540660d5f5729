#pragma once
// A screened plate for the screening, figure and window tests: a 48-well
// test plate, one beam per well (channel c is well c), in project 1 as
// acquisition 14032026_0930 with its groupinfo.csv. Column 1 the vehicle
// (negative), column 2 a paralysing control (positive, well H2 an outlier),
// columns 3-6 the eight doses of "Drug" in four wells each. Every well counts
// 50 a minute for six hours, except from 2 h to 4 h, when each counts by its
// treatment: 100, 10, or the dose curve rounded.

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "AcquisitionBuilder.h"
#include "screening/DoseResponseFit.h"
#include "screening/GroupInfoFile.h"

namespace zorvex::test {

inline const std::vector<double> ScreenDoses = {0.01, 0.03, 0.1, 0.3, 1, 3, 10, 30};
inline const DoseCurve ScreenTruth{10, 100, 0.5, 1.2};
inline constexpr int ScreenRows = 8;
inline constexpr const char* ScreenPlateName = "ztest";

/// Minutes of the treatment, 2 h to 4 h.
inline bool screenTreated(int minute) { return minute >= 120 && minute < 240; }

/// A channel's count per minute during the treatment.
inline std::int16_t screenTreatedCount(int channel) {
    if (channel < ScreenRows) return 100;
    if (channel < 2 * ScreenRows) return channel == 2 * ScreenRows - 1 ? 40 : 10;
    const auto dose = static_cast<std::size_t>((channel - 2 * ScreenRows) / 4);
    return static_cast<std::int16_t>(std::lround(curveResponse(ScreenTruth, ScreenDoses[dose])));
}

/// The annotations of the plate's groups, as its groupinfo.csv holds them.
inline GroupAnnotations screenAnnotations() {
    GroupAnnotations annotations;
    annotations[1] = {"", "DMSO", 0.1, "%", GroupRole::Negative};
    annotations[2] = {"", "Levamisole", 1, "mM", GroupRole::Positive};
    for (std::size_t d = 0; d < ScreenDoses.size(); ++d) {
        annotations[static_cast<int>(d) + 3] = {"", "Drug", ScreenDoses[d], "uM", GroupRole::Sample};
    }
    return annotations;
}

/// Writes the test plate into `programFolder` and the acquisition into
/// its project 1, with `disabledChannel` (if any) disabled; returns the acquisition folder.
inline std::filesystem::path writeScreenedPlate(const std::filesystem::path& programFolder, int disabledChannel = -1) {
    std::vector<std::pair<int, int>> wells;
    for (int c = 0; c < 6 * ScreenRows; ++c) wells.emplace_back(c, 0);
    writePlateFile(programFolder, ScreenPlateName, ScreenRows, 6, wells);
    const std::filesystem::path folder = programFolder / "p00001" / "14032026_0930";
    AcquisitionBuilder builder(folder);
    builder.plate(ScreenPlateName).allEnabled().group(1, "Vehicle").group(2, "Paralysed");
    for (int c = 0; c < ScreenRows; ++c) builder.channelGroup(c, 1).channelGroup(ScreenRows + c, 2);
    for (std::size_t d = 0; d < ScreenDoses.size(); ++d) {
        const int group = static_cast<int>(d) + 3;
        builder.group(group, "Drug " + std::to_string(d));
        for (int k = 0; k < 4; ++k) builder.channelGroup(2 * ScreenRows + static_cast<int>(d) * 4 + k, group);
    }
    if (disabledChannel >= 0) builder.enabled(disabledChannel, false);
    builder.writeSideFiles();
    std::vector<ActivityRecord> records;
    for (int minute = 1; minute <= 360; ++minute) {
        std::vector<std::pair<int, std::int16_t>> counts;
        for (int c = 0; c < 6 * ScreenRows; ++c) {
            counts.emplace_back(c, screenTreated(minute) ? screenTreatedCount(c) : 50);
        }
        records.push_back(record(minute, counts));
    }
    builder.append(records);
    GroupTable names = defaultGroupTable();
    names.Name[1] = "Vehicle";
    names.Name[2] = "Paralysed";
    for (std::size_t d = 0; d < ScreenDoses.size(); ++d) names.Name[d + 3] = "Drug " + std::to_string(d);
    writeGroupInfo(folder, screenAnnotations(), names);
    return folder;
}

}  // namespace zorvex::test
