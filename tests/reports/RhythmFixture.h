#pragma once
// Acquisitions for the rhythm-file and activity-table tests: small plates of
// one or two beams per well, an acquisition with the light settings a test
// chooses, and the loader of the rhythm-analysis tools as its rules are
// described (status-1 lines only, no step of an hour or more inside one
// metadata row's time span), written here and not taken from the program.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>

#include "AcquisitionBuilder.h"
#include "ExportReaders.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "control/LightSchedule.h"
#include "reports/RhythmExport.h"

namespace zorvex::test {

/// Light row of the setup: control on, on hour, off hour, pulses, on and off tenths.
using LightSettings = std::array<std::int16_t, 6>;
inline constexpr LightSettings NoLightControl = {0, 9, 21, 0, 0, 0};

class RhythmFixture : public ::testing::Test {
protected:
    // Plate "ztest" of 2x2 single-beam wells on channels 0..3, and "zbeams"
    // of 2x2 wells of two beams: well c % 4 has channels c and c + 4.
    void SetUp() override {
        writePlate("ztest", 2, 2);
        std::vector<std::pair<int, int>> beams;
        for (int c = 0; c < 8; ++c) beams.emplace_back(c % 4, c / 4);
        writePlateFile(temp.path(), "zbeams", 2, 2, beams);
    }

    void writePlate(const std::string& name, int rows, int columns) {
        std::vector<std::pair<int, int>> wells;
        for (int w = 0; w < rows * columns; ++w) wells.emplace_back(w, 0);
        writePlateFile(temp.path(), name, rows, columns, wells);
    }

    // An acquisition folder whose setup copy holds the light row `light`;
    // channel 0 in group 0 "Wild, type", channels 1 and 2 in group 1.
    std::filesystem::path acquisition(const std::string& stamp, const std::vector<ActivityRecord>& records,
                                      LightSettings light = NoLightControl, const std::string& plate = "ztest") {
        AcquisitionBuilder builder(temp / "p00001" / stamp);
        builder.plate(plate).group(0, "Wild, type").group(1, "Mutant 'b'").channelGroup(0, 0).channelGroup(1, 1);
        builder.channelGroup(2, 1).writeSideFiles().append(records);
        ProjectSetup setup;
        setup.Plate_format = plate;
        setup.RT_Buffer = 500;
        setup.Mn[LightRow] = light;
        writeSetupFile(setup, 1, builder.folder() / SetupFileName);
        return builder.folder();
    }

    std::vector<std::filesystem::path> exportOf(const std::filesystem::path& folder, int interval = 1,
                                                const std::filesystem::path& out = {},
                                                TimeZero timeZero = TimeZero::LightsOn) {
        return exportRhythm({folder, temp.path(), interval, out, timeZero}, dialogs);
    }

    // Records at each minute of [first, last] with channel c counting c + 1 + minute % 3.
    static std::vector<ActivityRecord> minutes(int first, int last, int channels = 4) {
        std::vector<ActivityRecord> records;
        for (int m = first; m <= last; ++m) {
            ActivityRecord r = record(m, {});
            for (int c = 0; c < channels; ++c) r.counts[static_cast<std::size_t>(c)] = static_cast<std::int16_t>(c + 1 + m % 3);
            records.push_back(r);
        }
        return records;
    }

    // Two records a minute (half-minute bins) on the 8 channels of "zbeams",
    // mostly single crossings, at each minute of `spans`.
    static std::vector<ActivityRecord> halfMinuteBins(const std::vector<std::pair<int, int>>& spans) {
        std::vector<ActivityRecord> records;
        for (auto [first, last] : spans) {
            for (int m = first; m <= last; ++m) {
                for (int half = 0; half < 2; ++half) {
                    ActivityRecord r = record(m, {}, static_cast<std::int16_t>(240 + (m + half) % 7));
                    for (int c = 0; c < 8; ++c) {
                        const int mix = (m * 13 + c * 7 + half * 5) % 11;
                        const int count = mix == 0 ? 4 : mix < 4 ? 1 : 0;
                        r.counts[static_cast<std::size_t>(c)] = static_cast<std::int16_t>(count);
                    }
                    records.push_back(r);
                }
            }
        }
        return records;
    }

    TempFolder temp;
    ScriptedDialogs dialogs;
};

/// The readings a tools' loader takes from an export folder: for each row
/// of metadata.csv, the status-1 lines of its file within [start_datetime,
/// stop_datetime], each counted per (file, region, minute). A step of an
/// hour or more between two of them fails the test, as the loader refuses it.
struct ToolsLoad {
    std::map<std::tuple<std::string, int, long long>, int> readings;
    std::set<std::pair<long long, long long>> spans;  ///< (start, stop) minutes of the rows
    std::map<std::string, std::vector<MonitorLine>> files;
};

inline ToolsLoad loadAsTheTools(const std::filesystem::path& folder) {
    ToolsLoad load;
    const auto rows = readCsv(fileText(folder / "metadata.csv"));
    if (rows.empty()) {
        ADD_FAILURE() << "no metadata.csv in " << folder;
        return load;
    }
    auto column = [&](const std::string& name) {
        return static_cast<std::size_t>(std::find(rows[0].begin(), rows[0].end(), name) - rows[0].begin());
    };
    const std::size_t file = column("file"), start = column("start_datetime"), stop = column("stop_datetime"),
                      region = column("region_id");
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const Row& row = rows[r];
        const long long from = isoMinute(row[start]), to = isoMinute(row[stop]);
        load.spans.insert({from, to});
        auto& lines = load.files[row[file]];
        if (lines.empty()) lines = readMonitorFile(folder / row[file]);
        long long previous = -1;
        for (const MonitorLine& line : lines) {
            if (line.status != 1 || line.minute < from || line.minute > to) continue;
            if (previous >= 0) {
                EXPECT_LT(line.minute - previous, 60) << "a jump of an hour or more in row " << r;
            }
            previous = line.minute;
            ++load.readings[{row[file], std::stoi(row[region]), line.minute}];
        }
    }
    return load;
}

/// Every status-1 line of every loaded file was read exactly once for each
/// region the metadata names in it.
inline void expectEveryReadingOnce(const ToolsLoad& load) {
    std::map<std::string, std::set<int>> regions;
    for (const auto& [key, count] : load.readings) regions[std::get<0>(key)].insert(std::get<1>(key));
    for (const auto& [file, lines] : load.files) {
        for (const MonitorLine& line : lines) {
            if (line.status != 1) continue;
            for (int region : regions[file]) {
                const auto found = load.readings.find({file, region, line.minute});
                EXPECT_TRUE(found != load.readings.end() && found->second == 1)
                    << file << " region " << region << " line " << line.index << " read "
                    << (found == load.readings.end() ? 0 : found->second) << " times";
            }
        }
    }
}

}  // namespace zorvex::test
