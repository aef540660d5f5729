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
        PortMap map = missingDevices(folder.path());
        map.setDevice(Com, sim->path());
        session = std::make_unique<InstrumentSession>(map);
        ASSERT_EQ(session->comm.CommOpen(Com, "COM3", PortSettingsText), 0);
        session->port = Com;
    }
    /// Channel and factory-register writes the instrument received.
    int writes() const {
        int count = 0;
        for (const sim::Frame& frame : sim->instrument.recentFrames()) count += frame[1] == 0x80 || frame[1] == 0x81;
        return count;
    }

    TempFolder folder;
    std::unique_ptr<SimulatedInstrument> sim = std::make_unique<SimulatedInstrument>();
    std::unique_ptr<InstrumentSession> session;
    ManualHost host;
    ScriptedDialogs dialogs;
};

}  // namespace zorvex::test
