// The factory temperature calibration: register values, the reference range,
// and registers written to the simulated instrument and read back as at a restart.

#include <gtest/gtest.h>

#include "SessionOnPty.h"
#include "control/FactoryTemperatureCalibration.h"
#include "control/Temperature.h"
#include "device/FactoryCalibration.h"

using namespace zorvex;

namespace {

// Offset computed as "SET" does for a reading of 100 at slope 0.219, offset 0.
double offsetFor(double reference) { return 0.0 - (100 * 0.219 + 0.0) + reference; }

}  // namespace

TEST(FactoryRegisters, PositiveOffsetOf11Tenths) {
    const auto values = factoryRegisterValues(offsetFor(23.0), 0.219, 12, 26);
    EXPECT_EQ(values[3], 0);
    EXPECT_EQ(values[4], 11);
}

TEST(FactoryRegisters, NegativeOffsetCarriesItsSign) {
    const auto values = factoryRegisterValues(offsetFor(20.0), 0.219, 12, 26);
    EXPECT_EQ(values[3], 1);
    EXPECT_EQ(values[4], 19);
}

TEST(FactoryRegisters, SlopeInThousandthsOverTwoBytes) {
    const auto values = factoryRegisterValues(0, 0.219, 3, 7);
    EXPECT_EQ(values, (std::array<int, 7>{0, 3, 7, 0, 0, 219, 0}));
    const auto steep = factoryRegisterValues(0, 0.45, 3, 7);
    EXPECT_EQ(steep[5] + steep[6] * 256, 450);
    EXPECT_EQ(steep[6], 1);
}

TEST(FactoryWindow, RefusedOfflineOrWhileAnAcquisitionRuns) {
    test::ScriptedDialogs dialogs;
    EXPECT_TRUE(factoryWindowAllowed(true, false, dialogs));
    EXPECT_FALSE(factoryWindowAllowed(false, false, dialogs));
    EXPECT_FALSE(factoryWindowAllowed(true, true, dialogs));
    EXPECT_EQ(dialogs.shown, std::vector<std::string>(2, "Only possible to access in: ONLINE mode and STOP experiment"));
}

TEST(FactoryWindow, StatusShowsTheLastCalibrationOrResetsAnInvalidOne) {
    FactoryCalibration valid{0.5, 0.2, true, 3, 7};
    EXPECT_EQ(openFactoryWindow(valid), "OK Last Factory Calibration 03/07 [mm/yy]");
    EXPECT_DOUBLE_EQ(valid.FactoryTempOffset, 0.5);
    FactoryCalibration invalid{0.5, 0.3, false, 0, 0};
    EXPECT_EQ(openFactoryWindow(invalid), "NON Calibrated");
    EXPECT_DOUBLE_EQ(invalid.FactoryTempOffset, 0.0);
    EXPECT_DOUBLE_EQ(invalid.FactoryTempSlope, 0.219);
}

using FactoryOnPty = test::SessionOnSimulator;

TEST_F(FactoryOnPty, ReferenceOutside4To50WritesNothing) {
    for (const char* typed : {"3.9", "50.1", "abc", ""}) {
        dialogs.shown.clear();
        const FactoryCalibrationResult result = calibrateFactoryTemperature(*session, host, dialogs, typed);
        EXPECT_FALSE(result.written);
        EXPECT_EQ(result.status, "");
        ASSERT_EQ(dialogs.shown.size(), 1u) << typed;
        EXPECT_EQ(dialogs.shown[0], "invalid Calibration Parameter: value must be between 4\u00B0C and 50\u00B0C");
    }
    EXPECT_EQ(writes(), 0);
}

TEST_F(FactoryOnPty, SetWritesTheSevenRegistersThatARestartReadsBack) {
    session->factory = FactoryCalibration{0.0, 0.219, false, 0, 0};
    const FactoryCalibrationResult result = calibrateFactoryTemperature(*session, host, dialogs, "25.0");
    ASSERT_TRUE(result.written);
    EXPECT_EQ(result.status, "OK Last Factory Calibration 12/26 [mm/yy]");
    EXPECT_DOUBLE_EQ(session->factory.FactoryTempOffset, result.newOffset);
    EXPECT_NEAR(readTemperature(*session), 25.0, 0.5);

    const FactoryCalibration restarted = readFactoryCalibration(session->comm, session->port, host);
    EXPECT_TRUE(restarted.FactoryCalValid);
    EXPECT_EQ(restarted.calibrationMonth, 12);
    EXPECT_EQ(restarted.calibrationYear, 26);
    EXPECT_NEAR(restarted.FactoryTempOffset, result.newOffset, 0.05);
    EXPECT_DOUBLE_EQ(restarted.FactoryTempSlope, 0.219);
}

TEST_F(FactoryOnPty, FailedReadOrAnOffsetBeyondTenDegreesIsRefusedAndWritesNothing) {
    session->factory = FactoryCalibration{0.3, 0.219, true, 1, 20};
    struct Case {
        const char* typed;
        bool readFails;
        const char* message;
    };
    for (const Case& c : {Case{"25.0", true, "The plate temperature could not be read"},
                          Case{"45.0", false, "The new offset would be "},
                          Case{"4.0", false, "The new offset would be -"}}) {
        dialogs.shown.clear();
        sim->instrument.setReplyFilter([&c](const sim::Frame& frame) { return c.readFails && frame[2] == 0x21; });
        const FactoryCalibrationResult result = calibrateFactoryTemperature(*session, host, dialogs, c.typed);
        EXPECT_FALSE(result.written) << c.typed;
        EXPECT_EQ(result.status, "") << c.typed;
        ASSERT_EQ(dialogs.shown.size(), 1u) << c.typed;
        EXPECT_EQ(dialogs.shown[0].rfind(c.message, 0), 0u) << dialogs.shown[0];
        EXPECT_NE(dialogs.shown[0].find("Nothing was written."), std::string::npos);
    }
    EXPECT_EQ(writes(), 0);
    EXPECT_DOUBLE_EQ(session->factory.FactoryTempOffset, 0.3);
}

TEST_F(FactoryOnPty, FailedWriteKeepsTheCalibrationInMemory) {
    session->factory = FactoryCalibration{0.3, 0.219, true, 1, 20};
    // Register writes are echoed wrongly; the temperature is still read.
    sim::Faults faults;
    faults.wrongEcho = 1;
    sim->instrument.setFaults(faults);
    const FactoryCalibrationResult result = calibrateFactoryTemperature(*session, host, dialogs, "25.0");
    EXPECT_FALSE(result.written);
    EXPECT_EQ(result.status, "NON Calibrated");
    EXPECT_DOUBLE_EQ(session->factory.FactoryTempOffset, 0.3);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0], "Ops...Data Writing ERROR: reg(128)... Check COM and Try again");
    EXPECT_NE(dialogs.shown[1].find("could be neither given its previous calibration back nor marked invalid"),
              std::string::npos)
        << dialogs.shown[1];
}

TEST_F(FactoryOnPty, SetFailingPartWayPutsThePreviousSetBackOrMarksItInvalid) {
    struct Case {
        const char* what;
        bool previousValid;
        bool failsAlways;  ///< false: only writes of the new offset fail
        bool validAtRestart;
        const char* message;
    };
    const Case cases[] = {
        {"the previous set written back", true, false, true, "The previous calibration was written back"},
        {"nothing to write back", false, false, false, "The instrument's calibration is marked invalid"},
        {"the write back fails too", true, true, false, "The instrument's calibration is marked invalid"},
    };
    for (const Case& c : cases) {
        session->factory = FactoryCalibration{0.3, 0.219, c.previousValid, 1, 20};
        dialogs.shown.clear();
        // Register 132 (tenths of the offset) takes only the previous 3, or nothing.
        sim->instrument.setReplyFilter(
            [&c](const sim::Frame& frame) {
                return frame[1] == 0x80 && frame[2] == 132 && (c.failsAlways || frame[3] != 3);
            },
            sim::Instrument::Refusal::WrongAddress);
        const FactoryCalibrationResult result = calibrateFactoryTemperature(*session, host, dialogs, "25.0");
        sim->instrument.setReplyFilter(nullptr);
        EXPECT_FALSE(result.written) << c.what;
        ASSERT_FALSE(dialogs.shown.empty()) << c.what;
        EXPECT_EQ(dialogs.shown.back().rfind("Writing register 132 failed. " + std::string(c.message), 0), 0u)
            << c.what << ": " << dialogs.shown.back();
        const FactoryCalibration restarted = readFactoryCalibration(session->comm, session->port, host);
        EXPECT_EQ(restarted.FactoryCalValid, c.validAtRestart) << c.what;
        if (c.validAtRestart) {
            EXPECT_NEAR(restarted.FactoryTempOffset, 0.3, 1e-9) << c.what;
            EXPECT_EQ(result.status, "OK Last Factory Calibration 01/20 [mm/yy]");
        } else {
            EXPECT_EQ(result.status, "NON Calibrated") << c.what;
        }
        ASSERT_TRUE(session->factoryRegisters.has_value());
        EXPECT_EQ((*session->factoryRegisters)[0], c.validAtRestart ? 0 : 1) << c.what;
    }
}
