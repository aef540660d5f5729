// The switches start-up derives from a loaded project.

#include <gtest/gtest.h>

#include "acquisition/AcquisitionOptions.h"
#include "control/LightSchedule.h"
#include "control/Temperature.h"

using namespace zorvex;

TEST(StartupOptions, AutoSwitchesAndSnrFactorComeFromTheSensorRow) {
    ProjectSetup setup;
    setup.Mn[SensorRow] = {0, 1, 0, 25, 0, 0};
    AcquisitionOptions options = startupOptions(setup);
    EXPECT_TRUE(options.autoCalibration);
    EXPECT_FALSE(options.autoZero);
    EXPECT_DOUBLE_EQ(options.snrFactor, 2.5);
}

TEST(StartupOptions, SnrFactorNotAboveOnePointFourBecomesOnePointEight) {
    ProjectSetup setup;
    for (std::int16_t tenths : {0, 14, 5, -20}) {
        setup.Mn[SensorRow][3] = tenths;
        EXPECT_DOUBLE_EQ(startupOptions(setup).snrFactor, 1.8) << tenths;
    }
    setup.Mn[SensorRow][3] = 15;
    EXPECT_DOUBLE_EQ(startupOptions(setup).snrFactor, 1.5);
}

TEST(StartupOptions, ProjectLightHoursAndSetTemperatureAreRepaired) {
    ProjectSetup setup;
    setup.Mn[TemperatureRow][1] = 10;
    startupOptions(setup);
    EXPECT_EQ(lightSchedule(setup).onHour, 9);
    EXPECT_EQ(lightSchedule(setup).offHour, 21);
    EXPECT_DOUBLE_EQ(boxSetTemperature(setup), 20.0);
}
