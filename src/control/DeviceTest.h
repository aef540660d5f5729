#pragma once
// The self test of the beams with an empty instrument: 121 steps of 100 ms
// that show every channel's level as a grey cell of the 24 x 16 grid and
// switch groups of beams to maximum and minimum sensitivity in a fixed order,
// ending with every beam at PinHole 2, Gain 2. The window owns the timer and
// the drawing; this owns the sequence.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "analysis/SensorLink.h"
#include "control/InstrumentSession.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"

namespace zorvex {

constexpr int DeviceTestSteps = 121;   ///< steps 0..120
constexpr int DeviceTestTickMs = 100;  ///< `Timer_test`

/// What a completed test found: a beam passed when its level at maximum
/// sensitivity stood at least `DeviceTestMarginCounts` above its level at
/// minimum, so the operator saw it react.
struct DeviceTestSummary {
    std::vector<int> passed;  ///< channels, in order
    std::vector<int> failed;
};

/// The rise from minimum to maximum sensitivity a working beam shows at least.
constexpr int DeviceTestMarginCounts = 100;

/// True when a beam's highest level at maximum sensitivity stood the margin
/// above its lowest at minimum; -1 for a level never seen fails.
bool beamReacted(int levelAtMaximum, int levelAtMinimum);

/// The activity panel (`Picact`) and time bar as the device test draws them.
class DeviceTestSurface {
public:
    virtual ~DeviceTestSurface() = default;
    /// The empty grid: labels 1..24 and A..P, red cell outlines, blue centre marks.
    virtual void drawGrid() {}
    /// Cell (column 0..23, row 0..15) filled with grey (g, g, g), outlined and marked again.
    virtual void paintCell(int /*column*/, int /*row*/, int /*grey*/) {}
    /// `picturetime`: a filled blue bar from 0 to `width` (of 100).
    virtual void progress(double /*width*/) {}
    /// `lbl_autostart` shown with `text`.
    virtual void showHint(const std::string& /*text*/) {}
    /// The normal activity panel back, `lbl_autostart` hidden.
    virtual void restorePanel() {}
    /// A completed online test: the grid with every beam marked passed or
    /// failed, and the count and channels in `lbl_autostart`, left until the
    /// panel is next used.
    virtual void showSummary(const DeviceTestSummary& /*summary*/) {}
};

/// One sensitivity write of a step.
struct BeamWrite {
    int channel = 0;
    int pinHole = 0;
    int gain = 0;
};

/// The writes of step `n` in order (empty for steps without any).
std::vector<BeamWrite> deviceTestWrites(int n);

/// The grey of a cell: level / 8 rounded half to even, limited to 0..255.
int cellGrey(int level);

class DeviceTest {
public:
    /// Every reference must outlive the test.
    DeviceTest(InstrumentSession& session, Host& host, Dialogs& dialogs, DeviceTestSurface& surface);

    /// "Test DEVICE": refused while an acquisition runs or is paused; asks the
    /// operator; OK draws the grid and starts at step 0. True when the caller
    /// must start the 100 ms timer.
    bool begin(bool acquisitionActive);

    /// One timer tick; false once the test has ended (the caller stops the timer).
    bool tick();

    /// Ends the test at once (an acquisition stop).
    void stop() { running_ = false; }

    bool running() const { return running_; }
    /// The summary of the latest completed online test; nothing before one.
    const std::optional<DeviceTestSummary>& summary() const { return summary_; }
    /// The step the next tick runs.
    int step() const { return step_; }
    const ChannelLevels& levels() const { return levels_; }

private:
    bool runStep();
    void end();
    void noteLevels();
    DeviceTestSummary summarise() const;

    InstrumentSession& session_;
    Host& host_;
    Dialogs& dialogs_;
    DeviceTestSurface& surface_;
    ChannelLevels levels_{};
    int step_ = 0;
    bool running_ = false;
    /// Per channel: the sensitivity last written, and the highest level seen
    /// at maximum and the lowest at minimum (-1: not seen).
    std::array<int, ChannelCount> written_{};
    std::array<int, ChannelCount> highest_{};
    std::array<int, ChannelCount> lowest_{};
    std::optional<DeviceTestSummary> summary_;
};

}  // namespace zorvex
