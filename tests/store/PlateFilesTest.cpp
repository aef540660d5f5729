#include <gtest/gtest.h>

#include <map>

#include "store/PlateFormat.h"

using namespace zorvex;

namespace {
const std::filesystem::path DataFolder = ZORVEX_DATA_DIR;

PlateFormat shipped(const std::string& name) {
    PlateFormat plate;
    PlateLoad load = loadPlateFormat(plate, DataFolder, name);
    EXPECT_TRUE(load.ok) << name << " stage " << load.stage;
    return plate;
}
}  // namespace

TEST(PlateFiles, EveryCataloguedPlateHasAReadableFile) {
    for (const KnownPlate& known : knownPlates()) {
        PlateFormat plate = shipped(std::string(known.name));
        EXPECT_GE(plate.Rows * plate.Columns, 6) << known.name;
    }
}

TEST(PlateFiles, FilesOfTheBuiltInPlatesGiveTheBuiltInMaps) {
    for (const char* name : {"z384", "z96f", "z96u"}) {
        PlateFormat file = shipped(name);
        PlateFormat builtIn = *builtInPlate(name);
        EXPECT_EQ(file.Rows, builtIn.Rows) << name;
        EXPECT_EQ(file.RowPitch, builtIn.RowPitch) << name;
        EXPECT_EQ(file.RowOffset, builtIn.RowOffset) << name;
        EXPECT_EQ(file.Columns, builtIn.Columns) << name;
        EXPECT_EQ(file.ColumnPitch, builtIn.ColumnPitch) << name;
        EXPECT_EQ(file.ColumnOffset, builtIn.ColumnOffset) << name;
        EXPECT_EQ(file.WellOfChannel, builtIn.WellOfChannel) << name;
        EXPECT_EQ(file.BeamOfChannel, builtIn.BeamOfChannel) << name;
        EXPECT_EQ(file.MaxBeam, builtIn.MaxBeam) << name;
        // The built-in 96-well formats count one well past the last; a file counts the last.
        EXPECT_EQ(file.MaxWell, std::string(name) == "z384" ? 383 : 95) << name;
        for (int well = 0; well <= file.MaxWell; ++well) {
            for (int beam = 0; beam <= file.MaxBeam; ++beam) {
                EXPECT_EQ(file.channelAt(well, beam), builtIn.channelAt(well, beam)) << name << " well " << well;
            }
        }
    }
}

TEST(PlateFiles, BeamsPerWellMatchTheDescriptions) {
    struct Expected {
        const char* name;
        int fewest;
        int most;
    };
    for (const Expected& e : {Expected{"z24", 4, 4}, Expected{"z48", 1, 3}, Expected{"z6", 30, 32},
                              Expected{"z96flat", 4, 4}, Expected{"z96f", 2, 2}, Expected{"z96u", 1, 1},
                              Expected{"z384", 1, 1}}) {
        PlateFormat plate = shipped(e.name);
        std::map<int, std::vector<int>> beamsOfWell;
        for (int c = 0; c < ChannelCount; ++c) {
            if (plate.WellOfChannel[c] >= 0) beamsOfWell[plate.WellOfChannel[c]].push_back(plate.BeamOfChannel[c]);
        }
        EXPECT_EQ(static_cast<int>(beamsOfWell.size()), plate.Rows * plate.Columns) << e.name;
        for (const auto& [well, beams] : beamsOfWell) {
            EXPECT_LT(well, plate.Rows * plate.Columns) << e.name;
            EXPECT_GE(static_cast<int>(beams.size()), e.fewest) << e.name << " well " << well;
            EXPECT_LE(static_cast<int>(beams.size()), e.most) << e.name << " well " << well;
            // Beams are numbered 0, 1, ... in channel order.
            for (std::size_t b = 0; b < beams.size(); ++b) EXPECT_EQ(beams[b], static_cast<int>(b)) << e.name;
        }
    }
}
