// The light and temperature boxes' checks on leaving them.

#include <gtest/gtest.h>

#include "ScriptedDialogs.h"
#include "control/Validations.h"

using namespace zorvex;

TEST(LightHourBox, HourInRangeIsRoundedAndShownWithTwoDigits) {
    test::ScriptedDialogs dialogs;
    CheckedBox box = checkLightHour(" 7.4 ", 9, dialogs);
    EXPECT_TRUE(box.valid);
    EXPECT_EQ(box.stored, 7);
    EXPECT_EQ(box.text, "07");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(LightHourBox, OutOfRangeEmptyOrTextGivesMessageAndFallback) {
    for (const char* typed : {"24", "-1", "", "abc", "12abc"}) {
        test::ScriptedDialogs dialogs;
        CheckedBox box = checkLightHour(typed, 21, dialogs);
        EXPECT_FALSE(box.valid) << typed;
        EXPECT_EQ(box.stored, 21);
        EXPECT_EQ(box.text, "21");
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0], "Invalid value: 0 to 23");
    }
}

TEST(PulseCountBox, CountUpToNinetyNine) {
    test::ScriptedDialogs dialogs;
    EXPECT_EQ(checkPulseCount("3", dialogs).stored, 3);
    EXPECT_EQ(checkPulseCount("99", dialogs).text, "99");
    CheckedBox tooMany = checkPulseCount("100", dialogs);
    EXPECT_FALSE(tooMany.valid);
    EXPECT_EQ(tooMany.stored, 0);
    EXPECT_EQ(tooMany.text, "0");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0], "Invalid value: 0-99");
}

TEST(PulseMinutesBox, MinutesAreStoredInTenthsWithHalvesToEven) {
    test::ScriptedDialogs dialogs;
    CheckedBox box = checkPulseMinutes("1.25", dialogs);
    EXPECT_EQ(box.stored, 12);
    EXPECT_EQ(box.text, "1.2");
    EXPECT_EQ(checkPulseMinutes("1440", dialogs).stored, 14400);
    CheckedBox tooLong = checkPulseMinutes("1440.1", dialogs);
    EXPECT_EQ(tooLong.stored, 0);
    EXPECT_EQ(tooLong.text, "0");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0], "Invalid value: 0.0 to 1440.0");
}

TEST(SetTemperatureBox, TiesGoToEvenTenths) {
    test::ScriptedDialogs dialogs;
    CheckedBox box = checkSetTemperature("22.25", dialogs);
    EXPECT_TRUE(box.valid);
    EXPECT_EQ(box.stored, 222);
    EXPECT_EQ(box.text, "22.2");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(SetTemperatureBox, BelowFiveGivesMessageAndTwenty) {
    test::ScriptedDialogs dialogs;
    CheckedBox box = checkSetTemperature("4.9", dialogs);
    EXPECT_FALSE(box.valid);
    EXPECT_EQ(box.stored, 200);
    EXPECT_EQ(box.text, "20");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0], "Invalid value: 5.0 to 50.0");
}

TEST(LightHourBox, NumbersAreReadInEveryTypedForm) {
    test::ScriptedDialogs dialogs;
    EXPECT_EQ(checkLightHour("1e1", 9, dialogs).stored, 10);
    EXPECT_EQ(checkLightHour("&H0B", 9, dialogs).stored, 11);
    EXPECT_EQ(checkLightHour("+5", 9, dialogs).stored, 5);
    EXPECT_EQ(checkLightHour(".5", 9, dialogs).stored, 0);  // half to even
    EXPECT_TRUE(dialogs.shown.empty());
    for (const char* typed : {"1.2.3", "1e", "-", ".", "5 h", "&H", "&O9"}) {
        EXPECT_FALSE(checkLightHour(typed, 9, dialogs).valid) << typed;
    }
}
