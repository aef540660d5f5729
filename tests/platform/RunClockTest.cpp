// The run's clock against a wall clock that changes for daylight saving or
// is corrected: the run's times go on from the start, and each move of the
// wall clock by more than a minute is told once.

#include <gtest/gtest.h>

#include "ManualHost.h"
#include "platform/RunClock.h"

namespace zorvex {
namespace {

TEST(RunClock, CountsFromTheStartWhateverTheWallClockDoes) {
    test::ManualHost host;
    host.elapsedMs = 5000;  // the steady clock does not start at 0
    RunClock clock(host);
    EXPECT_EQ(clock.start(), (DateTime{2026, 12, 6, 14, 58, 5}));
    host.advanceMinutes(90);
    host.wallShiftMinutes = 120;
    EXPECT_EQ(clock.elapsedMs(), 90 * 60000);
    EXPECT_EQ(clock.now(), (DateTime{2026, 12, 6, 16, 28, 5}));
}

TEST(RunClock, TellsEachMoveOfTheWallClockOnceAndDriftNever) {
    struct Step {
        double minutesOn;      // the run goes on this long
        double wallShift;      // then the wall clock stands this far from the run's
        std::optional<long long> told;
    };
    const Step steps[] = {
        {10, 0.4, std::nullopt},  // a time sync's small correction
        {10, 60.4, 60},           // spring forward
        {10, 60.4, std::nullopt}, // told already
        {10, 0.4, -60},           // autumn back
        {10, 120.4, 120},         // a clock set two hours on
        {10, 121.3, std::nullopt},
    };
    test::ManualHost host;
    RunClock clock(host);
    for (const Step& step : steps) {
        host.advanceMinutes(step.minutesOn);
        host.wallShiftMinutes = step.wallShift;
        EXPECT_EQ(clock.wallClockMoveMinutes(), step.told) << "at a shift of " << step.wallShift << " min";
    }
}

}  // namespace
}  // namespace zorvex
