#pragma once
// What the zero, blank and calibration procedures need around them: the
// instrument's port, the operator, the clock, a progress display the main
// window draws (and tests record), and the acquisition they check and may
// stop. None of it knows a window.

#include <array>
#include <cstdint>
#include <string>

#include "common/Channels.h"
#include "device/ModCOMM.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"

namespace zorvex {

/// The progress panel (`frm_autotext`) with its label and bar.
class SetupProgress {
public:
    virtual ~SetupProgress() = default;
    /// Shows the panel with its banner (`lbl_autotext`).
    virtual void showPanel(const std::string& /*banner*/) {}
    virtual void hidePanel() {}
    /// `lbl_autochannel`.
    virtual void label(const std::string& /*text*/) {}
    /// Clears the bar (`picturecal`) and scales it to `units` wide.
    virtual void startBar(int /*units*/) {}
    /// A filled bar from 0 to `position` units.
    virtual void bar(int /*position*/) {}
};

/// The acquisition as the sensor procedures see it.
class RunControl {
public:
    virtual ~RunControl() = default;
    /// True while an acquisition or monitor run is running or paused.
    virtual bool active() const = 0;
    /// Stops the acquisition (after a failed write).
    virtual void stop() = 0;
};

/// Everything one sensor procedure talks through.
struct SensorLink {
    ModCOMM& comm;
    int port = 0;
    bool online = false;
    Host& host;
    Dialogs& dialogs;
    SetupProgress& progress;
    RunControl& run;
};

/// One 12-bit level per channel 0..383.
using ChannelLevels = std::array<std::int16_t, ChannelCount>;

/// Which of the four blocks (offsets 0, 32, 64, 96) arrived whole.
using BlocksReceived = std::array<bool, 4>;

/// Reads the four sample blocks and stores every value of a 192-byte reply in
/// `levels` (a high byte above 15 counts as 15 here); channels of a short or
/// missing block keep their values.
BlocksReceived readChannelLevels(ModCOMM& comm, int port, ChannelLevels& levels);

/// The warm-up: the four blocks requested and their replies discarded.
void discardChannelLevels(ModCOMM& comm, int port);

}  // namespace zorvex
