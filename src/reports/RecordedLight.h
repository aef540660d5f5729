#pragma once
// The light an acquisition ran under, from its own setup copy and start time:
// what the actogram, the rhythm exports and the figures shade as light and dark.

#include <filesystem>
#include <optional>
#include <vector>

#include "common/DateTime.h"
#include "control/LightSchedule.h"
#include "store/ProjectSetup.h"

namespace zorvex {

/// The light settings the acquisition ran with (unset hours as start-up defaults them).
LightSchedule recordedLight(ProjectSetup setup);

/// The light at the start of each of `intervals` intervals of `intervalMinutes`
/// from `start`, as the acquisition switched it: the start hour or the pulse
/// train first, then every switch at the on and off hours crossed since the
/// interval before; a finished
/// train leaves its last state until the hours change it. All off when the
/// schedule is not enabled.
std::vector<bool> intervalLight(const LightSchedule& schedule, const DateTime& start, int intervalMinutes,
                                int intervals);

/// The start of an acquisition from its folder name (ddmmyyyy_hhmm); nothing
/// when the name is not a start stamp.
std::optional<DateTime> acquisitionStartOf(const std::filesystem::path& acquisitionFolder);

}  // namespace zorvex
