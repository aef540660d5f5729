#include "PlateTemperature.h"

#include <algorithm>
#include <cmath>

namespace zorvex::sim {

namespace {
constexpr double RelaxSeconds = 900.0;    // time constant towards the room
constexpr double HeatingCPerS = 0.03;     // element push while heating
constexpr double CoolingCPerS = 0.015;    // element push while cooling
// The sensor's own line; the default factory registers describe it.
constexpr double SensorOffsetC = 1.0;
constexpr double SensorSlopeC = 0.219;
}  // namespace

void PlateTemperature::advance(double seconds, int outputState) {
    double elapsed = seconds - lastSeconds_;
    if (elapsed <= 0) return;
    lastSeconds_ = seconds;
    double push = 0;
    if (outputState & OutputElement) push = (outputState & OutputHeating) ? HeatingCPerS : -CoolingCPerS;
    // Exact solution of dT/dt = (ambient - T) / tau + push over the interval.
    double settle = ambientC_ + push * RelaxSeconds;
    degreesC_ = settle + (degreesC_ - settle) * std::exp(-elapsed / RelaxSeconds);
}

int PlateTemperature::raw() const {
    long value = std::lround((degreesC_ - SensorOffsetC) / SensorSlopeC);
    return static_cast<int>(std::clamp(value, 0L, 255L));
}

}  // namespace zorvex::sim
