#include "acquisition/AcquisitionOptions.h"

#include "analysis/Zero.h"
#include "common/Text.h"
#include "control/LightSchedule.h"
#include "control/Temperature.h"

namespace zorvex {

AcquisitionOptions startupOptions(ProjectSetup& setup) {
    const auto& sensor = setup.Mn[SensorRow];
    AcquisitionOptions options;
    options.autoCalibration = sensor[1] == 1;
    options.autoZero = sensor[2] == 1;
    // The factor goes through its box, shown with one decimal.
    const double shown = val(initialSnrText(sensor[3]));
    options.snrFactor = shown > LowestOrganismSnr ? shown : DefaultSnrFactor;
    defaultLightHours(setup);
    defaultSetTemperature(setup);
    return options;
}

}  // namespace zorvex
