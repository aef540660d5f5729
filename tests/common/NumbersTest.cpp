#include <gtest/gtest.h>

#include <cmath>

#include "common/Numbers.h"

using namespace zorvex;

TEST(Numbers, RoundsHalvesToEven) {
    EXPECT_EQ(roundHalfEven(2.5), 2.0);
    EXPECT_EQ(roundHalfEven(3.5), 4.0);
    EXPECT_EQ(roundHalfEven(-2.5), -2.0);
    EXPECT_EQ(roundHalfEven(-3.5), -4.0);
    EXPECT_EQ(roundHalfEven(451.5), 452.0);
    EXPECT_EQ(roundHalfEven(2.4999999), 2.0);
    EXPECT_EQ(roundHalfEven(-0.6), -1.0);
}

TEST(Numbers, WholePartIsFloor) {
    EXPECT_EQ(wholePart(2.9), 2.0);
    EXPECT_EQ(wholePart(-2.1), -3.0);
}

TEST(Numbers, Int16ConversionRoundsAndChecksRange) {
    EXPECT_EQ(toInt16(252.5), 252);
    EXPECT_EQ(toInt16(257.5), 258);
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_EQ(toInt16(-32768.5), -32768);
    EXPECT_THROW(toInt16(32767.5), OverflowError);
    EXPECT_THROW(toInt16(-32769), OverflowError);
    EXPECT_THROW(toInt16(std::nan("")), OverflowError);
    EXPECT_EQ(checkedInt16(-32768), -32768);
    EXPECT_THROW(checkedInt16(32768), OverflowError);
}

TEST(Numbers, Int32ConversionChecksRange) {
    EXPECT_EQ(toInt32(2147483647.0), 2147483647);
    EXPECT_THROW(toInt32(2147483648.0), OverflowError);
}
