#include <gtest/gtest.h>

#include "ManualHost.h"
#include "SimulatedInstrument.h"
#include "TempFolder.h"
#include "device/COM_Module.h"
#include "device/FactoryCalibration.h"

using namespace zorvex;
using test::frameBytes;
using test::SimulatedInstrument;

namespace {

constexpr int Com = 2;

sim::InstrumentConfig withRegisters(sim::FactoryBytes registers) {
    sim::InstrumentConfig config;
    config.factoryRegisters = registers;
    return config;
}

class FactoryRead : public ::testing::Test {
protected:
    explicit FactoryRead(sim::InstrumentConfig config = withRegisters({0, 8, 13, 1, 25, 219, 0, 77}))
        : sim(std::move(config)) {
        PortMap map = test::missingDevices(folder.path());
        map.setDevice(Com, sim.path());
        comm = std::make_unique<ModCOMM>(map);
    }
    void SetUp() override { ASSERT_EQ(comm->CommOpen(Com, "COM2", PortSettingsText), 0); }
    int readsOf(int reg) const {
        int count = 0;
        for (const sim::Frame& frame : sim.instrument.recentFrames()) {
            count += frameBytes(frame) == CommandFrame::make(RequestFactoryRegister, reg, ModeRequest).wire();
        }
        return count;
    }

    test::TempFolder folder;
    SimulatedInstrument sim;
    std::unique_ptr<ModCOMM> comm;
    test::ManualHost host;
};

}  // namespace

TEST_F(FactoryRead, RegistersGiveOffsetMinus2Point5AndSlope0Point219) {
    FactoryRegisters registers = readFactoryRegisters(*comm, Com, host);
    EXPECT_EQ(registers, (FactoryRegisters{0, 8, 13, 1, 25, 219, 0, 77}));
    FactoryCalibration calibration = validateFactoryCalibration(registers);
    EXPECT_TRUE(calibration.FactoryCalValid);
    EXPECT_DOUBLE_EQ(calibration.FactoryTempOffset, -2.5);
    EXPECT_DOUBLE_EQ(calibration.FactoryTempSlope, 0.219);
    EXPECT_EQ(calibration.calibrationMonth, 8);
    EXPECT_EQ(calibration.calibrationYear, 13);
    for (int reg = 128; reg <= 135; ++reg) EXPECT_EQ(readsOf(reg), 2) << reg;
    EXPECT_EQ(host.yields, 10 + 10 + 8);
    EXPECT_EQ(host.elapsedMs, 8 * 2 * 200);
    EXPECT_DOUBLE_EQ(temperatureDegrees(calibration, 100), 100 * 0.219 - 2.5);
}

TEST_F(FactoryRead, AMissedReadingIsRetriedAfterTheNullFrame) {
    bool withheld = false;
    sim.instrument.setReplyFilter([&withheld](const sim::Frame& frame) {
        if (withheld || frame[2] != RequestFactoryRegister || frame[3] != 131) return false;
        return withheld = true;
    });
    FactoryCalibration calibration = readFactoryCalibration(*comm, Com, host);
    EXPECT_TRUE(calibration.FactoryCalValid);
    EXPECT_DOUBLE_EQ(calibration.FactoryTempOffset, -2.5);
    EXPECT_EQ(readsOf(131), 4);
    // The null frame's reply was discarded, so the next register agrees at once.
    EXPECT_EQ(readsOf(132), 2);
    std::vector<sim::Frame> frames = sim.instrument.recentFrames();
    int nullFrames = 0;
    for (const sim::Frame& frame : frames) nullFrames += frameBytes(frame) == CommandFrame::make(0, 0, 0).wire();
    EXPECT_EQ(nullFrames, 1);
}

TEST_F(FactoryRead, PulledCableGivesTheDefaultsNotValid) {
    sim.server.disconnect();
    FactoryRegisters registers = readFactoryRegisters(*comm, Com, host);
    EXPECT_EQ(registers, (FactoryRegisters{-1, -1, -1, -1, -1, -1, -1, -1}));
    FactoryCalibration calibration = readFactoryCalibration(*comm, Com, host);
    EXPECT_FALSE(calibration.FactoryCalValid);
    EXPECT_EQ(calibration.FactoryTempOffset, 0.0);
    EXPECT_EQ(calibration.FactoryTempSlope, 0.219);
}

TEST(FactoryValidation, AnyFailedCheckFallsBackToTheDefaults) {
    struct Case {
        FactoryRegisters registers;
        const char* why;
    };
    for (const Case& c : {Case{{0, 8, 13, 1, 25, 0, 1, 0}, "slope low byte 0"},
                          Case{{1, 8, 13, 0, 25, 219, 0, 0}, "marker not 0"},
                          Case{{0, 13, 13, 0, 25, 219, 0, 0}, "month 13"},
                          Case{{0, 8, 100, 0, 25, 219, 0, 0}, "year 100"},
                          Case{{0, 8, 13, 2, 25, 219, 0, 0}, "sign 2"},
                          Case{{0, 8, 13, 0, 101, 219, 0, 0}, "offset 10.1"},
                          Case{{0, 8, 13, 0, -1, 219, 0, 0}, "offset unread"},
                          Case{{0, 8, 13, 0, 25, 99, 0, 0}, "slope 0.099"},
                          Case{{0, 8, 13, 0, 25, 195, 1, 0}, "slope 0.451"},
                          Case{{0, 8, 13, 0, 25, 219, -1, 0}, "slope high unread"}}) {
        FactoryCalibration calibration = validateFactoryCalibration(c.registers);
        EXPECT_FALSE(calibration.FactoryCalValid) << c.why;
        EXPECT_EQ(calibration.FactoryTempOffset, 0.0) << c.why;
        EXPECT_EQ(calibration.FactoryTempSlope, 0.219) << c.why;
    }
}

TEST(FactoryValidation, LimitsAreInclusiveAndValidDatesAreKept) {
    FactoryCalibration high = validateFactoryCalibration({0, 12, 99, 0, 100, 194, 1, 0});
    EXPECT_TRUE(high.FactoryCalValid);
    EXPECT_DOUBLE_EQ(high.FactoryTempOffset, 10.0);
    EXPECT_DOUBLE_EQ(high.FactoryTempSlope, 0.45);
    FactoryCalibration low = validateFactoryCalibration({0, 1, 0, 1, 100, 100, 0, 0});
    EXPECT_TRUE(low.FactoryCalValid);
    EXPECT_DOUBLE_EQ(low.FactoryTempOffset, -10.0);
    EXPECT_DOUBLE_EQ(low.FactoryTempSlope, 0.1);
    FactoryCalibration badMonth = validateFactoryCalibration({0, 0, 24, 0, 5, 219, 0, 0});
    EXPECT_FALSE(badMonth.FactoryCalValid);
    EXPECT_EQ(badMonth.calibrationMonth, 0);
    EXPECT_EQ(badMonth.calibrationYear, 24);
}
