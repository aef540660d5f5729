#include <gtest/gtest.h>

#include "ScriptedDialogs.h"
#include "StoreFiles.h"
#include "TempFolder.h"
#include "store/Workspace.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {
Workspace projectFive(const TempFolder& program) {
    Workspace workspace;
    workspace.programFolder = program.path();
    workspace.config = {5, 5, 4, 0};
    workspace.projectFolder = program / "p00005";
    std::filesystem::create_directories(workspace.projectFolder);
    return workspace;
}
}  // namespace

TEST(Workspace, EmptyProjectFolderLoadsEveryDefaultInFileOrder) {
    TempFolder program;
    Workspace workspace = projectFive(program);
    ScriptedDialogs dialogs;
    loadProject(workspace, 5, dialogs);
    EXPECT_EQ(dialogs.shown, (std::vector<std::string>{
                                 "Error [\\p00005\\setup.dat] ID#1 => Loading default values...",
                                 "Warning!! PLEASE Re-Check setup values before RUN",
                                 "Error [\\p00005\\status.dat] => Loading default values...",
                                 "Error [\\p00005\\threshld.dat] => Loading default values...",
                                 "Error [\\p00005\\groups.dat] => Loading default groups...",
                                 "Error [\\p00005\\chgroup.dat] => Loading default groups...",
                                 "Error [\\z96f.dat] ID#0 => Loading plate format from default: 384,96f or 96u...",
                             }));
    EXPECT_EQ(workspace.setup, defaultSetup(program.path(), 5));
    EXPECT_EQ(workspace.plate, *builtInPlate("z96f"));
}

TEST(Workspace, SavedProjectLoadsBackTheSameRecords) {
    TempFolder program;
    Workspace saved = projectFive(program);
    saved.setup = sampleSetup(program.path());
    saved.setup.Plate_format = "z384";
    saved.channels = defaultChannelTable();
    saved.channels.Threshold[100] = 4.25;
    saved.groups = defaultGroupTable();
    saved.groups.Name[2] = "Mutant";
    ASSERT_TRUE(saveProject(saved));

    Workspace loaded = projectFive(program);
    ScriptedDialogs dialogs;
    loadProject(loaded, 5, dialogs);
    EXPECT_EQ(loaded.setup, saved.setup);
    EXPECT_EQ(loaded.channels, saved.channels);
    EXPECT_EQ(loaded.groups, saved.groups);
    // Only the plate file is missing here.
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(loaded.plate, *builtInPlate("z384"));
}

TEST(Workspace, SaveKeepsThePreviousSetupAsBackupAndWritesTheCurrentNumber) {
    TempFolder program;
    Workspace workspace = projectFive(program);
    workspace.setup = sampleSetup(program.path());
    putFile(workspace.projectFolder / "setup.dat", "previous\r\nbytes");
    workspace.config.Actual_Project_Number = 9;
    ASSERT_TRUE(saveProject(workspace));
    EXPECT_EQ(fileBytes(workspace.projectFolder / "setup.bak"), "previous\r\nbytes");
    EXPECT_EQ(fileBytes(workspace.projectFolder / "setup.dat"), setupFileBytes(workspace.setup, 9));
    for (const char* file : {"status.dat", "threshld.dat", "groups.dat", "chgroup.dat"}) {
        EXPECT_EQ(countLines(workspace.projectFolder / file), 385) << file;
    }
}

TEST(Workspace, ForeignProjectNumberWarnsOnTheStatusLineAndKeepsTheValues) {
    TempFolder program;
    Workspace workspace = projectFive(program);
    ProjectSetup written = sampleSetup(program.path());
    written.Plate_format = "z384";  // a built-in, so that the missing plate file keeps the name
    putFile(workspace.projectFolder / "setup.dat", setupFileBytes(written, 7));
    ScriptedDialogs dialogs;
    std::vector<std::string> status;
    loadProject(workspace, 5, dialogs, [&](const std::string& text) { status.push_back(text); });
    EXPECT_EQ(status, std::vector<std::string>{"Warning: Project ID# <> Folder Name [p005]"});
    EXPECT_EQ(dialogs.shown.front(), status.front());
    written.Num_proj = "7";
    EXPECT_EQ(workspace.setup, written);
}

TEST(Workspace, SaveIntoAMissingFolderReportsFailure) {
    TempFolder program;
    Workspace workspace = projectFive(program);
    EXPECT_FALSE(saveProjectInto(workspace, program / "gone"));
}
