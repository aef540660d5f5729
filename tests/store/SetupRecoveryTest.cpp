#include <gtest/gtest.h>

#include "ScriptedDialogs.h"
#include "StoreFiles.h"
#include "TempFolder.h"
#include "store/ProjectFolders.h"
#include "store/ProjectSetup.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {
const std::string Recheck = "Warning!! PLEASE Re-Check setup values before RUN";

// setup.dat of `setup` with line `number` (1-based) replaced.
std::string withLine(const ProjectSetup& setup, int number, const std::string& line) {
    std::string bytes = setupFileBytes(setup, 5);
    std::size_t start = 0;
    for (int i = 1; i < number; ++i) start = bytes.find("\r\n", start) + 2;
    return bytes.replace(start, bytes.find("\r\n", start) - start, line);
}
}  // namespace

TEST(SetupRecovery, MissingFileIsRepairedFromSetupBak) {
    TempFolder program;
    ProjectSetup backup = sampleSetup(program.path());
    putFile(program / "p00005" / "setup.bak", setupFileBytes(backup, 5));
    ScriptedDialogs dialogs;
    EXPECT_EQ(loadSetupOf(program.path(), 5, dialogs), backup);
    EXPECT_EQ(dialogs.shown, (std::vector<std::string>{
                                 "Error [\\p00005\\setup.dat] ID#1 => Loading values from: p00005\\", Recheck}));
    EXPECT_EQ(fileBytes(program / "p00005" / "setup.dat"), setupFileBytes(backup, 5));
}

TEST(SetupRecovery, WithoutBackupTheNewestAcquisitionCopyIsUsed) {
    TempFolder program;
    ProjectSetup older = sampleSetup(program.path());
    ProjectSetup newer = older;
    newer.Name = "newest";
    putFile(program / "p00005" / "15012023_0900" / "setup.dat", setupFileBytes(older, 5));
    putFile(program / "p00005" / "01022023_1015" / "setup.dat", setupFileBytes(newer, 5));
    putFile(program / "p00005" / "31122099_2359.txt", "not a folder");
    std::filesystem::create_directories(program / "p00005" / "notastamp_99");
    EXPECT_EQ(newestAcquisitionFolder(program / "p00005"), "01022023_1015");

    ScriptedDialogs dialogs;
    EXPECT_EQ(loadSetupOf(program.path(), 5, dialogs).Name, "newest");
    EXPECT_EQ(dialogs.shown,
              (std::vector<std::string>{
                  "Error [\\p00005\\setup.dat] ID#1 => Loading values from: p00005\\01022023_1015", Recheck}));
}

TEST(SetupRecovery, AcquisitionCopyOfSixteenLinesIsNotUsed) {
    TempFolder program;
    putFile(program / "p00005" / "01022023_1015" / "setup.dat", firstLines(setupFileBytes(sampleSetup(program.path()), 5), 16));
    ScriptedDialogs dialogs;
    EXPECT_EQ(loadSetupOf(program.path(), 5, dialogs), defaultSetup(program.path(), 5));
    EXPECT_EQ(dialogs.shown.front(), "Error [\\p00005\\setup.dat] ID#1 => Loading default values...");
}

TEST(SetupRecovery, BreakOnLineSixKeepsEarlierGroupsAndDefaultsTheRest) {
    TempFolder program;
    ProjectSetup written = sampleSetup(program.path());
    written.Working_folder = "elsewhere/";
    putFile(program / "p00005" / "setup.dat", withLine(written, 6, "1,300,80,1,x,1"));
    ScriptedDialogs dialogs;
    ProjectSetup loaded = loadSetupOf(program.path(), 5, dialogs);

    ProjectSetup expected = defaultSetup(program.path(), 5);
    expected.Num_proj = written.Num_proj;
    expected.Name = written.Name;
    expected.Plate_format = written.Plate_format;
    expected.Aq_lapse = written.Aq_lapse;
    expected.RT_Buffer = written.RT_Buffer;
    EXPECT_EQ(loaded, expected);
    EXPECT_EQ(dialogs.shown,
              (std::vector<std::string>{"Error [\\p00005\\setup.dat] ID#3 => Loading default values...", Recheck}));
}

TEST(SetupRecovery, DefaultProjectNeverRecovers) {
    TempFolder program;
    putFile(program / "setup.bak", setupFileBytes(sampleSetup(program.path()), 0));
    ScriptedDialogs dialogs;
    EXPECT_EQ(loadSetupOf(program.path(), 0, dialogs), defaultSetup(program.path(), 0));
    EXPECT_EQ(dialogs.shown,
              (std::vector<std::string>{"Error [\\p00000\\setup.dat] ID#1 => Loading default values...", Recheck}));
    EXPECT_FALSE(fileExists(program / "setup.dat"));
}

TEST(SetupRecovery, BrokenBackupIsTriedOnceThenDefaultsAreLoaded) {
    TempFolder program;
    putFile(program / "p00005" / "setup.bak", crlf({"\"Project Setup\"", "5,\"cut\""}));
    ScriptedDialogs dialogs;
    EXPECT_EQ(loadSetupOf(program.path(), 5, dialogs), defaultSetup(program.path(), 5));
    EXPECT_EQ(dialogs.shown, (std::vector<std::string>{
                                 "Error [\\p00005\\setup.dat] ID#1 => Loading values from: p00005\\", Recheck,
                                 "Error [\\p00005\\setup.dat] ID#1 => Loading default values...", Recheck}));
}

TEST(SetupRecovery, DamagedFilesTakeTheFailurePathAtTheirStage) {
    TempFolder program;
    ProjectSetup setup = sampleSetup(program.path());
    std::vector<std::tuple<std::string, std::string, int>> cases;
    for (const auto& [label, bytes] : damagedContents()) cases.emplace_back(label, bytes, 1);
    cases.emplace_back("five lines", firstLines(setupFileBytes(setup, 5), 5), 1);
    cases.emplace_back("truncated line 4", withLine(setup, 4, "1,30,99,500,1"), 2);
    cases.emplace_back("no number in line 4", withLine(setup, 4, "1,30,99,abc,1,30"), 2);
    cases.emplace_back("no buffer", withLine(setup, 4, "1,30,99,0,1,30"), 2);
    cases.emplace_back("16-bit overflow in Mn3", withLine(setup, 14, "0,40000,0,0,0,0"), 7);
    for (const auto& [label, bytes, stage] : cases) {
        putFile(program / "p00005" / "setup.dat", bytes);
        ScriptedDialogs dialogs;
        loadSetupOf(program.path(), 5, dialogs);
        ASSERT_EQ(dialogs.shown.size(), 2u) << label;
        EXPECT_EQ(dialogs.shown[0],
                  "Error [\\p00005\\setup.dat] ID#" + std::to_string(stage) + " => Loading default values...")
            << label;
    }
}
