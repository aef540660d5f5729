#include <gtest/gtest.h>

#include "TempFolder.h"
#include "platform/Host.h"
#include "platform/ProgramFolder.h"

using namespace zorvex;

TEST(SystemHost, ReportsFreeSpaceOfAnExistingFolderOnly) {
    SystemHost host;
    test::TempFolder folder;
    auto free = host.freeDiskBytes(folder.path());
    ASSERT_TRUE(free);
    EXPECT_GT(*free, 0u);
    EXPECT_FALSE(host.freeDiskBytes(folder / "missing"));
}

TEST(SystemHost, PauseWaitsOnTheSteadyClock) {
    SystemHost host;
    auto before = host.steadyMs();
    host.pause(20);
    EXPECT_GE(host.steadyMs() - before, 20);
}

TEST(SystemHost, ListSeparatorIsCommaOrSemicolon) {
    SystemHost host;
    std::string separator = host.listSeparator();
    EXPECT_TRUE(separator == "," || separator == ";");
}

TEST(ProgramFolder, CommandLineThenEnvironmentThenHome) {
    ::setenv("ZORVEX_HOME", "/srv/zorvex-home", 1);
    EXPECT_EQ(resolveProgramFolder(std::filesystem::path("/data/lab")), std::filesystem::path("/data/lab"));
    EXPECT_EQ(resolveProgramFolder(std::nullopt), std::filesystem::path("/srv/zorvex-home"));
    ::unsetenv("ZORVEX_HOME");
    ::setenv("HOME", "/home/operator", 1);
    EXPECT_EQ(resolveProgramFolder(std::nullopt), std::filesystem::path("/home/operator/.local/share/zorvex"));
}
