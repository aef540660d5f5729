#include <gtest/gtest.h>

#include "ScriptedDialogs.h"
#include "StoreFiles.h"
#include "TempFolder.h"
#include "store/PlateFormat.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {
const std::string FileHead = crlf({"\"z48 test\"", "\"<Rows>,<RowPitch>,<RowOffset>,<Columns>,<ColumnPitch>,<ColumnOffset>\"",
                                   "6,2.6,0.2,8,2.9,0.4", "\"<Channel>,<Well>,<Beam>\""});

std::string fallbackMessage(const std::string& name, int stage) {
    return "Error [\\" + name + ".dat] ID#" + std::to_string(stage) +
           " => Loading plate format from default: 384,96f or 96u...";
}
}  // namespace

TEST(PlateFormat, BuiltIn96FlatBottomHasTwoBeamsPerWell) {
    PlateFormat plate = *builtInPlate("z96f");
    EXPECT_EQ(plate.Rows, 8);
    EXPECT_EQ(plate.Columns, 12);
    EXPECT_EQ(plate.MaxWell, 96);
    EXPECT_EQ(plate.MaxBeam, 1);
    EXPECT_EQ(plate.ChannelMap.size(), 97u * 2u);
    EXPECT_EQ(plate.channelAt(0, 0), 0);
    EXPECT_EQ(plate.channelAt(0, 1), 16);
    EXPECT_EQ(plate.channelAt(1, 0), 2);
    EXPECT_EQ(plate.channelAt(1, 1), 18);
    EXPECT_EQ(plate.channelAt(8, 0), 32);
    EXPECT_EQ(plate.channelAt(8, 1), 48);
    EXPECT_EQ(plate.WellOfChannel[1], -1);
    EXPECT_EQ(wellName(plate, 0), "A1");
    EXPECT_EQ(wellName(plate, 1), "B1");
    EXPECT_EQ(wellName(plate, 8), "A2");
    EXPECT_EQ(wellName(plate, 95), "H12");
    for (int well : {0, 1, 8, 95}) EXPECT_EQ(wellOfName(plate, wellName(plate, well)), well);
    EXPECT_EQ(wellOfName(plate, "h12"), 95);
    EXPECT_EQ(wellOfName(plate, "A01"), 0);
    for (const char* notAWell : {"", "A", "I1", "A0", "A13", "A-1", "A1x", "1A", " A1", "AA1"}) {
        EXPECT_FALSE(wellOfName(plate, notAWell)) << notAWell;
    }
}

TEST(PlateFormat, BuiltIn96RoundBottomWellsAreCentredOnTheirBeam) {
    PlateFormat plate = *builtInPlate("z96u");
    EXPECT_EQ(plate.WellOfChannel[0], 0);
    EXPECT_EQ(plate.WellOfChannel[2], 1);
    EXPECT_EQ(plate.WellOfChannel[32], 8);
    EXPECT_EQ(plate.WellOfChannel[1], -1);
    EXPECT_EQ(plate.WellOfChannel[16], -1);
    EXPECT_EQ(plate.MaxBeam, 0);
    // Well A1 spans grid -0.5..1.5 both ways, centred on channel 0's beam at (0.5, 0.5).
    EXPECT_EQ(plate.ColumnOffset, -0.5);
    EXPECT_EQ(plate.ColumnOffset + plate.ColumnPitch, 1.5);
    EXPECT_EQ(plate.RowOffset, -0.5);
    EXPECT_EQ(plate.RowOffset + plate.RowPitch, 1.5);
}

TEST(PlateFormat, MissingFileFallsBackToABuiltIn) {
    TempFolder program;
    for (auto [name, loadedAs] : {std::pair{"z48", "z96f"}, std::pair{"z384", "z384"}}) {
        ScriptedDialogs dialogs;
        std::string plateName = name;
        PlateFormat plate;
        loadPlateFormatWithFallback(plate, plateName, program.path(), dialogs);
        EXPECT_EQ(dialogs.shown, std::vector<std::string>{fallbackMessage(name, 0)});
        EXPECT_EQ(plateName, loadedAs);
        EXPECT_EQ(plate, *builtInPlate(loadedAs));
    }
    EXPECT_EQ(builtInPlate("z384")->MaxWell, 383);
    EXPECT_EQ(builtInPlate("z384")->WellOfChannel[200], 200);
}

TEST(PlateFormat, MapIsSizedByTheLargestWellAndBeamOfTheFile) {
    TempFolder program;
    std::string lines = FileHead;
    for (int c = 0; c < 144; ++c) lines += std::to_string(c) + "," + std::to_string(c / 3) + "," + std::to_string(c % 3) + "\r\n";
    putFile(program / "z48.dat", lines);
    PlateFormat plate;
    PlateLoad load = loadPlateFormat(plate, program.path(), "z48");
    ASSERT_TRUE(load.ok);
    EXPECT_EQ(plate.MaxWell, 47);
    EXPECT_EQ(plate.MaxBeam, 2);
    EXPECT_EQ(plate.ChannelMap.size(), 48u * 3u);
    EXPECT_EQ(plate.channelAt(47, 2), 143);
    EXPECT_EQ(plate.RowPitch, 2.6);
    EXPECT_EQ(plate.ColumnOffset, 0.4);
    // Channels the file does not list are in no well.
    EXPECT_EQ(plate.WellOfChannel[144], -1);
}

TEST(PlateFormat, HostileOrDamagedFilesFailAtTheirStageAndLeaveThePlate) {
    std::vector<std::tuple<std::string, std::string, int>> cases;
    for (const auto& [label, bytes] : damagedContents()) cases.emplace_back(label, bytes, label == "huge" ? 0 : 1);
    cases.emplace_back("truncated geometry", firstLines(FileHead, 2) + "6,2.6,0.2,8\r\n", 1);
    cases.emplace_back("no rows", firstLines(FileHead, 2) + "0,2.6,0.2,8,2.9,0.4\r\n\"h\"\r\n", 1);
    cases.emplace_back("flat wells", firstLines(FileHead, 2) + "6,0,0.2,8,2.9,0.4\r\n\"h\"\r\n", 1);
    cases.emplace_back("more wells than channels", firstLines(FileHead, 2) + "100,1,0,100,1,0\r\n\"h\"\r\n", 1);
    cases.emplace_back("well 32767", FileHead + "0,0,0\r\n1,32767,0\r\n", 2);
    cases.emplace_back("well 384", FileHead + "0,384,0\r\n", 2);
    cases.emplace_back("beam 5000", FileHead + "0,1,5000\r\n", 2);
    cases.emplace_back("well -7", FileHead + "0,-7,0\r\n", 2);
    cases.emplace_back("well overflow", FileHead + "0,99999,0\r\n", 2);
    cases.emplace_back("truncated mapping", FileHead + "0,1,0\r\n1,2\r\n", 2);
    cases.emplace_back("no number", FileHead + "0,one,0\r\n", 2);
    for (const auto& [label, bytes, stage] : cases) {
        TempFolder program;
        putFile(program / "z48.dat", bytes);
        PlateFormat plate = *builtInPlate("z96u");
        PlateLoad load = loadPlateFormat(plate, program.path(), "z48");
        EXPECT_FALSE(load.ok) << label;
        EXPECT_EQ(load.stage, stage) << label;
        EXPECT_EQ(plate, *builtInPlate("z96u")) << label;

        ScriptedDialogs dialogs;
        std::string plateName = "z48";
        loadPlateFormatWithFallback(plate, plateName, program.path(), dialogs);
        EXPECT_EQ(dialogs.shown, std::vector<std::string>{fallbackMessage("z48", stage)}) << label;
        EXPECT_EQ(plate, *builtInPlate("z96f")) << label;
    }
}

TEST(PlateFormat, NamesReachingOutOfTheProgramFolderAreNotOpened) {
    TempFolder root;
    std::string valid = FileHead + "0,0,0\r\n";
    putFile(root / "z96f.dat", valid);
    putFile(root / "program" / "sub" / "z96f.dat", valid);
    putFile(root / "program" / "z96f.dat", valid);
    PlateFormat plate;
    EXPECT_TRUE(loadPlateFormat(plate, root / "program", "z96f").ok);
    for (const char* name : {"../z96f", "sub/z96f", "sub\\z96f", ""}) {
        EXPECT_EQ(loadPlateFormat(plate, root / "program", name).stage, 0) << name;
    }
}

TEST(PlateFormat, CatalogueGivesTheNoticeShownWhenAPlateIsChosen) {
    EXPECT_EQ(plateNotice("z96flat"), "96 Wells flat bottom [4microbeams/well]\r\nUSE 'Z384' or 'Z96x4' plate Adapter"
                                      "\r\nNOTE: DISCONTINUED. Contact provider");
    EXPECT_EQ(plateNotice("z24"), "24 Wells flat bottom [4microbeams/well]\r\nUSE 'Z384' or 'Z24' plate Adapter");
    EXPECT_FALSE(plateNotice("z1536").has_value());
}
