#include "acquisition/BeamSetup.h"

#include <algorithm>

#include "common/Text.h"

namespace zorvex {

namespace {

std::string calibrationResult(const CalibrationOutcome& outcome, const std::filesystem::path& programFolder) {
    switch (outcome.end) {
        case CalibrationEnd::Saved:
            return "Calibration OK after " + std::to_string(outcome.passes) + " passes, calvalue.dat written";
        case CalibrationEnd::NotSaved: return calibrationNotSavedText(programFolder);
        case CalibrationEnd::WriteFailed: return "Calibration failed: a beam setting could not be written";
        case CalibrationEnd::Refused: break;
    }
    return "Calibration not possible offline";
}

// The acquisition as the sensor procedures check and stop it.
class AcquisitionRun : public RunControl {
public:
    explicit AcquisitionRun(Acquisition& acquisition) : acquisition_(acquisition) {}
    bool active() const override { return acquisition_.state() != AcquisitionState::Stopped; }
    void stop() override { acquisition_.stop(); }

private:
    Acquisition& acquisition_;
};

}  // namespace

BeamSetup::BeamSetup(Workspace& workspace, InstrumentSession& session, AcquisitionOptions& options,
                     Dialogs& dialogs, Host& host, SetupProgress& progress)
    : workspace_(workspace), session_(session), options_(options), dialogs_(dialogs), host_(host),
      progress_(progress) {}

BeamSettings BeamSetup::beams() { return BeamSettings{session_.PinHole, session_.Gain, workspace_.programFolder}; }

void BeamSetup::useStartFactor() {
    if (options_.snrFactor < LowestStartSnr) options_.snrFactor = DefaultSnrFactor;
}

bool BeamSetup::runAutoCalibration(Acquisition& acquisition) {
    progress_.showPanel(CalibrationBanner);
    progress_.startBar(ChannelCount);
    useStartFactor();
    acquisition.log().event("Calibration of the beams started");
    calibrate(acquisition);
    acquisition.log().event(calibrationResult(last_, workspace_.programFolder) +
                            (last_.fileNote.empty() ? "" : "; " + last_.fileNote));
    progress_.hidePanel();
    return acquisition.state() != AcquisitionState::Stopped;
}

bool BeamSetup::runAutoZero(Acquisition& acquisition) {
    progress_.showPanel(CalibrationBanner);
    useStartFactor();
    const bool set = fastZeroNow(acquisition, options_.snrFactor);
    acquisition.log().event(set ? "Zero level read: thresholds set with SNR factor " + formatFixed(options_.snrFactor, 1)
                                : std::string("Zero level not read: the acquisition was stopped"));
    progress_.hidePanel();
    return acquisition.state() != AcquisitionState::Stopped;
}

void BeamSetup::recalibrate(Acquisition& acquisition, const std::array<bool, ChannelCount>& marked) {
    // Reached from the acquisition timer: its messages must not wait there.
    AcquisitionRun run(acquisition);
    SensorLink link{session_.comm, session_.port, session_.online(), host_, acquisition.notices(), progress_, run};
    std::array<bool, ChannelCount> skip{};
    const auto count = std::count(marked.begin(), marked.end(), true);
    for (std::size_t c = 0; c < skip.size(); ++c) skip[c] = !marked[c];
    last_ = readjustChannels(link, beams(), workspace_.plate, skip);
    acquisition.log().event("Re-adjustment of " + std::to_string(count) + " saturated beams: " +
                            (last_.end == CalibrationEnd::WriteFailed ? std::string("a write failed")
                                                                      : calibrationResult(last_, workspace_.programFolder)));
}

CalibrationOutcome BeamSetup::calibrate(Acquisition& acquisition) {
    AcquisitionRun run(acquisition);
    SensorLink link{session_.comm, session_.port, session_.online(), host_, dialogs_, progress_, run};
    last_ = runFullCalibration(link, beams(), workspace_.plate, frame_);
    return last_;
}

bool BeamSetup::fastZeroNow(Acquisition& acquisition, double snr) {
    AcquisitionRun run(acquisition);
    SensorLink link{session_.comm, session_.port, session_.online(), host_, dialogs_, progress_, run};
    return fastZero(link, frame_, workspace_.channels, snr,
                    fastZeroSets(options_.autoCalibration, options_.autoZero));
}

}  // namespace zorvex
