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

TEST(LightHours, OnAndOffHoursForceTheLightAndOtherHoursKeepIt) {
    LightSchedule schedule;
    schedule.enabled = true;
    schedule.onHour = 9;
    schedule.offHour = 21;
    InstrumentState state;
    applyLightHours(state, schedule, 9);
    EXPECT_TRUE(state.light);
    applyLightHours(state, schedule, 15);
    EXPECT_TRUE(state.light);
    applyLightHours(state, schedule, 21);
    EXPECT_FALSE(state.light);
    state.light = true;  // a manual change between the hours stays
    applyLightHours(state, schedule, 22);
    EXPECT_TRUE(state.light);
}

TEST(LightHours, EqualHoursKeepTheLightOffDuringThatHour) {
    LightSchedule schedule;
    schedule.enabled = true;
    schedule.onHour = schedule.offHour = 7;
    InstrumentState state{true, false, false};
    applyLightHours(state, schedule, 7);
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
