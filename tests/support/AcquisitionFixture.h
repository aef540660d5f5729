#pragma once
// An acquisition on the simulated instrument over a pty, with a manual clock,
// scripted dialogs and an owner that records what it was asked, in a
// temporary program folder with project 1.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "SimulatedInstrument.h"
#include "TempFolder.h"
#include "acquisition/Acquisition.h"
#include "device/COM_Module.h"
#include "store/ProjectFolders.h"

namespace zorvex::test {

/// Records the owner requests; the timer state tells the test when to tick.
class RecordingOwner : public AcquisitionOwner {
public:
    void setTimer(bool enabled, int intervalMs) override {
        timerOn = enabled;
        if (enabled) timerIntervalMs = intervalMs;
    }
    void redraw(LiveRedraw what) override { redraws.push_back(what); }
    void showElapsed(const std::string& text, double percent) override {
        elapsedText = text;
        progress = percent;
        ++timeSteps;
    }
    void showPanel(const std::string& banner, const std::string& detail) override { panel = banner + "|" + detail; }
    void hidePanel() override { panel.clear(); }
    void lockControls(bool running) override { controlsLocked = running; }
    void openSetupEditor() override { ++setupEditorOpened; }
    void openReport(const std::filesystem::path& folder) override { reports.push_back(folder); }
    void binClosed(const BinSummary& summary) override { bins.push_back(summary); }
    void blankReadingStarted(const std::string& text) override { blankTexts.push_back(text); }
    void blankReadingNews(const std::string& text) override { blankTexts.push_back(text); }
    void blankReadingEnded() override { ++blankEnds; }
    void tell(const std::string& message) override { told.push_back(message); }
    void notify(RunEvent event, const std::string& message) override { notified.emplace_back(event, message); }
    void showInstrumentWait(const std::string& status) override {
        waitStatus = status;
        waitStatuses.push_back(status);
    }

    bool timerOn = false;
    int timerIntervalMs = 0;
    std::vector<LiveRedraw> redraws;
    std::string elapsedText;
    double progress = 0;
    int timeSteps = 0;
    std::string panel;
    bool controlsLocked = false;
    int setupEditorOpened = 0;
    std::vector<std::filesystem::path> reports;
    std::vector<BinSummary> bins;
    std::vector<std::string> blankTexts;
    int blankEnds = 0;
    std::vector<std::string> told;  ///< messages from the cycle, in order
    std::vector<std::pair<RunEvent, std::string>> notified;
    std::string waitStatus;          ///< the latest waiting text; empty when not waiting
    std::vector<std::string> waitStatuses;
};

class AcquisitionOnPty : public ::testing::Test {
protected:
    static constexpr int Com = 5;
    static constexpr int Buffer = 200;

    void SetUp() override {
        workspace.programFolder = program.path();
        workspace.config.Actual_Project_Number = 1;
        workspace.projectFolder = projectFolderPath(program.path(), 1);
        std::filesystem::create_directories(workspace.projectFolder);
        workspace.setup = defaultSetup(program.path(), 1);
        workspace.setup.RT_Buffer = Buffer;
        workspace.setup.DSP_Interval = 10;
        workspace.setup.Save_real = 1;
        workspace.setup.Mn[1] = {0, 0, 0, 0, 0, 0};  // auto-calibration and auto-zero off
        workspace.channels = defaultChannelTable();
        workspace.groups = defaultGroupTable();
        workspace.plate = *builtInPlate("z96f");

        PortMap map = missingDevices(program.path());
        map.setDevice(Com, sim.path());
        session = std::make_unique<InstrumentSession>(map);
        ASSERT_EQ(session->comm.CommOpen(Com, "COM5", PortSettingsText), 0);
        session->port = Com;
        acquisition =
            std::make_unique<Acquisition>(workspace, *session, options, dialogs, host, owner, log, *sensors);
    }

    /// Moves COM5 to the instrument at `path` (a PluggableInstrument's link),
    /// with a new session and acquisition.
    void useInstrumentAt(const std::string& path) {
        PortMap map = missingDevices(program.path());
        map.setDevice(Com, path);
        acquisition.reset();
        session = std::make_unique<InstrumentSession>(map);
        ASSERT_EQ(session->comm.CommOpen(Com, "COM5", PortSettingsText), 0);
        session->port = Com;
        acquisition = std::make_unique<Acquisition>(workspace, *session, options, dialogs, host, owner, log, *sensors);
    }

    /// Starts a recording named `name` without the prompt.
    bool startNamed(const std::string& name) { return acquisition->start({NameSource::Given, name}); }

    /// Ticks while the timer is on, moving the clock `msPerTick` before each.
    int tick(int ticks, int msPerTick = 100) {
        int done = 0;
        for (; done < ticks && owner.timerOn; ++done) {
            host.elapsedMs += msPerTick;
            acquisition->tick();
        }
        return done;
    }

    /// Ticks until the bin count reaches `bins` (or the timer stops).
    void tickBins(int bins, int msPerTick = 100) {
        while (owner.timerOn && static_cast<int>(owner.bins.size()) < bins) tick(1, msPerTick);
    }

    /// The instrument's outputs once every frame sent so far has been handled
    /// (a query's reply comes after them).
    int outputState() {
        DeviceQuery(session->comm, Com, RequestTemperature, 0, ModeRequest);
        return sim.instrument.outputState();
    }

    TempFolder program;
    SimulatedInstrument sim;
    Workspace workspace;
    std::unique_ptr<InstrumentSession> session;
    AcquisitionOptions options;
    ScriptedDialogs dialogs;
    ManualHost host;
    EventLog log{host};
    RecordingOwner owner;
    SensorSetup* sensors = &noSensorSetup();
    std::unique_ptr<Acquisition> acquisition;
};

/// Records `bins` bins of the current project of `workspace` named `name`
/// against an in-process simulator, as `zorvex-cli record` does; returns the
/// acquisition folder (empty when the start was refused).
inline std::filesystem::path recordBins(Workspace& workspace, Dialogs& dialogs, int bins, const std::string& name) {
    constexpr int Com = 5;
    SimulatedInstrument sim;
    PortMap map = missingDevices(workspace.programFolder);
    map.setDevice(Com, sim.path());
    InstrumentSession session(map);
    if (session.comm.CommOpen(Com, "COM5", PortSettingsText) != 0) return {};
    session.port = Com;
    AcquisitionOptions options;
    ManualHost host;
    EventLog log(host);
    RecordingOwner owner;
    Acquisition acquisition(workspace, session, options, dialogs, host, owner, log);
    if (!acquisition.start({NameSource::Given, name})) return {};
    while (owner.timerOn && static_cast<int>(owner.bins.size()) < bins) {
        host.elapsedMs += 300;
        acquisition.tick();
    }
    acquisition.stop();
    return acquisition.folder();
}

}  // namespace zorvex::test
