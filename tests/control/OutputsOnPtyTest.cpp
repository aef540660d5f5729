// The output state and the temperature reading on the wire, against the
// simulated instrument.

#include <gtest/gtest.h>

#include "SessionOnPty.h"
#include "control/Temperature.h"

using namespace zorvex;

namespace {

class OutputsOnPty : public test::SessionOnSimulator {
protected:
    int setOutputsFrames() const {
        return test::countFrames(sim->instrument, [](const sim::Frame& frame) { return frame[2] == RequestSetOutputs; });
    }
};

}  // namespace

TEST_F(OutputsOnPty, SendOutputsCarriesTheStateCode) {
    session->outputs = {true, false, true};
    session->sendOutputs();
    ASSERT_TRUE(test::waitForFrames(sim->instrument, 1));
    EXPECT_EQ(sim->instrument.outputState(), 5);
}

TEST_F(OutputsOnPty, ManualChangeWhileRunningWaitsForTheCycle) {
    session->outputs.light = true;
    session->outputsChanged(true);
    EXPECT_TRUE(session->pendingSend);
    session->outputsChanged(false);
    ASSERT_TRUE(test::waitForFrames(sim->instrument, 1));
    EXPECT_EQ(setOutputsFrames(), 1);
    EXPECT_EQ(sim->instrument.outputState(), 4);
}

TEST_F(OutputsOnPty, OfflineSessionSendsNothing) {
    session->mode = OperatingMode::Offline;
    session->outputs.light = true;
    session->sendOutputs();
    readTemperature(*session);  // a frame the instrument does see, so the wait below ends
    ASSERT_TRUE(test::waitForFrames(sim->instrument, 1));
    EXPECT_EQ(setOutputsFrames(), 0);
}

TEST_F(OutputsOnPty, MissingTemperatureReplyReadsOffsetMinusSlope) {
    sim->instrument.setReplyFilter([](const sim::Frame& frame) { return frame[2] == RequestTemperature; });
    double degrees = readTemperature(*session);
    EXPECT_DOUBLE_EQ(degrees, DefaultTempOffset - DefaultTempSlope);
    InstrumentState state{false, true, true};
    runThermostat(state, degrees, 25.0, true);
    EXPECT_FALSE(state.active);
}
