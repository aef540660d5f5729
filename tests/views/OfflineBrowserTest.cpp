#include "ReviewFolders.h"
#include "common/Files.h"
#include "views/OfflineBrowser.h"
#include "views/OfflineConfig.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {

void writeLines(const std::filesystem::path& file, int lines, const std::string& name = "Larvae") {
    std::string text = "\"Project Setup\"\r\n\"3\",\"" + name + "\",\"w/\",\"z96f\"\r\n";
    for (int line = 3; line <= lines; ++line) text += "\"line\"\r\n";
    writeFile(file, text);
}

}  // namespace

TEST(OfflineBrowser, ListsOnlyStampNamedAcquisitionsHoldingCounts) {
    ReviewFolder review;
    review.acquisition("01022023_1015");
    std::filesystem::create_directories(review.project() / "02022023_0900");
    review.acquisition("notastamp");
    writeFile(review.project() / "31012023_2359", "a file, not a folder");
    review.acquisition("01012023_0800");

    EXPECT_EQ(listAcquisitions(review.project()), (std::vector<std::string>{"01012023_0800", "01022023_1015"}));
}

TEST(OfflineBrowser, SummaryNamesTheProjectOrSaysWhySetupIsMissing) {
    TempFolder folder;
    ScriptedDialogs dialogs;
    writeLines(folder / "setup.dat", 20);
    EXPECT_EQ(setupSummary(folder.path(), 3, dialogs), "<Project> p00003: Larvae");
    EXPECT_EQ(projectSummary(folder / "p00004", "p00004", 4, dialogs), "<Project> p00004: ");

    writeLines(folder / "setup.dat", 3);
    EXPECT_EQ(setupSummary(folder.path(), 3, dialogs), "<Project> p00003: SETUP NOT FOUND!!");
    writeFile(folder / "setup.dat", "\"Project Setup\"\r\n\"3\",\"bad\x01name\"\r\n\r\n\r\n\r\n\r\n\r\n");
    EXPECT_EQ(setupSummary(folder.path(), 3, dialogs), "ERROR on SETUP.DAT FILE!!!");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(OfflineBrowser, MissingSetupIsRepairedFromTheNewestAcquisition) {
    TempFolder folder;
    ScriptedDialogs dialogs;
    std::filesystem::create_directories(folder / "01022023_1015");
    std::filesystem::create_directories(folder / "05012024_0900");
    writeLines(folder / "01022023_1015" / "setup.dat", 20, "Older");
    writeLines(folder / "05012024_0900" / "setup.dat", 20, "Newest");

    EXPECT_EQ(setupSummary(folder.path(), 7, dialogs), "<Project> p00007: Newest");
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Error reading Setup.dat -> recovered from " +
                                                      (folder / "05012024_0900").string()});
}

TEST(OfflineBrowser, AcquisitionSummaryAddsTheSubproject) {
    ReviewFolder review;
    auto acquisition = review.acquisition("01022023_1015", "z96f", 1, "Larvae");
    ScriptedDialogs dialogs;
    EXPECT_EQ(acquisitionSummary(acquisition.folder(), "01022023_1015", 1, dialogs),
              "<Project> p00001: Larvae\r\n<Subproject> 01022023_1015");
    writeExperimentInfo(acquisition.folder(), {"Run A", "first day"});
    EXPECT_EQ(acquisitionSummary(acquisition.folder(), "01022023_1015", 1, dialogs),
              "<Project> p00001: Larvae\r\n<Subproject> 01022023_1015: Run A\r\n<Description> first day");
}

TEST(OfflineConfigLoad, ReadsSetupChannelsAndPlateOfTheFolder) {
    ReviewFolder review;
    auto acquisition = review.acquisition("01022023_1015", "z96f", 1, "Larvae");
    OfflineConfig config;
    ASSERT_TRUE(loadOfflineConfig(config, acquisition.folder(), review.folder.path(), 1, review.dialogs));

    EXPECT_EQ(config.setup.Name, "Larvae");
    EXPECT_EQ(config.setup.Aq_lapse, 10);
    EXPECT_EQ(config.setup.RT_Buffer, 500);
    EXPECT_EQ(config.groups.Name[1], "Control");
    EXPECT_EQ(config.groupOfChannel(2), 1);
    EXPECT_EQ(config.plate.Rows, 8);
    EXPECT_EQ(config.channelAt(0, 1), 2);    // B1 beam 0
    EXPECT_EQ(config.channelAt(1, 1), 18);   // B1 beam 1
    EXPECT_EQ(config.channelAt(2, 1), -1);   // no third beam
    EXPECT_EQ(config.channelAt(0, 96), -1);  // no 97th well
    EXPECT_TRUE(review.dialogs.shown.empty());
}

TEST(OfflineConfigLoad, PlateComesFromItsBackupWithoutAMessage) {
    ReviewFolder review;
    auto acquisition = review.acquisition("01022023_1015");
    std::filesystem::rename(review.folder / "z96f.dat", review.folder / "z96f.bak");
    OfflineConfig config;
    ASSERT_TRUE(loadOfflineConfig(config, acquisition.folder(), review.folder.path(), 1, review.dialogs));
    EXPECT_EQ(config.plate.Rows, 8);
    EXPECT_EQ(config.channelAt(1, 0), 16);
    EXPECT_TRUE(review.dialogs.shown.empty());
}

TEST(OfflineConfigLoad, MissingPlateKeepsThePreviousPlateAndSays) {
    ReviewFolder review;
    auto first = review.acquisition("01022023_1015", "z96f");
    auto second = review.acquisition("02022023_1015", "zgone");
    OfflineConfig config;
    ASSERT_TRUE(loadOfflineConfig(config, first.folder(), review.folder.path(), 1, review.dialogs));
    ASSERT_TRUE(loadOfflineConfig(config, second.folder(), review.folder.path(), 1, review.dialogs));

    EXPECT_EQ(review.dialogs.shown,
              std::vector<std::string>{"Multiwell Configuration File zgone.dat or .bak not found"});
    EXPECT_EQ(config.setup.Plate_format, "zgone");
    EXPECT_EQ(config.channelAt(1, 0), 16);
}

TEST(OfflineConfigLoad, DamagedSideFileTakesTheStoreDefaultsAndMessage) {
    ReviewFolder review;
    auto acquisition = review.acquisition("01022023_1015");
    writeFile(acquisition.folder() / "chgroup.dat", "\"<Channel>, <Group>\"\r\n0,banana\r\n");
    OfflineConfig config;
    ASSERT_TRUE(loadOfflineConfig(config, acquisition.folder(), review.folder.path(), 1, review.dialogs));
    EXPECT_EQ(review.dialogs.shown,
              std::vector<std::string>{"Error [\\p00001\\chgroup.dat] => Loading default groups..."});
    EXPECT_EQ(config.groupOfChannel(0), defaultChannelTable().Group[0]);
}

TEST(OfflineConfigLoad, FolderWithoutSetupLeavesTheConfigurationAlone) {
    ReviewFolder review;
    auto acquisition = review.acquisition("01022023_1015", "z96f", 1, "Kept");
    OfflineConfig config;
    ASSERT_TRUE(loadOfflineConfig(config, acquisition.folder(), review.folder.path(), 1, review.dialogs));
    std::filesystem::create_directories(review.project() / "02022023_1015");
    EXPECT_FALSE(loadOfflineConfig(config, review.project() / "02022023_1015", review.folder.path(), 1, review.dialogs));
    writeFile(acquisition.folder() / "setup.dat", "\"Project Setup\"\r\n");
    EXPECT_FALSE(loadOfflineConfig(config, acquisition.folder(), review.folder.path(), 1, review.dialogs));

    EXPECT_EQ(config.setup.Name, "Kept");
    EXPECT_EQ(review.dialogs.shown, std::vector<std::string>{"ERROR on SETUP.DAT FILE!!!"});
}
