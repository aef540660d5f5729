#include "control/Temperature.h"

#include "control/LightSchedule.h"
#include "device/COM_Module.h"

namespace zorvex {

namespace {
constexpr double LowestPlausibleC = 10.0;
constexpr double HighestPlausibleC = 38.0;
constexpr double DeadBandC = 0.5;
constexpr double SwitchOnC = 0.6;
constexpr int LowestTempx10 = 20;
constexpr int HighestTempx10 = 500;
constexpr int DefaultTempx10 = 200;
}  // namespace

bool temperatureControlEnabled(const ProjectSetup& setup) { return setup.Mn[TemperatureRow][0] == 1; }

double boxSetTemperature(const ProjectSetup& setup) { return setup.Mn[TemperatureRow][1] / 10.0; }

void defaultSetTemperature(ProjectSetup& setup) {
    auto& tempx10 = setup.Mn[TemperatureRow][1];
    if (tempx10 < LowestTempx10 || tempx10 > HighestTempx10) tempx10 = DefaultTempx10;
}

double readTemperature(InstrumentSession& session) {
    const int raw = DeviceQuery(session.comm, session.port, RequestTemperature, 0, ModeRequest);
    session.temperature = temperatureDegrees(session.factory, raw);
    return session.temperature;
}

void runThermostat(InstrumentState& state, double degrees, double setDegrees, bool enabled) {
    if (!enabled || degrees <= LowestPlausibleC || degrees >= HighestPlausibleC) {
        state.heat = false;
        state.active = false;
        return;
    }
    if (degrees > setDegrees - DeadBandC && degrees < setDegrees + DeadBandC) {
        state.active = false;
    } else if (degrees >= setDegrees + DeadBandC) {
        state.heat = false;
        state.active = degrees >= setDegrees + SwitchOnC;
    } else {
        state.heat = true;
        state.active = degrees <= setDegrees - SwitchOnC;
    }
}

}  // namespace zorvex
