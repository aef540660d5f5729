// calvalue.dat: its exact bytes, and readers that survive short, garbled and
// out-of-range files without passing bad settings on.

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "analysis/CalibrationFile.h"
#include "common/Files.h"

using namespace zorvex;

namespace {

class CalibrationFileTest : public ::testing::Test {
protected:
    void write(const std::string& bytes) { ASSERT_TRUE(writeFile(folder / CalibrationFileName, bytes)); }
    CalibrationFileRead read() { return readCalibrationFile(folder.path(), pinHole, gain); }

    test::TempFolder folder;
    BeamTable pinHole{};
    BeamTable gain{};
};

}  // namespace

TEST_F(CalibrationFileTest, DefaultFileHasTheHeaderWithItsSpaceAnd384LinesOf2And3) {
    ASSERT_TRUE(writeDefaultCalibrationFile(folder.path(), pinHole, gain));
    EXPECT_EQ(pinHole[383], 2);
    EXPECT_EQ(gain[0], 3);
    const std::string bytes = *readFile(folder / CalibrationFileName);
    EXPECT_TRUE(bytes.starts_with("\"<Num_Channel>, <PinHole>, <Gain> \"\r\n0,2,3\r\n1,2,3\r\n"));
    EXPECT_EQ(countLines(folder / CalibrationFileName), 385);
    EXPECT_TRUE(bytes.ends_with("383,2,3\r\n"));
}

TEST_F(CalibrationFileTest, ReadsLinesInFileOrderWhateverChannelTheyName) {
    pinHole.fill(5);
    write("\"<Num_Channel>, <PinHole>, <Gain> \"\r\n200,4,6\r\n7,3,0\r\n");
    const CalibrationFileRead result = read();
    EXPECT_EQ(result.lines, 2);
    EXPECT_EQ(pinHole[0], 4);
    EXPECT_EQ(gain[0], 6);
    EXPECT_EQ(pinHole[1], 3);
    EXPECT_EQ(pinHole[2], 5);  // not reached: kept
    EXPECT_EQ(result.note(), "");
}

TEST_F(CalibrationFileTest, OutOfRangeValuesAreLimitedAndNoted) {
    write("\"h\"\r\n0,31,9\r\n1,0,4\r\n2,-3,-1\r\n3,0,0\r\n");
    const CalibrationFileRead result = read();
    EXPECT_EQ(pinHole[0], 7);
    EXPECT_EQ(gain[0], 7);
    EXPECT_EQ(pinHole[1], 1);
    EXPECT_EQ(gain[1], 4);
    EXPECT_EQ(pinHole[2], 1);
    EXPECT_EQ(gain[2], 0);
    EXPECT_EQ(pinHole[3], 0);  // a beam outside the plate keeps 0, 0
    EXPECT_EQ(result.limited, 5);
    EXPECT_NE(result.note().find("5 values outside the calibration ranges"), std::string::npos);
}

TEST_F(CalibrationFileTest, GarbledLineStopsTheReadAndKeepsTheRest) {
    gain.fill(1);
    write("\"h\"\r\n0,2,5\r\n1,x,y\r\n2,3,3\r\n");
    const CalibrationFileRead result = read();
    EXPECT_TRUE(result.garbled);
    EXPECT_EQ(result.lines, 1);
    EXPECT_EQ(gain[0], 5);
    EXPECT_EQ(gain[1], 1);
    EXPECT_EQ(gain[2], 1);
    EXPECT_FALSE(result.note().empty());
}

TEST_F(CalibrationFileTest, OversizedAndEmptyFilesDoNotCrash) {
    std::string many = "\"h\"\r\n";
    for (int i = 0; i < 1000; ++i) many += std::to_string(i) + ",3,4\r\n";
    write(many);
    EXPECT_EQ(read().lines, ChannelSlots);
    write("");
    EXPECT_EQ(read().lines, 0);
    EXPECT_FALSE(readCalibrationFile(folder / "none", pinHole, gain).found);
}
