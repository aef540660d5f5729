#pragma once
// The factory settings window's core: the technician compares the shown
// plate temperature with a reference thermometer, types the true value, and
// a corrected offset is stored in the instrument's factory registers 128..134.

#include <array>
#include <optional>
#include <string>

#include "control/InstrumentSession.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"

namespace zorvex {

constexpr double LowestReferenceC = 4.0;
constexpr double HighestReferenceC = 50.0;
constexpr int FactoryWrittenRegisters = 7;  ///< registers 128..134, in that order
constexpr double MaxFactoryOffsetC = 10.0;  ///< a stored offset lies strictly within -10..10

/// "Factory Settings": false, after "Only possible to access in: ONLINE mode
/// and STOP experiment", when offline or an acquisition is running or paused.
bool factoryWindowAllowed(bool online, bool acquisitionActive, Dialogs& dialogs);

/// `txt_mensaje` for a calibration: "OK Last Factory Calibration mm/yy [mm/yy]"
/// when valid, else "NON Calibrated".
std::string factoryStatusText(const FactoryCalibration& calibration);

/// The window's load: the status text; an invalid calibration is reset to
/// offset 0 and slope 0.219 first.
std::string openFactoryWindow(FactoryCalibration& calibration);

/// The values of registers 128..134 for a calibration made in `month`/`year`:
/// marker 0, month, year, offset sign, |offset| x 10 and the slope x 1000 in
/// two bytes, each rounded half to even.
std::array<int, FactoryWrittenRegisters> factoryRegisterValues(double offset, double slope, int month, int year);

/// The reference temperature typed in `txt_set_temp`; nothing, after "invalid
/// Calibration Parameter: value must be between 4°C and 50°C", unless it is a
/// number in 4..50.
std::optional<double> referenceTemperature(const std::string& typed, Dialogs& dialogs);

/// What "SET" did.
struct FactoryCalibrationResult {
    bool written = false;        ///< all seven registers verified
    double newOffset = 0;        ///< the offset that was (to be) stored
    std::string status;          ///< the new `txt_mensaje`; empty when nothing was tried
};

/// "SET": reads the plate, computes the offset that makes the reading show
/// the reference, and writes registers 128..134 with verification, marker
/// (128) invalid first and valid last. A write that fails part-way is
/// followed by the previous calibration written back, or, without one or when
/// that fails too, the set marked invalid; a message says which. The
/// session's calibration changes only when all writes succeeded. A failed reading or an offset outside -10..10 is refused
/// with a message and nothing is written.
FactoryCalibrationResult calibrateFactoryTemperature(InstrumentSession& session, Host& host, Dialogs& dialogs,
                                                     const std::string& referenceText);

}  // namespace zorvex
