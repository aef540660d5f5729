#include <gtest/gtest.h>

#include "common/DateTime.h"

using namespace zorvex;

TEST(DateTime, StampIsDayMonthYearHourMinute) {
    EXPECT_EQ(timeStamp({2026, 12, 6, 14, 58, 31}), "06122026_1458");
    EXPECT_EQ(timeStamp({2023, 2, 1, 0, 5, 0}), "01022023_0005");
}

TEST(DateTime, ParsesOnlyRealStamps) {
    auto when = parseTimeStamp("01022023_1015");
    ASSERT_TRUE(when);
    EXPECT_EQ(*when, (DateTime{2023, 2, 1, 10, 15, 0}));
    EXPECT_FALSE(parseTimeStamp("31042023_1015"));
    EXPECT_FALSE(parseTimeStamp("01022023-1015"));
    EXPECT_FALSE(parseTimeStamp("0102023_1015"));
    EXPECT_FALSE(parseTimeStamp("01022023_2415"));
    EXPECT_FALSE(parseTimeStamp("0a022023_1015"));
}

TEST(DateTime, SerialDaysCountFromTheEpoch) {
    EXPECT_EQ(toSerialDays({1899, 12, 30, 0, 0, 0}), 0.0);
    EXPECT_EQ(toSerialDays({1900, 1, 1, 12, 0, 0}), 2.5);
    DateTime when{2024, 2, 29, 23, 59, 59};
    EXPECT_EQ(fromSerialDays(toSerialDays(when)), when);
}

TEST(DateTime, MinuteArithmeticCrossesDaysAndYears) {
    DateTime late{2025, 12, 31, 23, 50, 0};
    EXPECT_EQ(addMinutes(late, 15), (DateTime{2026, 1, 1, 0, 5, 0}));
    EXPECT_EQ(minutesBetween(late, {2026, 1, 1, 0, 5, 0}), 15);
    EXPECT_EQ(minutesBetween(late, {2025, 12, 31, 23, 50, 59}), 0);
    EXPECT_EQ(minutesBetween({2025, 12, 31, 23, 50, 30}, late), -1);
}
