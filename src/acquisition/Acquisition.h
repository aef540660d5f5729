#pragma once
// One acquisition from start to stop: the start command, the timer tick that
// takes one sample of every channel, the bin close that counts and records a
// pass through the real-time buffer, the time step that ends the lapse and
// drives light pulses, and pause, resume and stop. It owns the acquisition's
// working state and knows no window: it talks to its owner through
// AcquisitionOwner, to the operator through Dialogs and to the clock through Host.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "acquisition/AcquisitionOptions.h"
#include "acquisition/AcquisitionOwner.h"
#include "acquisition/BlockFaults.h"
#include "acquisition/CycleNotices.h"
#include "acquisition/DataFiles.h"
#include "acquisition/Detection.h"
#include "acquisition/SensorSetup.h"
#include "analysis/Analysis_Module.h"
#include "analysis/CalibrationFile.h"
#include "analysis/SampleFrame.h"
#include "analysis/Zero.h"
#include "control/InstrumentSession.h"
#include "device/SampleBlock.h"
#include "platform/Dialogs.h"
#include "platform/EventLog.h"
#include "platform/Host.h"
#include "platform/RunClock.h"
#include "store/Workspace.h"

namespace zorvex {

/// `AcquisitionState`: 0 stopped, 1 running, 2 paused.
enum class AcquisitionState : std::int16_t { Stopped = 0, Running = 1, Paused = 2 };

/// Where the experiment name of a start comes from.
enum class NameSource {
    Prompt,   ///< the operator's input box (`CmdPlay`)
    Autorun,  ///< "/RUN": "Autorun project", no prompt, no disk warning
    Given,    ///< a name given beforehand (command line): no prompt, no disk warning; empty is a monitor run
};

struct StartRequest {
    NameSource source = NameSource::Prompt;
    std::string name;  ///< used with NameSource::Given
};

/// Beam settings sent back to an instrument that may have restarted, and where they come from.
struct BeamTables {
    BeamTable pinHole{};
    BeamTable gain{};
    std::string source;  ///< "this run's calibration", "calvalue.dat" or "the default"
};

/// Name of an acquisition started by "/RUN".
inline constexpr const char* AutorunName = "Autorun project";

class Acquisition {
public:
    static constexpr int TimerIntervalMs = 30;     ///< `Timeradq` while acquiring
    static constexpr int TimeStepSamples = 25;     ///< samples between two time steps
    static constexpr int WarmUpPauseMs = 50;       ///< after the discarded warm-up reads
    static constexpr int MinimumBuffer = 200;      ///< `RT_Buffer` range of the setup editor
    static constexpr int MaximumBuffer = 10000;
    /// Ticks in a row in which no sample block came back before the instrument
    /// counts as gone: a dead line fails them at once, a silent one costs the
    /// read timeouts (about 10 s a tick), and scattered missing blocks never
    /// take a whole tick.
    static constexpr int LostAfterSilentTicks = 3;
    /// While the instrument is lost the port is opened and probed again this often.
    static constexpr int ReconnectIntervalMs = 5000;
    /// Missing and faulty sample blocks are summed up in events.log this often.
    static constexpr std::int64_t BlockReportIntervalMs = 3600 * 1000;
    /// Failed ticks of a run before the operator is told (each goes to events.log).
    static constexpr int TellAfterFailedTicks = 3;
    /// Beam settings written per tick when a request went unanswered: the
    /// instrument may have restarted at its power-on settings, and sampling goes on meanwhile.
    static constexpr int ResendChannelsPerTick = 32;

    /// An acquisition of the current project of `workspace` on `session`'s
    /// instrument. Every reference must outlive it.
    /// Events of the run go to `log` (events.log of a recording).
    Acquisition(Workspace& workspace, InstrumentSession& session, AcquisitionOptions& options, Dialogs& dialogs,
                Host& host, AcquisitionOwner& owner, EventLog& log, SensorSetup& sensors = noSensorSetup());

    /// `CmdPlay`: asks for the name, makes the folder of a recording, sets the
    /// light and reads the temperature, runs calibration and zero when on, and
    /// starts the timer. True when the acquisition is running afterwards.
    bool start(const StartRequest& request = {});

    /// `Timeradq`: one sample of every channel while running; only the time
    /// step while paused with the time counter on; while the instrument is
    /// lost, the time step and every 5 s an attempt to find it again. A
    /// failure ends the tick and goes to events.log. Never asks the operator.
    void tick();

    /// `CmdPause`: pauses when running (asking whether to stop the time
    /// counter), resumes when paused, does nothing when stopped.
    void pauseOrResume();

    /// `CmdStop`: stops from any state; outputs off, nothing written. While
    /// the instrument is lost the timer goes on looking for it.
    void stop();

    /// The program ends (`reason`: "window closed", "SIGTERM"...): a running
    /// acquisition stops as by `CmdStop`, output state 0 is sent and the port
    /// closed, so no heating or cooling element stays on unattended. While the
    /// instrument is lost the port is tried once for that; events.log says whether it worked.
    void shutDown(const std::string& reason);

    /// While the instrument is lost: tells the operator that `what` waits for
    /// it and returns true; false otherwise.
    bool refuseWhileLost(const std::string& what);

    /// While stopped: the real-time buffer, bands and counters made anew at
    /// the project's current `RT_Buffer`. Throws, changing nothing, for a
    /// buffer that cannot be made.
    void resetBuffers();

    /// "Read Blank": resets the cycle counters, saves the project into a folder
    /// named by the time, turns recording off and blank mode on, and starts the
    /// timer. Samples are taken only while a run with auto zero off is running;
    /// the reading then ends by itself after `Threshold_Counter` samples.
    void startBlankReading();
    /// True from "Read Blank" until the reading ends or the run stops.
    bool blankReadingActive() const { return blank_.active(); }
    const BlankReading& blankReading() const { return blank_; }

    AcquisitionState state() const { return state_; }
    /// The calibration and zero of a start are running: the window turns
    /// between their steps, but nothing may pause them.
    bool settingUp() const { return settingUp_; }
    /// A named acquisition that writes its folder (not a monitor run).
    bool recording() const { return recording_; }
    const std::string& experimentName() const { return name_; }
    /// The acquisition folder of the latest recording; empty before one.
    const std::filesystem::path& folder() const { return folder_; }
    /// The clock of the latest run: its start and every time told of it.
    const RunClock& runClock() const { return runClock_; }

    /// The real-time buffer, bands and counts the live view draws.
    const SampleFrame& frame() const { return frame_; }
    const Detection& detection() const { return detection_; }
    /// The threshold trace of the latest activity calculation (auto-zero).
    const Analysis_Module& analysis() const { return analysis_; }
    /// The slot the next tick fills.
    int slot() const { return slot_; }
    std::int32_t ticksSinceStart() const { return ticksSinceStart_; }
    std::int64_t totalSamples() const { return totalSamples_; }
    /// Flips at the end of each detection interval (the live view's band colour).
    bool windowFlag() const { return windowFlag_; }
    /// Whole minutes since the start as of the latest time step.
    std::int32_t elapsedMinutes() const { return elapsedMinutes_; }
    /// Bins closed since the start.
    int binsClosed() const { return binsClosed_; }
    /// Bins whose record reached counts.bin since the start.
    int binsRecorded() const { return binsRecorded_; }
    const FileCounters& fileCounters() const { return files_; }
    /// True while a pause has frozen the time counter.
    bool timeCounterStopped() const { return timeCounterStopped_; }
    /// True while the instrument is lost: during a run, or after one ended while it was.
    bool waitingForInstrument() const { return waiting_; }
    /// The log the run's events go to.
    EventLog& log() { return log_; }
    /// Dialogs for code reached from the timer (a re-adjustment at a bin
    /// end): messages are logged and told, never waited on.
    Dialogs& notices() { return notices_; }

private:
    // Start (AcquisitionStart.cpp).
    /// The experiment's name; nothing when the operator cancels the name box.
    std::optional<std::string> askName(const StartRequest& request);
    bool refused();
    bool prepareRecording(const std::string& name, const StartRequest& request);
    bool makeAcquisitionFolder(const std::string& name);
    void clearWorkingState();
    void setLightBySchedule();
    bool runSensorSetup();

    // Cycle (AcquisitionCycle.cpp).
    void runningTick();
    void readBlocks();
    void tickFailed(const std::string& what);
    void checkDiskSpace();
    double megabytesPerMinute() const;
    void logStart();
    void refreshDetectionSettings();
    void closeBin();
    void autoZeroBinEnd();
    bool recordBin(double degrees);
    void recordLost(const std::string& why);
    void dumpLost(const std::string& why);
    void timeStep();
    void finish();

    // Instrument lost and found again (InstrumentWait.cpp).
    enum class Reach { NoAnswer, OtherInstrument, Same };
    void instrumentLost();
    void waitingTick();
    Reach reachInstrument();
    bool restoreInstrument();
    void instrumentBack();
    std::string waitStatus();
    void noteUnanswered();
    void resendStep();
    void loadBeamsToSend();
    bool writeBeams(int from, int to);
    void followSchedule(double degrees);
    void exitWhileLost();

    void blankSample();
    void pause();
    void resume();
    void sendOutputs();
    void purgePort(int pauseMs);
    void checkWallClock();
    void tellBlockFaults();

    Workspace& workspace_;
    InstrumentSession& session_;
    AcquisitionOptions& options_;
    Dialogs& dialogs_;
    Host& host_;
    AcquisitionOwner& owner_;
    EventLog& log_;
    SensorSetup& sensors_;
    CycleNotices notices_{log_, &owner_};
    CycleNotices quietNotices_{log_, nullptr};

    AcquisitionState state_ = AcquisitionState::Stopped;
    bool recording_ = false;
    bool settingUp_ = false;
    std::string name_;
    std::filesystem::path folder_;

    SampleFrame frame_;
    Detection detection_;
    DetectionSettings detectionSettings_;
    Analysis_Module analysis_;
    int slot_ = 0;
    std::int32_t ticksSinceStart_ = 0;
    std::int64_t totalSamples_ = 0;
    int displayCounter_ = 0;
    int intervalCounter_ = 0;
    bool windowFlag_ = false;
    int binsClosed_ = 0;
    int binsRecorded_ = 0;
    int silentTicks_ = 0;  ///< ticks in a row without any sample block
    bool unanswered_ = false;  ///< the latest tick had a request without any reply
    bool resendPending_ = false;
    int resendNext_ = 0;       ///< the next channel of a resend
    DateTime unansweredAt_;
    DateTime lightCheckedAt_;  ///< the schedule's switches up to here are applied
    bool otherInstrumentTold_ = false;
    std::array<bool, SampleBlockCount> staleBlocks_{};  ///< since a return, no complete reply of the block yet
    BeamTables beamsToSend_;   ///< what a resend or a return writes
    BlockFaults blockFaults_;
    std::int64_t nextBlockReportMs_ = BlockReportIntervalMs;  ///< run time of the next summary of block faults
    FileCounters files_;
    bool writeFailureShown_ = false;
    bool writeFailing_ = false;      ///< the latest bin could not be saved
    bool dumpFailureShown_ = false;
    bool dumpFailing_ = false;       ///< the latest record was saved without its real-time data
    bool diskWarningShown_ = false;
    int failedTicks_ = 0;            ///< ticks of this run that ended in a failure
    bool tickFailureShown_ = false;
    bool waiting_ = false;           ///< the instrument is lost
    DateTime lostAt_;
    std::int64_t nextAttemptMs_ = 0;
    BlankReading blank_;

    RunClock runClock_{host_};  ///< every date and time of the run: its start plus the monotonic time since
    std::int64_t counterStartMs_ = 0;  ///< steady time of the counter's zero, moved on by a resume after a frozen pause
    std::int64_t elapsedAtPauseMs_ = 0;
    std::int32_t elapsedMinutes_ = 0;
    bool timeCounterStopped_ = false;
    bool stopTold_ = false;  ///< the end of the lapse or the exit tells of this stop
};

}  // namespace zorvex
