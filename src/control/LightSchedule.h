#pragma once
// The light schedule of a project: a daily on hour and off hour, or a train
// of pulses counted from the start of the acquisition. The rules decide the
// light; sending it is the caller's part.

#include <optional>

#include "common/DateTime.h"
#include "control/InstrumentState.h"
#include "store/ProjectSetup.h"

namespace zorvex {

/// Rows of `ProjectSetup::Mn` holding the tool settings.
constexpr int LightRow = 2;
constexpr int TemperatureRow = 3;

/// The light settings of a project (`Mn` row 2).
struct LightSchedule {
    bool enabled = false;
    int onHour = 9;
    int offHour = 21;
    int pulseCount = 0;
    double pulseOnMinutes = 0;   ///< stored in tenths
    double pulseOffMinutes = 0;  ///< stored in tenths
};

/// The schedule the project's setup holds.
LightSchedule lightSchedule(const ProjectSetup& setup);

/// Start-up: stored hours 0 and 0 mean the schedule was never set; they become 9 and 21.
void defaultLightHours(ProjectSetup& setup);

/// The light at the start of an acquisition at clock hour `hour`: on between
/// the on hour and the off hour, across midnight when off comes first, and
/// off when both hours are equal.
bool lightAtStart(int onHour, int offHour, int hour);

/// The daily switch: the light takes the state of the latest switching time
/// (on hour or off hour, on the full hour) after `lastCheck` and up to `now`,
/// however many lie between; equal hours switch it off. With none crossed a
/// manual change holds.
void applyLightSwitches(InstrumentState& state, const LightSchedule& schedule, const DateTime& lastCheck,
                        const DateTime& now);

/// The light of the pulse train `elapsedMinutes` into the acquisition: each
/// period starts with its on part. Nothing once the train is over (the light
/// keeps its state) or when the schedule runs no train.
std::optional<bool> pulseLight(const LightSchedule& schedule, double elapsedMinutes);

}  // namespace zorvex
