#include <gtest/gtest.h>

#include "ManualHost.h"
#include "TempFolder.h"
#include "common/Files.h"
#include "platform/EventLog.h"

namespace zorvex {
namespace {

TEST(EventLog, RunEventsGoToEventsLogAndTheRestToZorvexLogStampedByTheHostClock) {
    test::TempFolder program;
    std::filesystem::create_directories(program / "p00001" / "06122026_1458");
    test::ManualHost host;
    EventLog log(host);
    log.event("before any file: nowhere");
    ASSERT_TRUE(log.openProgramLog(program.path()));
    log.program("Start-up");
    ASSERT_TRUE(log.openRunLog(program / "p00001" / "06122026_1458", RunClock(host)));
    host.advanceMinutes(61.5);
    log.event("Instrument lost on COM4\r\nsecond line");
    log.closeRunLog();
    log.event("Fast ZERO outside a run");

    // Each line is on disk at once: read while the log is still open.
    EXPECT_EQ(readFile(program / "p00001" / "06122026_1458" / RunLogFileName),
              "2026-12-06 15:59:30  Instrument lost on COM4  second line\r\n");
    EXPECT_EQ(readFile(program / ProgramLogFileName),
              "2026-12-06 14:58:00  Start-up\r\n2026-12-06 15:59:30  Fast ZERO outside a run\r\n");
}

TEST(EventLog, EventsLogKeepsTheRunsTimeWhenTheWallClockMoves) {
    test::TempFolder program;
    test::ManualHost host;
    EventLog log(host);
    ASSERT_TRUE(log.openProgramLog(program.path()));
    ASSERT_TRUE(log.openRunLog(program.path(), RunClock(host)));
    host.advanceMinutes(10);
    host.wallShiftMinutes = -60;  // the autumn change
    log.event("after the change");
    log.program("the computer's own time");
    EXPECT_EQ(readFile(program / RunLogFileName), "2026-12-06 15:08:00  after the change\r\n");
    EXPECT_EQ(readFile(program / ProgramLogFileName), "2026-12-06 14:08:00  the computer's own time\r\n");
}

TEST(EventLog, ZorvexLogRotatesAtItsSizeAndKeepsThreeOlderFiles) {
    test::TempFolder program;
    test::ManualHost host;
    EventLog log(host);
    ASSERT_TRUE(log.openProgramLog(program.path()));
    const std::string line(1000, 'x');
    for (std::size_t i = 0; i < 5 * ProgramLogBytes / line.size(); ++i) log.program(line);
    for (const char* name : {"zorvex.log", "zorvex.1.log", "zorvex.2.log", "zorvex.3.log"}) {
        EXPECT_TRUE(fileExists(program / name)) << name;
        EXPECT_LE(std::filesystem::file_size(program / name), ProgramLogBytes) << name;
    }
    EXPECT_FALSE(fileExists(program / "zorvex.4.log"));
}

TEST(EventLog, AFolderThatCannotTakeTheFileLeavesTheLogOffWithoutThrowing) {
    test::TempFolder program;
    test::ManualHost host;
    EventLog log(host);
    writeFile(program / "blocked", "a file where the acquisition folder should be");
    EXPECT_FALSE(log.openRunLog(program / "blocked", RunClock(host)));
    EXPECT_TRUE(log.runLogPath().empty());
    log.event("goes nowhere");
}

}  // namespace
}  // namespace zorvex
