// The light schedule, the pulse train and the thermostat as pure rules.

#include <gtest/gtest.h>

#include "control/LightSchedule.h"
#include "control/Temperature.h"

using namespace zorvex;

namespace {

LightSchedule pulses(double onMinutes, double offMinutes, int count) {
    LightSchedule schedule;
    schedule.enabled = true;
    schedule.pulseCount = count;
    schedule.pulseOnMinutes = onMinutes;
    schedule.pulseOffMinutes = offMinutes;
    return schedule;
}

// The thermostat's flags after one reading, from a given starting state.
InstrumentState afterReading(double degrees, InstrumentState before = {}, bool enabled = true) {
    runThermostat(before, degrees, 25.0, enabled);
    return before;
}

}  // namespace

TEST(OutputState, IndicatorsFollowTheFlags) {
    OutputIndicators off = indicatorsOf({});
    EXPECT_EQ(off.lightCaption, "OFF");
    EXPECT_EQ(off.lightColour, ColourRed);
    EXPECT_EQ(off.modeCaption, "FRIO");
    EXPECT_EQ(off.elementCaption, "OFF");
    EXPECT_EQ(off.elementColour, ColourWhite);

    OutputIndicators heating = indicatorsOf({true, true, true});
    EXPECT_EQ(heating.lightCaption, "ON");
    EXPECT_EQ(heating.lightColour, ColourGreen);
    EXPECT_EQ(heating.modeCaption, "CALOR");
    EXPECT_EQ(heating.elementColour, ColourRed);
    EXPECT_EQ(indicatorsOf({false, false, true}).elementColour, ColourBlue);
}

TEST(LightAtStart, OvernightScheduleIsOnLateAndOffAtNoon) {
    EXPECT_TRUE(lightAtStart(21, 9, 23));
    EXPECT_TRUE(lightAtStart(21, 9, 3));
    EXPECT_FALSE(lightAtStart(21, 9, 12));
    EXPECT_FALSE(lightAtStart(21, 9, 9));
    EXPECT_TRUE(lightAtStart(21, 9, 21));
    EXPECT_TRUE(lightAtStart(9, 21, 9));
    EXPECT_FALSE(lightAtStart(9, 21, 21));
}

TEST(LightAtStart, EqualHoursKeepTheLightOff) {
    for (int hour = 0; hour < 24; ++hour) EXPECT_FALSE(lightAtStart(7, 7, hour)) << hour;
}

LightSchedule dailyHours(int onHour, int offHour) {
    LightSchedule schedule;
    schedule.enabled = true;
    schedule.onHour = onHour;
    schedule.offHour = offHour;
    return schedule;
}

// 6 December 2026 at `hour`:`minute`, `days` later.
DateTime at(int hour, int minute = 0, int days = 0) {
    return addMinutes({2026, 12, 6, 0, 0, 0}, (days * 24 + hour) * 60 + minute);
}

TEST(LightHours, OnAndOffHoursForceTheLightAndOtherHoursKeepIt) {
    const LightSchedule schedule = dailyHours(9, 21);
    InstrumentState state;
    applyLightSwitches(state, schedule, at(8, 55), at(9, 1));
    EXPECT_TRUE(state.light);
    applyLightSwitches(state, schedule, at(9, 1), at(15));
    EXPECT_TRUE(state.light);
    applyLightSwitches(state, schedule, at(20, 59), at(21, 0));
    EXPECT_FALSE(state.light);
    state.light = true;  // a manual change between the switching times stays
    applyLightSwitches(state, schedule, at(21, 0), at(22));
    EXPECT_TRUE(state.light);
}

TEST(LightHours, EqualHoursSwitchTheLightOff) {
    InstrumentState state{true, false, false};
    applyLightSwitches(state, dailyHours(7, 7), at(6, 59), at(7, 1));
    EXPECT_FALSE(state.light);
}

TEST(LightHours, EverySwitchCrossedSinceTheLastCheckCountsTheLatestWins) {
    struct Case {
        const char* what;
        DateTime from, to;
        bool lightBefore, lightAfter;
    };
    const Case cases[] = {
        {"an outage across the on hour", at(8, 10), at(10, 40), false, true},
        {"bins of 90 minutes across the on hour", at(7, 50), at(9, 20), false, true},
        {"bins of 90 minutes across the off hour", at(20, 30), at(22, 0), true, false},
        {"on and off both crossed: off is the latest", at(8, 0), at(21, 30), false, false},
        {"off then on crossed overnight: on is the latest", at(20, 0), at(9, 30, 1), false, true},
        {"a whole day away ends after the on hour", at(10, 0), at(10, 0, 1), false, true},
        {"no switch crossed keeps a manual change", at(10, 0), at(20, 59), false, false},
        {"no switch crossed keeps a manual change on", at(22, 0), at(8, 59, 1), true, true},
        {"the clock going back changes nothing", at(10, 0), at(8, 0), true, true},
    };
    for (const Case& c : cases) {
        InstrumentState state{c.lightBefore, false, false};
        applyLightSwitches(state, dailyHours(9, 21), c.from, c.to);
        EXPECT_EQ(state.light, c.lightAfter) << c.what;
    }
}

TEST(LightHours, OnAfterOffAcrossMidnightAndADisabledSchedule) {
    InstrumentState state;
    applyLightSwitches(state, dailyHours(22, 6), at(21, 30), at(23, 0));
    EXPECT_TRUE(state.light);
    applyLightSwitches(state, dailyHours(22, 6), at(23, 0), at(6, 30, 1));
    EXPECT_FALSE(state.light);
    LightSchedule off = dailyHours(9, 21);
    off.enabled = false;
    applyLightSwitches(state, off, at(8, 0), at(10, 0));
    EXPECT_FALSE(state.light);
}

TEST(PulseTrain, OneOnNineOffThreeTimes) {
    LightSchedule schedule = pulses(1.0, 9.0, 3);
    for (double minute : {0.5, 10.5, 20.5}) EXPECT_EQ(pulseLight(schedule, minute), true) << minute;
    for (double minute : {1.5, 11.0, 29.9}) EXPECT_EQ(pulseLight(schedule, minute), false) << minute;
    EXPECT_FALSE(pulseLight(schedule, 30.0).has_value());
}

TEST(PulseTrain, ZeroTimesMeanTheTrainIsOverAtOnce) {
    EXPECT_FALSE(pulseLight(pulses(0, 0, 1), 0.0).has_value());
    EXPECT_FALSE(pulseLight(pulses(0, 0, 1), -1.0).has_value());
}

TEST(Thermostat, SetTwentyFiveTable) {
    EXPECT_EQ(afterReading(24.45), (InstrumentState{false, true, false}));
    EXPECT_EQ(afterReading(24.3), (InstrumentState{false, true, true}));
    EXPECT_EQ(afterReading(24.2), (InstrumentState{false, true, true}));
    EXPECT_EQ(afterReading(25.55, {false, true, true}), (InstrumentState{false, false, false}));
    EXPECT_EQ(afterReading(25.7), (InstrumentState{false, false, true}));
}

TEST(Thermostat, InsideTheDeadBandTheElementStopsAndTheModeStays) {
    EXPECT_EQ(afterReading(25.2, {true, true, true}), (InstrumentState{true, true, false}));
    EXPECT_EQ(afterReading(25.4, {false, false, true}), (InstrumentState{false, false, false}));
}

TEST(Thermostat, ImplausibleReadingsOrDisabledControlSwitchEverythingOff) {
    for (double degrees : {38.0, 10.0, 9.5, 40.0}) {
        EXPECT_EQ(afterReading(degrees, {true, true, true}), (InstrumentState{true, false, false})) << degrees;
    }
    EXPECT_EQ(afterReading(20.0, {false, true, true}, false), (InstrumentState{}));
}

TEST(StartupDefaults, SetTemperatureOutsideRangeBecomesTwenty) {
    ProjectSetup setup;
    setup.Mn[TemperatureRow][1] = 10;
    defaultSetTemperature(setup);
    EXPECT_DOUBLE_EQ(boxSetTemperature(setup), 20.0);
    setup.Mn[TemperatureRow][1] = 500;
    defaultSetTemperature(setup);
    EXPECT_DOUBLE_EQ(boxSetTemperature(setup), 50.0);
    setup.Mn[TemperatureRow][1] = 501;
    defaultSetTemperature(setup);
    EXPECT_DOUBLE_EQ(boxSetTemperature(setup), 20.0);
}
