#pragma once
// What the acquisition asks of the window (or command) that owns it: the
// timer that drives its ticks, the live view, the controls and the report.
// Every request has an empty default, so an owner without windows overrides
// only what it shows.

#include <cstdint>
#include <filesystem>
#include <string>

#include "control/InstrumentState.h"

namespace zorvex {

/// Drawing the acquisition asks of the live view.
enum class LiveRedraw {
    PlotFrame,       ///< start: clear the signal plot and the time bar, draw the plot frame
    PanelFrame,      ///< start: clear the activity panel and draw its frame
    ChannelList,     ///< start: the channel list of the current group selection
    FullPlot,        ///< the detection window has filled: every step of the selected channel so far
    Incremental,     ///< every second tick: the newest steps and the activity panel
};

/// What a run tells the operator of, for a command that passes it on
/// (mail, a chat message) to someone away from the instrument.
enum class RunEvent {
    InstrumentLost,
    InstrumentBack,
    WriteError,
    DiskLow,
    CycleFailing,
    LapseEnd,
    Stop,  ///< the operator's stop (the end of the lapse and the exit are their own events)
    Exit,
};

/// One closed bin, for progress reports.
struct BinSummary {
    int bin = 0;                      ///< 0-based, in the order of the bins
    std::int32_t elapsedMinutes = 0;  ///< the minutes written with its record
    double temperature = 0;           ///< degrees Celsius at the bin end
    long long totalCount = 0;         ///< sum of the bin counts of every channel
    bool recorded = false;            ///< its record reached counts.bin
};

class AcquisitionOwner {
public:
    virtual ~AcquisitionOwner() = default;
    /// Starts or stops the acquisition timer; while on it calls tick() every `intervalMs`.
    virtual void setTimer(bool /*enabled*/, int /*intervalMs*/) {}
    /// Redraws part of the live view from the acquisition's data.
    virtual void redraw(LiveRedraw /*what*/) {}
    /// The elapsed time text ("hh:mm:ss [Nd]") and the time bar in percent of the lapse.
    virtual void showElapsed(const std::string& /*text*/, double /*percent*/) {}
    /// The light and temperature indicators after a send.
    virtual void showOutputs(const InstrumentState& /*state*/) {}
    /// Shows the status panel with its banner and detail line (pause, calibration).
    virtual void showPanel(const std::string& /*banner*/, const std::string& /*detail*/) {}
    /// Hides the status panel.
    virtual void hidePanel() {}
    /// Running: play, setup and offline disabled, pause enabled, organism and
    /// SNR boxes locked; stopped: the reverse.
    virtual void lockControls(bool /*running*/) {}
    /// Shows the setup editor (a start refused in project 0 or at the disk warning).
    virtual void openSetupEditor() {}
    /// Opens the report window on a finished acquisition's folder.
    virtual void openReport(const std::filesystem::path& /*folder*/) {}
    /// Stops the device-test timer.
    virtual void stopDeviceTest() {}
    /// A bin was closed (after its files were appended).
    virtual void binClosed(const BinSummary& /*summary*/) {}
    /// A blank reading began: show `text` in `lblcalibrando`, disable Setup
    /// and OffLine, hide the setup editor and the offline window.
    virtual void blankReadingStarted(const std::string& /*text*/) {}
    /// Shows a new `lblcalibrando` text ("Setting (0) OK...").
    virtual void blankReadingNews(const std::string& /*text*/) {}
    /// The blank reading ended: hide `lblcalibrando`.
    virtual void blankReadingEnded() {}
    /// A message from inside the cycle (a write error, a disk warning, the
    /// instrument lost or back): shown without holding up the timer, the
    /// window once the tick has returned, the console as a line on stderr.
    virtual void tell(const std::string& /*message*/) {}
    /// Every event the operator is told of, and the run's stop and the
    /// program's exit, with the text the operator reads (or the log's line).
    virtual void notify(RunEvent /*event*/, const std::string& /*message*/) {}
    /// While the instrument is lost: `status` says since when ("Waiting for
    /// the instrument since 03:05 (2 min)"); empty once it answers again.
    virtual void showInstrumentWait(const std::string& /*status*/) {}
    /// The lost instrument answers again: what was told about its loss no longer holds.
    virtual void instrumentAnswers() {}
};

}  // namespace zorvex
