// zorvex-sim as a newcomer runs it: mapped into a program folder's
// comports.dat, found by the program's own serial code, and gone on exit.

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "ManualHost.h"
#include "TempFolder.h"
#include "common/Files.h"
#include "device/COM_Module.h"
#include "device/PortMap.h"

using namespace zorvex;

namespace {

// Runs the simulator with `arguments`; the returned pipe yields its output.
FILE* startSimulator(const std::string& arguments) {
    return ::popen((std::string(ZORVEX_SIM_EXE) + " " + arguments).c_str(), "r");
}

std::string firstLine(FILE* output) {
    char line[256] = {};
    if (!std::fgets(line, sizeof line, output)) return {};
    std::string text = line;
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

int exitCode(FILE* output) {
    int status = ::pclose(output);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(SimExecutable, ServesAsComFourOfAProgramFolderAndRestoresTheEntry) {
    test::TempFolder folder;
    ASSERT_TRUE(writeDefaultPortMap(folder.path()));
    FILE* output = startSimulator("--program-folder " + folder.path().string() + " --com 4 --seconds 1.5 --probe 60 --log " +
                                  (folder / "sim.log").string());
    ASSERT_NE(output, nullptr);
    std::string announced = firstLine(output);
    ASSERT_TRUE(announced.starts_with("zorvex-sim: instrument on /dev/pts/")) << announced;
    std::string device = announced.substr(announced.rfind(' ') + 1);

    PortMap map = readPortMap(folder.path());
    EXPECT_EQ(map.device(4), device);
    EXPECT_EQ(map.device(3), "/dev/ttyUSB2");
    {
        ModCOMM comm(map);
        test::ManualHost host;
        ASSERT_EQ(comm.CommOpen(4, "COM4", PortSettingsText), 0);
        EXPECT_EQ(ProbeDevice(comm, 4, host), 60);
    }
    EXPECT_EQ(exitCode(output), 0);
    EXPECT_EQ(readPortMap(folder.path()), defaultPortMap());
    std::optional<std::string> log = readFile(folder / "sim.log");
    ASSERT_TRUE(log);
    EXPECT_NE(log->find(" RX FF 00 00 00 F0\n"), std::string::npos);
    EXPECT_NE(log->find(" TX 00 3C\n"), std::string::npos);
}

// A pulled instrument's pty number is soon another process's: the program
// must find nothing at the name it knows, not that other pty.
TEST(SimExecutable, LinkDisappearsWhenTheCableIsPulled) {
    test::TempFolder folder;
    ASSERT_TRUE(writeDefaultPortMap(folder.path()));
    const std::filesystem::path given = folder / "instrument";
    const std::filesystem::path named = folder / "zorvex-sim-COM4";
    struct Case {
        std::string options;
        std::filesystem::path link;
    };
    for (const Case& c : {Case{"--link " + given.string(), given},
                          Case{"--program-folder " + folder.path().string() + " --com 4", named}}) {
        FILE* output = startSimulator(c.options + " --disconnect-after 0.3 --seconds 0.6");
        ASSERT_NE(output, nullptr);
        ASSERT_TRUE(firstLine(output).starts_with("zorvex-sim: instrument on ")) << c.options;
        EXPECT_TRUE(std::filesystem::is_symlink(c.link)) << c.options;
        if (c.link == named) {
            EXPECT_EQ(readPortMap(folder.path()).device(4), named.string());
        }
        EXPECT_EQ(firstLine(output), "zorvex-sim: disconnected");
        ModCOMM comm;
        EXPECT_NE(comm.CommOpen(1, c.link.string(), PortSettingsText), 0) << c.options;
        EXPECT_EQ(exitCode(output), 0);
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(c.link))) << c.options;
    }
    EXPECT_EQ(readPortMap(folder.path()), defaultPortMap());
}

TEST(SimExecutable, BadArgumentsExitWithUsage) {
    FILE* output = startSimulator("--faults loud=1 2>/dev/null");
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(exitCode(output), 2);
}
