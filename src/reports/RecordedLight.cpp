#include "reports/RecordedLight.h"

namespace zorvex {

LightSchedule recordedLight(ProjectSetup setup) {
    // Start-up gives unset hours their defaults before a run starts.
    defaultLightHours(setup);
    return lightSchedule(setup);
}

std::vector<bool> intervalLight(const LightSchedule& schedule, const DateTime& start, int intervalMinutes,
                                int intervals) {
    std::vector<bool> light(static_cast<std::size_t>(intervals), false);
    if (!schedule.enabled) return light;
    InstrumentState state;
    state.light = schedule.pulseCount == 0 && lightAtStart(schedule.onHour, schedule.offHour, start.hour);
    const bool runsTrain = schedule.pulseCount >= 1 && schedule.pulseOnMinutes + schedule.pulseOffMinutes > 0;
    bool trainOver = false;
    for (int k = 0; k < intervals; ++k) {
        const double elapsed = static_cast<double>(k) * intervalMinutes;
        if (auto pulse = pulseLight(schedule, elapsed)) {
            state.light = *pulse;
        } else {
            if (runsTrain && !trainOver) {
                // Each period ends with its off part; without one the light stays on.
                state.light = schedule.pulseOffMinutes <= 0;
                trainOver = true;
            }
            if (k > 0) {
                applyLightSwitches(state, schedule, addMinutes(start, elapsed - intervalMinutes),
                                   addMinutes(start, elapsed));
            }
        }
        light[static_cast<std::size_t>(k)] = state.light;
    }
    return light;
}

std::optional<DateTime> acquisitionStartOf(const std::filesystem::path& acquisitionFolder) {
    std::error_code error;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(acquisitionFolder, error);
    if (error) resolved = acquisitionFolder;
    if (!resolved.has_filename()) resolved = resolved.parent_path();
    return parseTimeStamp(resolved.filename().string());
}

}  // namespace zorvex
