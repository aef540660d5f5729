#pragma once
// The plate temperature: reading it from the instrument, and the two-sided
// thermostat that picks heating or cooling and switches the element on only
// 0.6 degrees away from the set temperature.

#include "control/InstrumentSession.h"
#include "control/InstrumentState.h"
#include "store/ProjectSetup.h"

namespace zorvex {

/// Temperature control is ticked in the project (`Mn` row 3).
bool temperatureControlEnabled(const ProjectSetup& setup);

/// The set temperature as `txttemp` shows it: `Tempx10` / 10, in degrees Celsius.
double boxSetTemperature(const ProjectSetup& setup);

/// Start-up: a stored `Tempx10` outside 20..500 becomes 200.
void defaultSetTemperature(ProjectSetup& setup);

/// Reads the plate temperature, converts it with the factory calibration and
/// keeps it as the session's current temperature. A failed exchange gives
/// offset - slope, which the thermostat treats as out of range.
double readTemperature(InstrumentSession& session);

/// The thermostat after a reading `degrees` with set temperature
/// `setDegrees`: outside 10..38 (exclusive) or when disabled everything is off
/// in cooling mode; within 0.5 the element is off and the mode kept; beyond
/// it the mode follows the side, the element working from 0.6 away.
void runThermostat(InstrumentState& state, double degrees, double setDegrees, bool enabled);

}  // namespace zorvex
