// "Replace old data" killed with SIGKILL at moments spread over its run, the
// write of the new counts.bin included: the file is always whole, either
// the old one or the new one, never a mix of both.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>

#include "AcquisitionBuilder.h"
#include "TempFolder.h"
#include "common/Files.h"

extern char** environ;

namespace zorvex {
namespace {

using Clock = std::chrono::steady_clock;

// A long acquisition whose raw data covers its first 11 bins only: the rest
// recount to 0, so the recount is quick and the writing of 15 MB takes a
// good share of the run.
constexpr int Records = 20000;

pid_t startReplace(const std::filesystem::path& folder, const std::filesystem::path& programFolder) {
    std::vector<std::string> words = {ZORVEX_CLI_EXE, "recalc", folder.string(), "--method", "1", "--snr", "2.2",
                                      "--replace", "--program-folder", programFolder.string()};
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int status = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return status == 0 ? child : -1;
}

int waitFor(pid_t child) {
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

TEST(RecalculationKill, CountsFileIsWholeOldOrNewWheneverTheRunIsKilled) {
    test::TempFolder temp;
    test::writePlateFile(temp.path(), "ztest", 2, 2, test::twoByTwoWells());
    test::AcquisitionBuilder builder(temp / "14032026_0930");
    builder.rtBuffer(200).writeSideFiles();
    std::vector<ActivityRecord> records;
    for (int i = 0; i < Records; ++i) records.push_back(test::record(i / 10, {{0, 40}, {1, 30}, {16, 20}}));
    builder.append(records).appendDumps(0, 10);
    const auto counts = builder.folder() / "counts.bin";
    const std::string before = readFile(counts, MaxActivityFileBytes).value();

    const auto started = Clock::now();
    const pid_t whole = startReplace(builder.folder(), temp.path());
    ASSERT_GT(whole, 0);
    ASSERT_EQ(WEXITSTATUS(waitFor(whole)), 0);
    const auto runMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count();
    const std::string after = readFile(counts, MaxActivityFileBytes).value();
    ASSERT_EQ(after.size(), before.size());
    ASSERT_NE(after, before);

    int oldKept = 0;
    int newKept = 0;
    constexpr int Trials = 8;
    for (int trial = 0; trial < Trials; ++trial) {
        ASSERT_TRUE(writeFile(counts, before));
        const pid_t child = startReplace(builder.folder(), temp.path());
        ASSERT_GT(child, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(runMs * trial / Trials + trial));
        ::kill(child, SIGKILL);
        waitFor(child);
        const std::string now = readFile(counts, MaxActivityFileBytes).value_or("");
        ASSERT_TRUE(now == before || now == after) << "trial " << trial << ": " << now.size() << " bytes, a mix";
        (now == before ? oldKept : newKept) += 1;
    }
    // Which moments fell before and after the rename depends on the machine.
    std::cout << "run " << runMs << " ms; killed " << Trials << " times: " << oldKept << " old, " << newKept
              << " new\n";
}

}  // namespace
}  // namespace zorvex
