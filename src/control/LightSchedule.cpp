#include "control/LightSchedule.h"

#include "common/Numbers.h"

namespace zorvex {

LightSchedule lightSchedule(const ProjectSetup& setup) {
    const auto& row = setup.Mn[LightRow];
    LightSchedule schedule;
    schedule.enabled = row[0] == 1;
    schedule.onHour = row[1];
    schedule.offHour = row[2];
    schedule.pulseCount = row[3];
    schedule.pulseOnMinutes = row[4] / 10.0;
    schedule.pulseOffMinutes = row[5] / 10.0;
    return schedule;
}

void defaultLightHours(ProjectSetup& setup) {
    auto& row = setup.Mn[LightRow];
    if (row[1] == 0 && row[2] == 0) {
        row[1] = 9;
        row[2] = 21;
    }
}

bool lightAtStart(int onHour, int offHour, int hour) {
    if (offHour > onHour) return onHour <= hour && hour < offHour;
    if (offHour < onHour) return !(offHour <= hour && hour < onHour);
    return false;
}

void applyLightHours(InstrumentState& state, const LightSchedule& schedule, int hour) {
    if (!schedule.enabled) return;
    if (hour == schedule.onHour) state.light = true;
    if (hour == schedule.offHour) state.light = false;
}

std::optional<bool> pulseLight(const LightSchedule& schedule, double elapsedMinutes) {
    if (!schedule.enabled || schedule.pulseCount < 1) return std::nullopt;
    const double cycle = schedule.pulseOnMinutes + schedule.pulseOffMinutes;
    if (cycle <= 0 || elapsedMinutes - cycle * schedule.pulseCount >= 0) return std::nullopt;
    const double position = elapsedMinutes - wholePart(elapsedMinutes / cycle) * cycle;
    return schedule.pulseOnMinutes > position;
}

}  // namespace zorvex
