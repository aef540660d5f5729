#pragma once
// Acquisitions for the sleep and rhythm tests, written by the test's own
// builder from per-well minute series, and read back the way another
// program would: the 1-minute monitor files of the rhythm export through the
// plain monitor reader, and the result files through the plain CSV reader.

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "AcquisitionBuilder.h"
#include "ExportReaders.h"
#include "PlainCsv.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "reports/RhythmExport.h"

namespace zorvex::test {

/// Light row of the setup: control on, on hour, off hour, pulses, on and off tenths.
using LightRowValues = std::array<std::int16_t, 6>;
inline constexpr LightRowValues NoLight = {0, 9, 21, 0, 0, 0};
inline constexpr LightRowValues DaylightNineToNine = {1, 9, 21, 0, 0, 0};

/// Counts of each well at each minute; a minute left out of `recorded` has no record.
struct MinuteSeries {
    int minutes = 0;
    std::vector<std::vector<std::int16_t>> counts;  ///< [well][minute]
    std::vector<bool> recorded;                     ///< [minute]

    MinuteSeries(int wells, int length)
        : minutes(length), counts(static_cast<std::size_t>(wells), std::vector<std::int16_t>(static_cast<std::size_t>(length), 1)),
          recorded(static_cast<std::size_t>(length), true) {}

    /// Sets minutes first..last of `well` to `count`.
    void set(int well, int first, int last, std::int16_t count) {
        for (int m = first; m <= last; ++m) counts[static_cast<std::size_t>(well)][static_cast<std::size_t>(m)] = count;
    }
};

/// What the monitor files say of one well and minute.
struct MonitorMinute {
    bool reading = false;
    bool light = false;
    long count = 0;
};

class BehaviourFixture : public ::testing::Test {
protected:
    /// A plate "zwells" of rows x columns single-beam wells: channel w in well w.
    void writePlate(int rows, int columns) {
        rows_ = rows;
        std::vector<std::pair<int, int>> wells;
        for (int w = 0; w < rows * columns; ++w) wells.emplace_back(w, 0);
        writePlateFile(temp.path(), "zwells", rows, columns, wells);
    }

    /// An acquisition of the series; wells below `groupedWells` alternate between groups 1 and 2.
    std::filesystem::path acquisition(const std::string& stamp, const MinuteSeries& series, LightRowValues light,
                                      int organism = 0) {
        AcquisitionBuilder builder(temp / "p00001" / stamp);
        builder.plate("zwells").allEnabled().group(1, "Wild, type").group(2, "Mutant");
        for (std::size_t w = 0; w < series.counts.size(); ++w) builder.channelGroup(static_cast<int>(w), 1 + static_cast<int>(w % 2));
        builder.writeSideFiles();
        std::vector<ActivityRecord> records;
        for (int m = 0; m < series.minutes; ++m) {
            if (!series.recorded[static_cast<std::size_t>(m)]) continue;
            ActivityRecord r = record(m, {});
            for (std::size_t w = 0; w < series.counts.size(); ++w) r.counts[w] = series.counts[w][static_cast<std::size_t>(m)];
            records.push_back(r);
        }
        builder.append(records);
        ProjectSetup setup;
        setup.Plate_format = "zwells";
        setup.RT_Buffer = 500;
        setup.Mn[LightRow] = light;
        setup.Mn[1][0] = static_cast<std::int16_t>(organism);
        writeSetupFile(setup, 1, builder.folder() / SetupFileName);
        return builder.folder();
    }

    /// Every well's minutes as the 1-minute monitor files of the rhythm export give them: [well][minute].
    std::vector<std::vector<MonitorMinute>> monitorMinutes(const std::filesystem::path& folder, int wells) {
        const std::filesystem::path out = temp / "monitor";
        const auto files = exportRhythm({folder, temp.path(), 1, out, TimeZero::Acquisition}, dialogs);
        EXPECT_FALSE(files.empty()) << (dialogs.shown.empty() ? std::string() : dialogs.shown.back());
        std::vector<std::vector<MonitorMinute>> minutes(static_cast<std::size_t>(wells));
        for (int file = 0; file * WellsPerMonitor < wells; ++file) {
            for (const MonitorLine& line : readMonitorFile(out / ("Monitor" + std::to_string(file + 1) + ".txt"))) {
                for (int column = 0; column < WellsPerMonitor && file * WellsPerMonitor + column < wells; ++column) {
                    auto& well = minutes[static_cast<std::size_t>(file * WellsPerMonitor + column)];
                    EXPECT_EQ(static_cast<long>(well.size()) + 1, line.index);
                    well.push_back({line.status == 1, line.light == 1, line.counts[static_cast<std::size_t>(column)]});
                }
            }
        }
        return minutes;
    }

    /// The well's name on the plate: wells run down each column (A1, B1, ...).
    std::string wellName(int well) const {
        return std::string(1, static_cast<char>('A' + well % rows_)) + std::to_string(well / rows_ + 1);
    }

    TempFolder temp;
    ScriptedDialogs dialogs;
    int rows_ = 2;
};

/// A CSV result file as a table, read without the program's code.
inline PlainTable resultTable(const std::filesystem::path& file) { return plainTable(fileText(file)); }

/// Poisson counts with the rate `rate(minute)`.
template <typename Rate>
void poissonCounts(MinuteSeries& series, int well, std::mt19937& random, Rate rate) {
    for (int m = 0; m < series.minutes; ++m) {
        std::poisson_distribution<int> counts(rate(m));
        series.counts[static_cast<std::size_t>(well)][static_cast<std::size_t>(m)] = static_cast<std::int16_t>(counts(random));
    }
}

}  // namespace zorvex::test
