#pragma once
// The main window's switches that an acquisition reads besides the project:
// auto-calibration and auto-zero, the SNR factor and the description, as
// start-up derives them from the project's tool settings.

#include <string>

#include "store/ProjectSetup.h"

namespace zorvex {

/// Row of `ProjectSetup::Mn` with Organism, Enab_Cal, Enab_Zero, SNRx10.
constexpr int SensorRow = 1;

struct AcquisitionOptions {
    bool autoCalibration = false;
    bool autoZero = false;
    double snrFactor = 1.8;   ///< `SNR factor` of the activity calculation
    std::string description;  ///< `Txt_description`, written to subproj.dat
};

/// The switches of a freshly loaded project, with start-up's corrections of
/// the project itself: an SNR factor not above 1.4 becomes 1.8, light hours
/// 0 and 0 become 9 and 21, a set temperature outside 2.0..50.0 becomes 20.0.
AcquisitionOptions startupOptions(ProjectSetup& setup);

}  // namespace zorvex
