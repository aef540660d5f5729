#include <gtest/gtest.h>

#include "ScriptedDialogs.h"
#include "StoreFiles.h"
#include "TempFolder.h"
#include "store/ProgramConfig.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {
const std::string Header = "\"Config: <Actual_Project_Number>, <Last_Project>,<Serial_COM>,<Restart_Time>\"\r\n";
const std::string DefaultMessage = "Error opening config File >>>> Loading DEFAULT configuration...";

ProgramConfig loadFrom(const std::string& bytes, ScriptedDialogs& dialogs) {
    TempFolder folder;
    putFile(folder / "config.dat", bytes);
    ProgramConfig config{7, 8, 9, 10};
    loadConfig(config, folder.path(), dialogs);
    return config;
}
}  // namespace

TEST(ConfigFile, LoadsAndNormalisesTheFourValues) {
    struct Case {
        std::string line;
        ProgramConfig expected;
    };
    for (const Case& c : {Case{"5,7,4,0", {5, 7, 4, 0}}, Case{"-3,2,0,120", {0, 2, 1, 0}}, Case{"9,3,20,0", {9, 9, 16, 0}}}) {
        ScriptedDialogs dialogs;
        EXPECT_EQ(loadFrom(Header + c.line + "\r\n", dialogs), c.expected) << c.line;
        EXPECT_TRUE(dialogs.shown.empty());
    }
}

TEST(ConfigFile, UnreadableFileGivesDefaultsWithTheMessage) {
    std::vector<std::pair<std::string, std::string>> cases = damagedContents();
    cases.push_back({"header only", Header});
    cases.push_back({"truncated line", Header + "5,7,4\r\n"});
    cases.push_back({"no number", Header + "5,x,4,0\r\n"});
    cases.push_back({"16-bit overflow", Header + "5,70000,4,0\r\n"});
    for (const auto& [label, bytes] : cases) {
        ScriptedDialogs dialogs;
        EXPECT_EQ(loadFrom(bytes, dialogs), (ProgramConfig{1, 1, 4, 0})) << label;
        EXPECT_EQ(dialogs.shown, std::vector<std::string>{DefaultMessage}) << label;
    }
    ScriptedDialogs dialogs;
    TempFolder empty;
    ProgramConfig config;
    loadConfig(config, empty.path(), dialogs);
    EXPECT_EQ(config, (ProgramConfig{1, 1, 4, 0}));
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{DefaultMessage});
}

TEST(ConfigFile, SaveWritesTwoLinesAndAlwaysRestartTimeZero) {
    TempFolder folder;
    putFile(folder / "config.dat", Header + "5,7,4,120\r\n");
    ScriptedDialogs dialogs;
    ProgramConfig config;
    loadConfig(config, folder.path(), dialogs);
    ASSERT_TRUE(saveConfig(config, folder.path(), dialogs));
    EXPECT_EQ(fileBytes(folder / "config.dat"), Header + "5,7,4,0\r\n");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(ConfigFile, FailedSaveShowsItsMessageAndKeepsTheValues) {
    TempFolder folder;
    ScriptedDialogs dialogs;
    ProgramConfig config{3, 4, 5, 0};
    EXPECT_FALSE(saveConfig(config, folder / "missing", dialogs));
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"<Error Saving Config File>"});
    EXPECT_EQ(config, (ProgramConfig{3, 4, 5, 0}));
}
