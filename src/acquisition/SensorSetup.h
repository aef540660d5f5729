#pragma once
// The beam calibration and fast zero that a recording runs at its start when
// their switches are on, and the re-adjustment of saturated beams at a bin
// end. Their bodies belong to the analysis side; the acquisition only calls
// them, and runs on unchanged with this interface's defaults.

#include <array>

#include "common/Channels.h"

namespace zorvex {

class Acquisition;

class SensorSetup {
public:
    virtual ~SensorSetup() = default;
    /// Calibrates the beams at the start of a recording; false when the
    /// acquisition must not go on (a device error).
    virtual bool runAutoCalibration(Acquisition& /*acquisition*/) { return true; }
    /// Reads the zero level at the start of a recording; false as above.
    virtual bool runAutoZero(Acquisition& /*acquisition*/) { return true; }
    /// Re-adjusts the beams `marked` at a bin end; may stop the acquisition.
    virtual void recalibrate(Acquisition& /*acquisition*/, const std::array<bool, ChannelCount>& /*marked*/) {}
};

/// The calibration-free setup: every call lets the acquisition go on.
SensorSetup& noSensorSetup();

}  // namespace zorvex
