#pragma once
// The sensor setup a recording runs with: full calibration and Fast ZERO at
// its start when their switches are on, and the re-adjustment of saturated
// beams at a bin end, all on the session's instrument. The main window also
// runs its "Fast CALIB" and "Fast ZERO" buttons through it.

#include "acquisition/Acquisition.h"
#include "acquisition/SensorSetup.h"
#include "analysis/Calibration.h"
#include "analysis/SensorLink.h"
#include "analysis/Zero.h"

namespace zorvex {

class BeamSetup : public SensorSetup {
public:
    /// Every reference must outlive it; `progress` draws `frm_autotext`.
    BeamSetup(Workspace& workspace, InstrumentSession& session, AcquisitionOptions& options, Dialogs& dialogs,
              Host& host, SetupProgress& progress);

    bool runAutoCalibration(Acquisition& acquisition) override;
    bool runAutoZero(Acquisition& acquisition) override;
    void recalibrate(Acquisition& acquisition, const std::array<bool, ChannelCount>& marked) override;

    /// "Fast CALIB": the full calibration, writing only while `acquisition` is active.
    CalibrationOutcome calibrate(Acquisition& acquisition);
    /// "Fast ZERO" with the factor of the SNR box; true when the thresholds were set.
    bool fastZeroNow(Acquisition& acquisition, double snr);

    /// The readings of the latest Fast ZERO and calibration (sample 0).
    const SampleFrame& frame() const { return frame_; }
    /// The outcome of the latest calibration or re-adjustment.
    const CalibrationOutcome& lastCalibration() const { return last_; }

private:
    BeamSettings beams();
    void useStartFactor();

    Workspace& workspace_;
    InstrumentSession& session_;
    AcquisitionOptions& options_;
    Dialogs& dialogs_;
    Host& host_;
    SetupProgress& progress_;
    SampleFrame frame_{FastZeroLongSets};
    CalibrationOutcome last_;
};

}  // namespace zorvex
