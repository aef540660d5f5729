#include <gtest/gtest.h>

#include "platform/FastClockHost.h"

using namespace zorvex;

TEST(FastClockHost, PauseOfFastTimeTakesItsShareOfRealTime) {
    FastClockHost fast(50);
    SystemHost real;
    const auto realBefore = real.steadyMs();
    const auto fastBefore = fast.steadyMs();
    fast.pause(2000);
    const auto realTaken = real.steadyMs() - realBefore;
    EXPECT_GE(fast.steadyMs() - fastBefore, 2000);
    // 40 ms of real time; a loaded machine may stretch it, never to the 2 s asked.
    EXPECT_GE(realTaken, 40);
    EXPECT_LT(realTaken, 1000);
}

TEST(FastClockHost, LocalTimeMovesWithTheFastClock) {
    FastClockHost fast(100);
    const DateTime start = fast.now();
    fast.pause(60 * 1000);  // a fast minute, 0.6 s of real time
    const long long minutes = minutesBetween(start, fast.now());
    EXPECT_GE(minutes, 1);
    EXPECT_LE(minutes, 2);
}

TEST(FastClockHost, RateBelowOneIsTakenAsOne) {
    FastClockHost slow(0.001);
    SystemHost real;
    const auto realBefore = real.steadyMs();
    const auto slowBefore = slow.steadyMs();
    slow.pause(20);
    // A thousandth of real time would make this pause last 20 s.
    EXPECT_LT(real.steadyMs() - realBefore, 1000);
    EXPECT_GE(slow.steadyMs() - slowBefore, 20);
}
