#include <gtest/gtest.h>

#include <map>
#include <set>

#include "ScriptedDialogs.h"
#include "StoreFiles.h"
#include "TempFolder.h"
#include "store/ProgramFolderInit.h"
#include "store/Workspace.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {
const std::filesystem::path DataFolder = ZORVEX_DATA_DIR;

Workspace loadFolder(const std::filesystem::path& programFolder, int project, ScriptedDialogs& dialogs) {
    Workspace workspace;
    workspace.programFolder = programFolder;
    loadConfig(workspace.config, programFolder, dialogs);
    workspace.config.Actual_Project_Number = static_cast<std::int16_t>(project);
    workspace.projectFolder = projectFolderPath(programFolder, project);
    loadProject(workspace, project, dialogs);
    return workspace;
}
}  // namespace

TEST(ProgramFolderInit, NewFolderLoadsBothProjectsWithoutAMessage) {
    TempFolder root;
    std::filesystem::path program = root / "zorvex";
    ASSERT_EQ(initProgramFolder(program, DataFolder), std::nullopt);
    EXPECT_EQ(fileBytes(program / "config.dat"),
              "\"Config: <Actual_Project_Number>, <Last_Project>,<Serial_COM>,<Restart_Time>\"\r\n1,1,4,0\r\n");
    EXPECT_EQ(fileBytes(program / "z6.dat"), fileBytes(DataFolder / "z6.dat"));

    ScriptedDialogs dialogs;
    Workspace fallback = loadFolder(program, 0, dialogs);
    EXPECT_EQ(fallback.setup.Name, "Default");
    EXPECT_EQ(fallback.groups.Name[0], "Group0");

    Workspace demo = loadFolder(program, 1, dialogs);
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.shown.front();
    EXPECT_EQ(demo.config, (ProgramConfig{1, 1, 4, 0}));
    EXPECT_EQ(demo.setup.Name, "Demo");
    EXPECT_EQ(demo.setup.Plate_format, "z96f");
    EXPECT_EQ(demo.setup.Aq_lapse, 10);
    EXPECT_EQ(demo.setup.Save_real, 1);

    // Eight groups, one per plate row, each of the 12 wells of its row.
    std::map<int, std::set<int>> wellsOfGroup;
    for (int c = 0; c < ChannelCount; ++c) {
        int well = demo.plate.WellOfChannel[c];
        EXPECT_EQ(demo.channels.Group[c], well >= 0 ? well % 8 : -1) << c;
        if (well >= 0) wellsOfGroup[demo.channels.Group[c]].insert(well);
    }
    ASSERT_EQ(wellsOfGroup.size(), 8u);
    for (const auto& [group, wells] : wellsOfGroup) EXPECT_EQ(wells.size(), 12u) << group;
    EXPECT_EQ(demo.groups.Name[0], "Row A");
    EXPECT_EQ(demo.groups.Name[7], "Row H");
    EXPECT_EQ(demo.groups.Name[8], "Free");
}

TEST(ProgramFolderInit, RefusesAFolderThatAlreadyHasAConfiguration) {
    TempFolder program;
    putFile(program / "config.dat", "mine");
    EXPECT_NE(initProgramFolder(program.path(), DataFolder), std::nullopt);
    EXPECT_EQ(fileBytes(program / "config.dat"), "mine");
    EXPECT_FALSE(fileExists(program / "setup.dat"));
}

TEST(ProgramFolderInit, MissingPlateFilesFailWithoutMakingAProgramFolder) {
    TempFolder root;
    EXPECT_NE(initProgramFolder(root / "zorvex", root / "nodata"), std::nullopt);
    EXPECT_FALSE(fileExists(root / "zorvex" / "config.dat"));
}

TEST(ProgramFolderInit, AShortDemoChangesOnlyTheDemoProjectsLapse) {
    TempFolder root;
    std::filesystem::path program = root / "zorvex";
    ASSERT_EQ(initProgramFolder(program, DataFolder, 2), std::nullopt);
    ScriptedDialogs dialogs;
    EXPECT_EQ(loadFolder(program, 1, dialogs).setup.Aq_lapse, 2);
    EXPECT_EQ(loadFolder(program, 0, dialogs).setup.Aq_lapse, 30);
    EXPECT_TRUE(dialogs.shown.empty());
}
