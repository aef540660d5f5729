#include "acquisition/AcquisitionOptions.h"

#include "common/Text.h"
#include "control/LightSchedule.h"
#include "control/Temperature.h"

namespace zorvex {

namespace {
constexpr double DefaultSnrFactor = 1.8;
constexpr double LowestSnrFactor = 1.4;  // not above it falls back to the default
}  // namespace

AcquisitionOptions startupOptions(ProjectSetup& setup) {
    const auto& sensor = setup.Mn[SensorRow];
    AcquisitionOptions options;
    options.autoCalibration = sensor[1] == 1;
    options.autoZero = sensor[2] == 1;
    // The factor goes through its box, shown with one decimal.
    const double shown = sensor[3] != 0 ? val(formatFixed(sensor[3] / 10.0, 1)) : DefaultSnrFactor;
    options.snrFactor = shown > LowestSnrFactor ? shown : DefaultSnrFactor;
    defaultLightHours(setup);
    defaultSetTemperature(setup);
    return options;
}

}  // namespace zorvex
