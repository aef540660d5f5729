#include "control/LightSchedule.h"

#include <algorithm>
#include <cmath>

#include "common/Numbers.h"

namespace zorvex {

namespace {
constexpr long long SecondsPerDay = 86400;
constexpr long long SecondsPerHour = 3600;

long long wholeSeconds(const DateTime& when) { return std::llround(toSerialDays(when) * SecondsPerDay); }

// Seconds of the latest `hour`:00 at or before `second`.
long long latestAt(long long second, int hour) {
    const long long sinceSwitch = (second - hour * SecondsPerHour) % SecondsPerDay;
    return second - (sinceSwitch < 0 ? sinceSwitch + SecondsPerDay : sinceSwitch);
}
}  // namespace

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

void applyLightSwitches(InstrumentState& state, const LightSchedule& schedule, const DateTime& lastCheck,
                        const DateTime& now) {
    if (!schedule.enabled) return;
    const long long from = wholeSeconds(lastCheck);
    const long long to = wholeSeconds(now);
    if (to <= from) return;
    const long long on = latestAt(to, schedule.onHour);
    const long long off = latestAt(to, schedule.offHour);
    const long long latest = std::max(on, off);
    if (latest > from) state.light = on > off;
}

std::optional<bool> pulseLight(const LightSchedule& schedule, double elapsedMinutes) {
    if (!schedule.enabled || schedule.pulseCount < 1) return std::nullopt;
    const double cycle = schedule.pulseOnMinutes + schedule.pulseOffMinutes;
    if (cycle <= 0 || elapsedMinutes - cycle * schedule.pulseCount >= 0) return std::nullopt;
    const double position = elapsedMinutes - wholePart(elapsedMinutes / cycle) * cycle;
    return schedule.pulseOnMinutes > position;
}

}  // namespace zorvex
