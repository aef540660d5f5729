#pragma once
// An instrument session whose port is open on the simulated instrument.

#include <gtest/gtest.h>

#include <memory>

#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "SimulatedInstrument.h"
#include "TempFolder.h"
#include "control/InstrumentSession.h"
#include "device/COM_Module.h"

namespace zorvex::test {

class SessionOnSimulator : public ::testing::Test {
protected:
    static constexpr int Com = 3;

    void SetUp() override {
        session = std::make_unique<InstrumentSession>(withInstrumentOn(missingDevices(folder.path()), Com, *sim));
        ASSERT_EQ(session->comm.CommOpen(Com, "COM3", PortSettingsText), 0);
        session->port = Com;
    }
    int writes() const { return writeFrames(sim->instrument); }

    TempFolder folder;
    std::unique_ptr<SimulatedInstrument> sim = std::make_unique<SimulatedInstrument>();
    std::unique_ptr<InstrumentSession> session;
    ManualHost host;
    ScriptedDialogs dialogs;
};

}  // namespace zorvex::test
