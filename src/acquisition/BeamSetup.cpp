#include "acquisition/BeamSetup.h"

namespace zorvex {

namespace {

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
    calibrate(acquisition);
    progress_.hidePanel();
    return acquisition.state() != AcquisitionState::Stopped;
}

bool BeamSetup::runAutoZero(Acquisition& acquisition) {
    progress_.showPanel(CalibrationBanner);
    useStartFactor();
    fastZeroNow(acquisition, options_.snrFactor);
    progress_.hidePanel();
    return acquisition.state() != AcquisitionState::Stopped;
}

void BeamSetup::recalibrate(Acquisition& acquisition, const std::array<bool, ChannelCount>& marked) {
    AcquisitionRun run(acquisition);
    SensorLink link{session_.comm, session_.port, session_.online(), host_, dialogs_, progress_, run};
    std::array<bool, ChannelCount> skip{};
    for (std::size_t c = 0; c < skip.size(); ++c) skip[c] = !marked[c];
    last_ = readjustChannels(link, beams(), workspace_.plate, skip);
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
