#include <gtest/gtest.h>

#include "ScriptedDialogs.h"
#include "StoreFiles.h"
#include "TempFolder.h"
#include "store/ChannelTables.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {
const std::vector<std::string> MissingMessages = {
    "Error [\\p00012\\status.dat] => Loading default values...",
    "Error [\\p00012\\threshld.dat] => Loading default values...",
    "Error [\\p00012\\groups.dat] => Loading default groups...",
    "Error [\\p00012\\chgroup.dat] => Loading default groups...",
};
const std::vector<std::string> Files = {"status.dat", "threshld.dat", "groups.dat", "chgroup.dat"};

struct Tables {
    ChannelTable channels;
    GroupTable groups;
};

Tables loadFrom(const TempFolder& folder, ScriptedDialogs& dialogs, Tables tables = {}) {
    loadChannelFiles(tables.channels, tables.groups, folder.path(), 12, dialogs);
    return tables;
}
}  // namespace

TEST(ChannelFiles, WritesHeaderAndOneLinePerChannel) {
    TempFolder folder;
    ChannelTable channels = defaultChannelTable();
    channels.Threshold[0] = 2.71828;
    channels.Threshold[1] = 2.5;
    ASSERT_TRUE(writeChannelFiles(channels, defaultGroupTable(), folder.path()));
    for (const auto& file : Files) EXPECT_EQ(countLines(folder / file), 385) << file;
    EXPECT_EQ(firstLines(fileBytes(folder / "status.dat"), 2), "\"<Channel>, <Enabled>\"\r\n0,1\r\n");
    EXPECT_EQ(firstLines(fileBytes(folder / "threshld.dat"), 4), "\"<Channel>, <Threshold>\"\r\n0,2.718\r\n1,2.5\r\n2,3\r\n");
    EXPECT_EQ(firstLines(fileBytes(folder / "groups.dat"), 2), "\"<Group_Number>, <Group_Name>\"\r\n0,\"Group0\"\r\n");
    EXPECT_EQ(firstLines(fileBytes(folder / "chgroup.dat"), 2), "\"<Channel>, <Group: -1=Free>\"\r\n0,0\r\n");
}

TEST(ChannelFiles, WrittenTablesReadBackUnchanged) {
    TempFolder folder;
    Tables written{defaultChannelTable(), defaultGroupTable()};
    written.channels.Enabled[7] = false;
    written.channels.Threshold[8] = 12.125;
    written.channels.Group[9] = -1;
    written.groups.Name[3] = "Treated, 10 uM";
    written.groups.Name[4] = "Caf\xC3\xA9 \"B\"";
    ASSERT_TRUE(writeChannelFiles(written.channels, written.groups, folder.path()));
    ScriptedDialogs dialogs;
    Tables read = loadFrom(folder, dialogs, written);
    written.groups.Name[4] = "Caf\xC3\xA9 'B'";
    EXPECT_EQ(read.channels, written.channels);
    EXPECT_EQ(read.groups, written.groups);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(ChannelFiles, ValuesAreTakenInFileOrderWhateverTheLineNumbers) {
    TempFolder folder;
    putFile(folder / "status.dat", crlf({"\"<Channel>, <Enabled>\"", "10,1", "11,1", "12,1", "13,1", "14,1", "15,0", "16,2"}));
    Tables before;
    before.channels.Enabled.fill(true);
    ScriptedDialogs dialogs;
    Tables read = loadFrom(folder, dialogs, before);
    EXPECT_TRUE(read.channels.Enabled[4]);
    EXPECT_FALSE(read.channels.Enabled[5]);
    EXPECT_TRUE(read.channels.Enabled[6]);
    EXPECT_TRUE(read.channels.Enabled[7]);
}

TEST(ChannelFiles, ShortFileFillsOnlyTheChannelsItReaches) {
    TempFolder folder;
    std::vector<std::string> lines = {"\"<Channel>, <Group: -1=Free>\""};
    for (int c = 0; c < 96; ++c) lines.push_back(std::to_string(c) + ",5");
    putFile(folder / "chgroup.dat", crlf(lines));
    Tables before;
    before.channels.Group.fill(-1);
    ScriptedDialogs dialogs;
    Tables read = loadFrom(folder, dialogs, before);
    EXPECT_EQ(read.channels.Group[95], 5);
    EXPECT_EQ(read.channels.Group[96], -1);
    EXPECT_EQ(read.channels.Group[383], -1);
    EXPECT_EQ(dialogs.shown, std::vector<std::string>(MissingMessages.begin(), MissingMessages.begin() + 3));
}

TEST(ChannelFiles, MissingFilesGiveDefaultsWithTheirMessagesInOrder) {
    TempFolder folder;
    ScriptedDialogs dialogs;
    Tables read = loadFrom(folder, dialogs);
    EXPECT_EQ(dialogs.shown, MissingMessages);
    EXPECT_TRUE(read.channels.Enabled[383]);
    EXPECT_EQ(read.channels.Threshold[0], 3.0);
    EXPECT_EQ(read.groups.Name[11], "Group11");
    EXPECT_EQ(read.groups.Name[12], "Free");
    EXPECT_EQ(read.groups.Name[383], "Free");
    const std::vector<std::pair<int, int>> groupOfChannel = {{0, 0}, {15, 0}, {16, 1}, {47, 1}, {48, 2}, {367, 11}, {383, 12}};
    for (auto [channel, group] : groupOfChannel) EXPECT_EQ(read.channels.Group[channel], group) << channel;
}

TEST(ChannelFiles, DamagedFilesTakeTheirFailurePath) {
    const std::vector<std::string> headers = {"\"<Channel>, <Enabled>\"", "\"<Channel>, <Threshold>\"",
                                              "\"<Group_Number>, <Group_Name>\"", "\"<Channel>, <Group: -1=Free>\""};
    for (std::size_t file = 0; file < Files.size(); ++file) {
        std::vector<std::pair<std::string, std::string>> cases = damagedContents();
        cases.push_back({"truncated line", crlf({headers[file], "0,1", "1"})});
        if (file != 2) cases.push_back({"no number", crlf({headers[file], "0,1", "1,abc"})});
        if (file != 1 && file != 2) cases.push_back({"16-bit overflow", crlf({headers[file], "0,1", "1,32768"})});
        if (file == 3) cases.push_back({"no such group", crlf({headers[file], "0,385"})});
        for (const auto& [label, bytes] : cases) {
            TempFolder folder;
            Tables good{defaultChannelTable(), defaultGroupTable()};
            good.channels.Group[1] = 7;
            writeChannelFiles(good.channels, good.groups, folder.path());
            putFile(folder / Files[file], bytes);
            ScriptedDialogs dialogs;
            Tables read = loadFrom(folder, dialogs, good);
            EXPECT_EQ(dialogs.shown, std::vector<std::string>{MissingMessages[file]}) << Files[file] << ": " << label;
            EXPECT_EQ(read.channels.Group[1], file == 3 ? 0 : 7) << Files[file] << ": " << label;
        }
    }
}
