// The notify command run for real: scripts that record what they were
// given, hang, or fail, and messages that try to run something.

#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <fstream>
#include <thread>

#include "TempFolder.h"
#include "common/Files.h"
#include "platform/EventLog.h"
#include "status/NotifyCommand.h"

using namespace zorvex;

namespace {

constexpr int WaitLimitMs = 20000;

class NotifyCommandTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(log.openProgramLog(folder.path())); }

    /// An executable script in the test folder.
    std::string script(const std::string& name, const std::string& body) {
        const auto path = folder.path() / name;
        std::ofstream(path) << "#!/bin/sh\n" << body;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path.string();
    }

    /// Runs the event loop until no command runs.
    void waitForAll(NotifyCommand& command) {
        QElapsedTimer waited;
        waited.start();
        while (command.running() > 0 && waited.elapsed() < WaitLimitMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        ASSERT_EQ(command.running(), 0);
    }

    std::string programLog() { return readFile(folder.path() / ProgramLogFileName).value_or(""); }

    test::TempFolder folder;
    SystemHost host;
    EventLog log{host};
    const NotifyContext context{"/data/p00001/06122026_1458", "1 Larvae"};
};

// The lines of a file written by a recording script.
std::vector<std::string> lines(const std::filesystem::path& file) {
    std::vector<std::string> read;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) read.push_back(line);
    return read;
}

// Whether `pid` ends within a few seconds: a killed process takes a moment
// to go. A child left to a container's init may stay a zombie: gone all the same.
bool processGone(pid_t pid) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 5000) {
        const auto stat = readFile("/proc/" + std::to_string(pid) + "/stat");
        if (!stat || stat->find(") Z ") != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

}  // namespace

TEST_F(NotifyCommandTest, EnvironmentOfALossAndAReturnIsRecorded) {
    const std::string recorder = script("record.sh",
                                        "printf '%s\\n' \"$ZORVEX_EVENT\" \"$ZORVEX_TIME\" \"$ZORVEX_MESSAGE\" "
                                        "\"$ZORVEX_ACQUISITION\" \"$ZORVEX_PROJECT\" > \"$1/$ZORVEX_EVENT.env\"\n");
    NotifyCommand command(recorder + " " + folder.path().string(), log, host);
    command.notify(RunEvent::InstrumentLost, "The instrument stopped answering on COM4", context);
    command.notify(RunEvent::InstrumentBack, "The instrument answers again on COM4", context);
    EXPECT_EQ(command.running(), 2);  // both started, neither waited for
    waitForAll(command);

    const auto lost = lines(folder.path() / "instrument-lost.env");
    ASSERT_EQ(lost.size(), 5u);
    EXPECT_EQ(lost[0], "instrument-lost");
    EXPECT_EQ(lost[1].size(), std::string("2026-12-06 14:58:00").size()) << lost[1];
    EXPECT_EQ(lost[2], "The instrument stopped answering on COM4");
    EXPECT_EQ(lost[3], "/data/p00001/06122026_1458");
    EXPECT_EQ(lost[4], "1 Larvae");
    const auto back = lines(folder.path() / "instrument-back.env");
    ASSERT_EQ(back.size(), 5u);
    EXPECT_EQ(back[0], "instrument-back");
    EXPECT_EQ(back[2], "The instrument answers again on COM4");
    EXPECT_EQ(programLog().find("Notify command"), std::string::npos) << programLog();
}

TEST_F(NotifyCommandTest, MessageWithQuotesAndSubstitutionsArrivesUnchangedAndRunsNothing) {
    const auto trap = folder.path() / "ran";
    const std::string message = "Run \"N2 day 1\" isn't 'done': $(touch " + trap.string() + ") `touch " +
                                trap.string() + "` ; touch " + trap.string() + " && echo $HOME";
    NotifyCommand command(script("copy.sh", "printf '%s' \"$ZORVEX_MESSAGE\" > \"$1/message\"\n") + " " +
                              folder.path().string(),
                          log, host);
    command.notify(RunEvent::WriteError, message, context);
    waitForAll(command);
    EXPECT_EQ(readFile(folder.path() / "message"), message);
    EXPECT_FALSE(std::filesystem::exists(trap));
}

TEST_F(NotifyCommandTest, HangingCommandAndItsChildrenAreEndedAtTheLimitAndLogged) {
    const std::string hang = script("hang.sh", "sleep 60 &\necho $! > \"$1/child\"\nwait\n");
    NotifyCommand command(hang + " " + folder.path().string(), log, host, 500);
    command.notify(RunEvent::Stop, "Stop: 3 bins closed, 3 recorded", context);
    EXPECT_EQ(command.running(), 1);
    waitForAll(command);
    EXPECT_NE(programLog().find("Notify command for stop was ended after 0.5 s"), std::string::npos) << programLog();
    const auto child = readFile(folder.path() / "child");
    ASSERT_TRUE(child);
    EXPECT_TRUE(processGone(static_cast<pid_t>(std::stol(*child))));
}

TEST_F(NotifyCommandTest, FailuresAreLoggedWithWhatTheCommandSaid) {
    NotifyCommand failing(script("fail.sh", "echo 'mail: no such host' >&2\nexit 3\n"), log, host);
    failing.notify(RunEvent::DiskLow, "Low disk", context);
    waitForAll(failing);
    EXPECT_NE(programLog().find("Notify command for disk-low failed with exit status 3: mail: no such host"),
              std::string::npos)
        << programLog();

    NotifyCommand missing((folder.path() / "no-such-program").string(), log, host);
    missing.notify(RunEvent::LapseEnd, "Acquisition finished", context);
    waitForAll(missing);
    EXPECT_NE(programLog().find("Notify command for lapse-end could not be started"), std::string::npos)
        << programLog();

    NotifyCommand unusable("mail -s $(hostname) lab@example.org", log, host);
    unusable.notify(RunEvent::Exit, "Program exit", context);
    EXPECT_EQ(unusable.running(), 0);
    EXPECT_NE(programLog().find("Notify command not run for exit: a command substitution"), std::string::npos)
        << programLog();
}

TEST_F(NotifyCommandTest, EventsBeyondTheRunningCapAreLoggedNotRun) {
    NotifyCommand command(script("wait.sh", "sleep 60\n"), log, host, 2000);
    for (int i = 0; i <= NotifyMaxRunning; ++i) command.notify(RunEvent::InstrumentLost, "lost", context);
    EXPECT_EQ(command.running(), NotifyMaxRunning);
    EXPECT_NE(programLog().find("Notify command not run for instrument-lost: 8 still running"), std::string::npos)
        << programLog();
}

TEST_F(NotifyCommandTest, ExitWaitsForTheLastEventsCommand) {
    NotifyCommand command(script("slow.sh", "sleep 0.3\ntouch \"$1/sent\"\n") + " " + folder.path().string(), log,
                          host);
    command.notify(RunEvent::Exit, "Program exit (SIGTERM)", context);
    command.finishRunning();
    EXPECT_EQ(command.running(), 0);
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "sent"));
}

TEST(NotifyCommandLine, SplitAsAShellWouldWithoutRunningAnything) {
    struct Case {
        std::string line;
        std::vector<std::string> words;
    };
    for (const Case& c : std::vector<Case>{
             {"notify-send Zorvex", {"notify-send", "Zorvex"}},
             {"sh -c 'printf \"%s\" \"$ZORVEX_MESSAGE\" | mail -s \"Zorvex\" lab@example.org'",
              {"sh", "-c", "printf \"%s\" \"$ZORVEX_MESSAGE\" | mail -s \"Zorvex\" lab@example.org"}},
             {"\"/opt/my tools/notify\" a\\ b", {"/opt/my tools/notify", "a b"}},
         }) {
        std::string error;
        EXPECT_EQ(splitCommandLine(c.line, error), c.words) << c.line << ": " << error;
    }
    // The guide's two uses.
    for (const char* guide :
         {R"x(sh -c 'printf "%s\n\n%s\n" "$ZORVEX_MESSAGE" "$ZORVEX_ACQUISITION" | mail -s "Zorvex: $ZORVEX_EVENT" lab@example.org')x",
          R"x(sh -c 'curl -sS --max-time 20 -H "Content-Type: application/json" --data "$(jq -n --arg t "Zorvex $ZORVEX_EVENT: $ZORVEX_MESSAGE" "{text: \$t}")" https://chat.example.org/hooks/XXXX')x"}) {
        std::string error;
        const auto words = splitCommandLine(guide, error);
        ASSERT_TRUE(words) << guide << ": " << error;
        EXPECT_EQ(words->size(), 3u) << guide;
    }
    for (const char* refused : {"", "   ", "echo $(id)", "echo `id`", "echo a | mail", "echo $ZORVEX_UNSET_X",
                                      "echo 'open"}) {
        std::string error;
        EXPECT_FALSE(splitCommandLine(refused, error)) << refused;
        EXPECT_FALSE(error.empty()) << refused;
    }
}
