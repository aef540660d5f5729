// The output state and the temperature reading on the wire, against the
// simulated instrument.

#include <gtest/gtest.h>

#include "SimulatedInstrument.h"
#include "TempFolder.h"
#include "control/Temperature.h"
#include "device/COM_Module.h"

using namespace zorvex;

namespace {

constexpr int Com = 3;

class SessionOnPty : public ::testing::Test {
protected:
    void SetUp() override {
        PortMap map = test::missingDevices(folder.path());
        map.setDevice(Com, sim.path());
        session = std::make_unique<InstrumentSession>(map);
        ASSERT_EQ(session->comm.CommOpen(Com, "COM3", PortSettingsText), 0);
        session->port = Com;
    }
    int setOutputsFrames() const {
        int count = 0;
        for (const sim::Frame& frame : sim.instrument.recentFrames()) count += frame[2] == RequestSetOutputs;
        return count;
    }

    test::TempFolder folder;
    test::SimulatedInstrument sim;
    std::unique_ptr<InstrumentSession> session;
};

}  // namespace

TEST_F(SessionOnPty, SendOutputsCarriesTheStateCode) {
    session->outputs = {true, false, true};
    session->sendOutputs();
    ASSERT_TRUE(test::waitForFrames(sim.instrument, 1));
    EXPECT_EQ(sim.instrument.outputState(), 5);
}

TEST_F(SessionOnPty, ManualChangeWhileRunningWaitsForTheCycle) {
    session->outputs.light = true;
    session->outputsChanged(true);
    EXPECT_TRUE(session->pendingSend);
    session->outputsChanged(false);
    ASSERT_TRUE(test::waitForFrames(sim.instrument, 1));
    EXPECT_EQ(setOutputsFrames(), 1);
    EXPECT_EQ(sim.instrument.outputState(), 4);
}

TEST_F(SessionOnPty, OfflineSessionSendsNothing) {
    session->mode = OperatingMode::Offline;
    session->outputs.light = true;
    session->sendOutputs();
    readTemperature(*session);  // a frame the instrument does see, so the wait below ends
    ASSERT_TRUE(test::waitForFrames(sim.instrument, 1));
    EXPECT_EQ(setOutputsFrames(), 0);
}

TEST_F(SessionOnPty, MissingTemperatureReplyReadsOffsetMinusSlope) {
    sim.instrument.setReplyFilter([](const sim::Frame& frame) { return frame[2] == RequestTemperature; });
    double degrees = readTemperature(*session);
    EXPECT_DOUBLE_EQ(degrees, DefaultTempOffset - DefaultTempSlope);
    InstrumentState state{false, true, true};
    runThermostat(state, degrees, 25.0, true);
    EXPECT_FALSE(state.active);
}
