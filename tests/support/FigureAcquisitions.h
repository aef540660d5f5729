#pragma once
// Acquisitions for the figure tests: a program folder with a 2 x 3 test
// plate whose well B3 has no beam, and acquisitions on it with two groups
// and one well in none, named by their start so that the light can be placed.
//
//   well  A1 B1 A2 B2 A3 B3
//   chan   0  1 16 17 32  -
//   group  1  1  2  2  -  -     (1 "Control", 2 "Mutant")

#include <filesystem>
#include <string>
#include <vector>

#include "AcquisitionBuilder.h"
#include "TempFolder.h"

namespace zorvex::test {

inline constexpr const char* FigurePlate = "zfig";
/// Channels of wells A1, B1, A2, B2, A3.
inline const std::vector<int> FigureChannels = {0, 1, 16, 17, 32};

/// The channel map of the test plate: (well, beam) of channels 0..32.
inline std::vector<std::pair<int, int>> figurePlateWells() {
    std::vector<std::pair<int, int>> wells(33, {-1, 0});
    for (std::size_t w = 0; w < FigureChannels.size(); ++w) wells[static_cast<std::size_t>(FigureChannels[w])] = {static_cast<int>(w), 0};
    return wells;
}

/// Records every `binMinutes` from `binMinutes` to `lastMinute`, skipping
/// the minutes in `gap` (from, to]: channel c counts `count(c, minute)`.
template <typename Count>
std::vector<ActivityRecord> figureRecords(int binMinutes, int lastMinute, Count count, std::pair<int, int> gap = {0, 0}) {
    std::vector<ActivityRecord> records;
    for (int minute = binMinutes; minute <= lastMinute; minute += binMinutes) {
        if (minute > gap.first && minute <= gap.second) continue;
        std::vector<std::pair<int, std::int16_t>> counts;
        for (int c : FigureChannels) counts.emplace_back(c, static_cast<std::int16_t>(count(c, minute)));
        records.push_back(record(minute, counts));
    }
    return records;
}

/// A program folder holding the test plate; acquisitions go into it.
class FigureFolder {
public:
    FigureFolder() { writePlateFile(temp_.path(), FigurePlate, 2, 3, figurePlateWells()); }

    const std::filesystem::path& programFolder() const { return temp_.path(); }

    /// An acquisition folder named `stamp` (ddmmyyyy_hhmm) with the groups of
    /// the test plate, every channel enabled; side files written by `finish`.
    AcquisitionBuilder acquisition(const std::string& stamp) const {
        AcquisitionBuilder builder(temp_ / stamp);
        builder.plate(FigurePlate).allEnabled().group(1, "Control").group(2, "Mutant");
        builder.channelGroup(0, 1).channelGroup(1, 1).channelGroup(16, 2).channelGroup(17, 2);
        return builder;
    }

private:
    TempFolder temp_;
};

}  // namespace zorvex::test
