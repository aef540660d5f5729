// The end of the lapse, pause with and without the time counter, resume and
// stop, on the manual clock.

#include <cstdio>
#include <sstream>

#include "AcquisitionBuilder.h"
#include "AcquisitionFixture.h"
#include "PlainCsv.h"
#include "common/Files.h"
#include "reports/ActivityTable.h"

using namespace zorvex;
using test::AcquisitionOnPty;

TEST_F(AcquisitionOnPty, LapseEndsAtTheFirstTimeStepAtOrAfterItsMinute) {
    workspace.setup.Aq_lapse = 60;
    ASSERT_TRUE(startNamed("Hour"));
    host.advanceMinutes(59.5);
    std::int64_t lastStepBelow = 0;
    int steps = owner.timeSteps;
    while (owner.timerOn) {
        tick(1, 1000);
        if (owner.timerOn && owner.timeSteps != steps) lastStepBelow = host.elapsedMs;
        steps = owner.timeSteps;
    }
    EXPECT_LT(lastStepBelow, 60 * 60000);
    EXPECT_GE(host.elapsedMs, 60 * 60000);
    EXPECT_LE(host.elapsedMs - lastStepBelow, 25 * 1000 + 2 * Acquisition::WarmUpPauseMs);
    EXPECT_EQ(acquisition->state(), AcquisitionState::Stopped);
    EXPECT_EQ(owner.told.back(), "Acquisition finished");
    ASSERT_EQ(owner.reports.size(), 1u);
    EXPECT_EQ(owner.reports[0], acquisition->folder());
    EXPECT_EQ(owner.elapsedText.substr(0, 6), "01:00:");
    EXPECT_EQ(owner.elapsedText.substr(8), " [0d]");
    EXPECT_FALSE(owner.controlsLocked);
    EXPECT_EQ(outputState() & 5, 0);
}

namespace {

// "2026-12-06 14:58:00" read by hand, not by the program's own parser.
DateTime readStamp(const std::string& text) {
    DateTime when;
    EXPECT_EQ(std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d", &when.year, &when.month, &when.day, &when.hour,
                          &when.minute, &when.second),
              6)
        << text;
    return when;
}

}  // namespace

TEST_F(AcquisitionOnPty, ClockChangesNeitherStretchTheLapseNorRepeatOrSkipAnHour) {
    // Bins of 10 minutes (200 ticks of 3 s) through a lapse of an hour; the
    // wall clock changes 25 minutes in.
    constexpr int TickMs = 3000;
    constexpr int IntervalMinutes = 10;
    workspace.setup.Aq_lapse = 60;
    test::writePlateFile(program.path(), "z96f", 1, 1, {{0, 0}});  // the export reads one well
    for (const double shift : {60.0, -60.0, 120.0}) {
        SCOPED_TRACE("wall clock moved by " + std::to_string(shift) + " min");
        host.wallShiftMinutes = 0;
        ASSERT_TRUE(startNamed("Clock"));
        const std::int64_t startMs = host.elapsedMs;
        while (owner.timerOn && host.elapsedMs - startMs < 25 * 60000) tick(1, TickMs);
        host.wallShiftMinutes = shift;
        while (owner.timerOn) tick(1, TickMs);

        // The lapse is the monotonic hour: it ends at the first time step at or after it.
        const std::int64_t ranMs = host.elapsedMs - startMs;
        EXPECT_GE(ranMs, 60 * 60000);
        EXPECT_LE(ranMs, 60 * 60000 + Acquisition::TimeStepSamples * TickMs + 2 * Acquisition::WarmUpPauseMs);

        const auto folder = acquisition->folder();
        const auto records = readActivityRecords(folder);
        ASSERT_GE(records.size(), 5u);
        for (std::size_t k = 1; k < records.size(); ++k) EXPECT_GT(records[k].elapsedMinutes, records[k - 1].elapsedMinutes);

        // Every line of events.log is stamped later than or with the one before, and the move is told.
        const std::string events = readFile(folder / "events.log").value_or("");
        std::istringstream lines(events);
        std::string line;
        std::string previous;
        while (std::getline(lines, line)) {
            EXPECT_GE(line.substr(0, 19), previous) << line;
            previous = line.substr(0, 19);
        }
        const std::string told = std::string("The computer's clock moved ") + std::to_string(std::llabs(std::llround(shift))) +
                                 " min " + (shift > 0 ? "forward" : "back");
        EXPECT_NE(events.find(told), std::string::npos) << events;

        // The export's times step by exactly one interval: no hour doubled, none missing.
        ActivityTableRequest request;
        request.acquisitionFolder = folder;
        request.programFolder = program.path();
        request.intervalMinutes = IntervalMinutes;
        const auto table = exportActivityTable(request, dialogs);
        ASSERT_TRUE(table.has_value()) << (dialogs.shown.empty() ? "" : dialogs.shown.back());
        const test::PlainTable csv = test::plainTable(readFile(*table).value_or(""));
        std::vector<DateTime> times;
        for (const auto& row : csv.rows) {
            if (row.at("well") == csv.rows.front().at("well")) times.push_back(readStamp(row.at("datetime")));
        }
        ASSERT_GE(times.size(), 5u);
        for (std::size_t k = 1; k < times.size(); ++k) EXPECT_EQ(minutesBetween(times[k - 1], times[k]), IntervalMinutes);
    }
}

TEST_F(AcquisitionOnPty, MonitorRunEndsWithoutAReport) {
    workspace.setup.Aq_lapse = 1;
    ASSERT_TRUE(startNamed(""));
    host.advanceMinutes(1);
    tick(30);
    EXPECT_EQ(acquisition->state(), AcquisitionState::Stopped);
    EXPECT_TRUE(owner.reports.empty());
    EXPECT_EQ(owner.told.back(), "Acquisition finished");
}

TEST_F(AcquisitionOnPty, ElapsedTextShowsDaysBesideTheTimeOfDay) {
    workspace.setup.Aq_lapse = 3000;
    ASSERT_TRUE(startNamed("Long"));
    host.advanceMinutes(1440 + 61.5);
    tick(25);
    EXPECT_EQ(owner.elapsedText.substr(0, 6), "01:01:");
    EXPECT_EQ(owner.elapsedText.substr(8), " [1d]");
    EXPECT_NEAR(owner.progress, 100.0 * 1501 / 3000, 0.01);
}

TEST_F(AcquisitionOnPty, PauseWithFrozenCounterLeavesTenMinutesOut) {
    workspace.setup.Aq_lapse = 60;
    ASSERT_TRUE(startNamed("Frozen"));
    host.advanceMinutes(5);
    tick(25);
    EXPECT_EQ(acquisition->elapsedMinutes(), 5);
    dialogs.answers = {Answer::Yes};
    acquisition->pauseOrResume();
    EXPECT_EQ(dialogs.shown.back(), "Pause Time Counter?");
    EXPECT_EQ(acquisition->state(), AcquisitionState::Paused);
    EXPECT_FALSE(owner.timerOn);
    EXPECT_EQ(owner.panel, "<< PAUSED >>|Time Counter = OFF");
    EXPECT_TRUE(acquisition->timeCounterStopped());

    host.advanceMinutes(10);
    acquisition->pauseOrResume();
    EXPECT_EQ(acquisition->state(), AcquisitionState::Running);
    EXPECT_TRUE(owner.timerOn);
    EXPECT_TRUE(owner.panel.empty());
    tickBins(1);
    EXPECT_EQ(acquisition->elapsedMinutes(), 5);
    auto records = readActivityRecords(acquisition->folder());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].elapsedMinutes, 5);
}

TEST_F(AcquisitionOnPty, PauseWithRunningCounterCountsTheTimeAndCanFinish) {
    workspace.setup.Aq_lapse = 10;
    workspace.setup.Mn[2] = {1, 9, 21, 1, 100, 100};  // one pulse of 10 minutes from the start
    ASSERT_TRUE(startNamed("Running"));
    tick(30);
    dialogs.answers = {Answer::No};
    acquisition->pauseOrResume();
    EXPECT_EQ(owner.panel, "<< PAUSED >>|Time Counter = ON");
    EXPECT_TRUE(owner.timerOn);
    const std::int64_t samples = acquisition->totalSamples();

    host.advanceMinutes(4);
    tick(1);
    EXPECT_EQ(acquisition->elapsedMinutes(), 4);
    EXPECT_TRUE(session->outputs.light);      // pulses go on while paused
    EXPECT_EQ(acquisition->totalSamples(), samples);  // but no sampling

    host.advanceMinutes(6);
    tick(1);
    EXPECT_EQ(acquisition->state(), AcquisitionState::Stopped);
    EXPECT_EQ(owner.told.back(), "Acquisition finished");
    EXPECT_EQ(owner.reports.size(), 1u);
}

TEST_F(AcquisitionOnPty, StopWhilePausedReleasesTheControlsAndSwitchesTheLightOff) {
    workspace.setup.Mn[2] = {1, 14, 15, 0, 0, 0};  // on at 14:58
    ASSERT_TRUE(startNamed("Stopped"));
    ASSERT_TRUE(session->outputs.light);
    tick(10);
    dialogs.answers = {Answer::Yes};
    acquisition->pauseOrResume();
    acquisition->stop();
    EXPECT_EQ(acquisition->state(), AcquisitionState::Stopped);
    EXPECT_FALSE(owner.controlsLocked);
    EXPECT_FALSE(owner.timerOn);
    EXPECT_TRUE(owner.panel.empty());
    EXPECT_FALSE(session->outputs.light);
    EXPECT_EQ(outputState() & 4, 0);
    EXPECT_EQ(acquisition->ticksSinceStart(), 0);
    acquisition->pauseOrResume();  // the pause button does nothing when stopped
    EXPECT_EQ(acquisition->state(), AcquisitionState::Stopped);
}

TEST_F(AcquisitionOnPty, StopKeepsTheHeatingModeAndDropsTheUnfinishedBin) {
    ASSERT_TRUE(startNamed("Partial"));
    tickBins(1, 10);
    tick(50, 10);
    session->outputs.heat = true;
    session->outputs.active = true;
    acquisition->stop();
    EXPECT_TRUE(session->outputs.heat);
    EXPECT_FALSE(session->outputs.active);
    EXPECT_EQ(readActivityRecords(acquisition->folder()).size(), 1u);
}

TEST_F(AcquisitionOnPty, CountingWaitsOneAndAHalfIntervalsAfterAResume) {
    workspace.setup.DSP_Interval = 20;
    ASSERT_TRUE(startNamed("Resume"));
    tick(120, 10);
    auto total = [&] {
        long long sum = 0;
        for (std::int16_t value : acquisition->detection().runningTotals()) sum += value;
        return sum;
    };
    dialogs.answers = {Answer::Yes};
    acquisition->pauseOrResume();
    acquisition->pauseOrResume();
    const long long atResume = total();
    tick(30, 10);  // 1.5 x 20 ticks
    EXPECT_EQ(acquisition->ticksSinceStart(), 30);
    EXPECT_EQ(total(), atResume);
    tick(150, 10);
    EXPECT_GT(total(), atResume);
}
