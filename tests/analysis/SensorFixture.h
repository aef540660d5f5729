#pragma once
// The simulated instrument on a pty with an open port, a progress display
// that records what it was told, and an acquisition state the test sets.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "SimulatedInstrument.h"
#include "TempFolder.h"
#include "analysis/SensorLink.h"
#include "device/COM_Module.h"

namespace zorvex::test {

class RecordedProgress : public SetupProgress {
public:
    void showPanel(const std::string& banner) override { panels.push_back(banner); }
    void hidePanel() override { ++hidden; }
    void label(const std::string& text) override {
        labels.push_back(text);
        if (onLabel) onLabel(text);
    }
    void startBar(int units) override { barUnits = units; }
    void bar(int position) override { bars.push_back(position); }

    std::vector<std::string> panels;
    std::vector<std::string> labels;
    std::vector<int> bars;
    int barUnits = 0;
    int hidden = 0;
    std::function<void(const std::string&)> onLabel;
};

/// An acquisition that is running or stopped as the test says.
class SetRun : public RunControl {
public:
    bool active() const override { return running; }
    void stop() override {
        running = false;
        ++stops;
    }
    bool running = true;
    int stops = 0;
};

class SensorOnPty : public ::testing::Test {
protected:
    static constexpr int Com = 3;

    void SetUp() override {
        comm = std::make_unique<ModCOMM>(withInstrumentOn(missingDevices(folder.path()), Com, *sim));
        ASSERT_EQ(comm->CommOpen(Com, "COM3", PortSettingsText), 0);
    }
    SensorLink link(bool online = true) { return SensorLink{*comm, Com, online, host, dialogs, progress, run}; }

    /// Frames of `code` (mode 0) the instrument received.
    int requests(int code) const {
        return countFrames(sim->instrument, [code](const sim::Frame& frame) { return frame[1] == 0 && frame[2] == code; });
    }
    int writes() const { return writeFrames(sim->instrument); }

    TempFolder folder;
    std::unique_ptr<SimulatedInstrument> sim = std::make_unique<SimulatedInstrument>();
    std::unique_ptr<ModCOMM> comm;
    ManualHost host;
    ScriptedDialogs dialogs;
    RecordedProgress progress;
    SetRun run;
};

}  // namespace zorvex::test
