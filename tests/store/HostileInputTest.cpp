// Names an operator may type (quotes, commas, line breaks, letters outside
// code page 1252) through every project file writer and back, and folder
// listings that meet odd names and links.
#include <gtest/gtest.h>

#include <filesystem>

#include "ScriptedDialogs.h"
#include "StoreFiles.h"
#include "TempFolder.h"
#include "store/ChannelTables.h"
#include "store/ProjectFolders.h"
#include "store/ProjectSetup.h"

using namespace zorvex;
namespace fs = std::filesystem;

namespace {

// Quote, comma, CR LF, a lone LF, cp1252 letters and letters it lacks.
const std::string HostileName = "Dose \"high\", day 1\r\nrun 2\nend \xE2\x80\x94 caf\xC3\xA9 \xCE\xA9\xE6\x97\xA5";
// What the files can hold of it: quotes become single quotes, line breaks
// spaces, letters outside the code page '?'; the em dash and e-acute survive.
const std::string StoredName = "Dose 'high', day 1 run 2 end \xE2\x80\x94 caf\xC3\xA9 ??";

SetupSource sourceOf(const test::TempFolder& program, int project) {
    return {program.path(), program.path() / projectFolderName(project), project, project};
}

}  // namespace

TEST(HostileNames, ProjectNameWithQuotesCommasAndLineBreaksKeepsTheRestOfSetupIntact) {
    test::TempFolder program;
    ProjectSetup written = defaultSetup(program.path(), 5);
    written.Name = HostileName;
    written.Aq_lapse = 1234;
    written.Mn[3][1] = 315;
    fs::create_directories(program / "p00005");
    ASSERT_TRUE(writeSetupFile(written, 5, program / "p00005" / SetupFileName));
    EXPECT_EQ(countLines(program / "p00005" / SetupFileName), 20);

    ProjectSetup read;
    test::ScriptedDialogs dialogs;
    loadSetup(read, sourceOf(program, 5), dialogs);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(read.Name, StoredName);
    EXPECT_EQ(read.Plate_format, written.Plate_format);
    EXPECT_EQ(read.Aq_lapse, 1234);
    EXPECT_EQ(read.Mn[3][1], 315);
}

TEST(HostileNames, GroupNamesOfEveryKindReadBackWithoutMovingOtherGroups) {
    test::TempFolder folder;
    ChannelTable channels = defaultChannelTable();
    GroupTable groups = defaultGroupTable();
    groups.Name[1] = HostileName;
    groups.Name[2] = "Wild type, \xC3\xA9t\xC3\xA9";
    groups.Name[3] = "";
    ASSERT_TRUE(writeChannelFiles(channels, groups, folder.path()));
    EXPECT_EQ(countLines(folder / "groups.dat"), 385);

    ChannelTable readChannels = defaultChannelTable();
    GroupTable readGroups;
    test::ScriptedDialogs dialogs;
    loadChannelFiles(readChannels, readGroups, folder.path(), 7, dialogs);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(readGroups.Name[1], StoredName);
    EXPECT_EQ(readGroups.Name[2], groups.Name[2]);
    EXPECT_EQ(readGroups.Name[3], "");
    EXPECT_EQ(readGroups.Name[4], groups.Name[4]);
    EXPECT_EQ(readGroups.Name[383], groups.Name[383]);
    EXPECT_EQ(readChannels, channels);
}

TEST(HostileListings, OnlyStampNamedFoldersCountAsAcquisitions) {
    test::TempFolder project;
    for (const char* odd : {"01022030_1015x", "0102203a_1015", "01022030-1015", "01022030_101", "_1022030_1015",
                            "01022030_1015 ", "\"1022030_1015"}) {
        fs::create_directory(project / odd);
    }
    test::putFile(project / "31122099_2359", "a file, not a folder");
    fs::create_directory(project / "15012023_0900");
    EXPECT_EQ(newestAcquisitionFolder(project.path()), "15012023_0900");
}

TEST(HostileListings, LinkLeadingOutOfTheProjectIsNoAcquisition) {
    test::TempFolder program;
    test::TempFolder elsewhere;
    const fs::path project = program / "p00005";
    fs::create_directories(project / "15012023_0900");
    fs::create_directory_symlink(elsewhere.path(), project / "31122099_2359");
    EXPECT_EQ(newestAcquisitionFolder(project), "15012023_0900");

    // A link to a folder of the project itself is still one of its folders.
    fs::create_directory_symlink(project / "15012023_0900", project / "01012024_0000");
    EXPECT_EQ(newestAcquisitionFolder(project), "01012024_0000");
}

TEST(HostileListings, SetupIsNeverRepairedFromAFolderOutsideTheProgram) {
    test::TempFolder program;
    test::TempFolder elsewhere;
    ProjectSetup foreign = defaultSetup(program.path(), 5);
    foreign.Name = "Foreign";
    ASSERT_TRUE(writeSetupFile(foreign, 5, elsewhere / SetupFileName));
    const fs::path project = program / "p00005";
    fs::create_directories(project);
    fs::create_directory_symlink(elsewhere.path(), project / "31122099_2359");

    ProjectSetup read;
    test::ScriptedDialogs dialogs;
    loadSetup(read, sourceOf(program, 5), dialogs);
    EXPECT_EQ(read.Name, "Default");
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown.front(), "Error [\\p00005\\setup.dat] ID#1 => Loading default values...");
    EXPECT_FALSE(fileExists(project / SetupFileName));
}
