#pragma once
// Beam calibration: each channel's PinHole and Gain are stepped, one
// sensitivity step per pass, until its raw level lies in 1638..1843. The
// full calibration starts from calvalue.dat and writes every beam first; the
// re-adjustment after a bin only lowers the beams the bin found saturated.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "analysis/CalibrationFile.h"
#include "analysis/SampleFrame.h"
#include "analysis/SensorLink.h"
#include "store/PlateFormat.h"
#include "store/ProjectSetup.h"

namespace zorvex {

/// The raw level window, 1638.4 and 1843.2 as 16-bit integers.
constexpr std::int16_t CalibrationLow = 1638;
constexpr std::int16_t CalibrationHigh = 1843;
constexpr const char* CalibrationBanner = "<AUTOCALIBRATION>";

/// One channel during a calibration.
struct BeamStep {
    std::int16_t pinHole = 0;
    std::int16_t gain = 0;
    int direction = 0;  ///< +1 last raised, -1 last lowered, 0 none
    bool done = false;
};

/// What the operator is told when calvalue.dat could not be written.
std::string calibrationNotSavedText(const std::filesystem::path& programFolder);

/// Applies the window and the four step rules to a channel that is not done
/// and read `sample`; true when its setting must be written.
bool stepBeam(BeamStep& beam, std::int16_t sample);

/// The beam settings a calibration works on, and where they are kept.
struct BeamSettings {
    BeamTable& PinHole;
    BeamTable& Gain;
    std::filesystem::path programFolder;  ///< holds calvalue.dat
};

enum class CalibrationEnd {
    Refused,        ///< offline: nothing done
    Saved,          ///< "Calibration OK" and calvalue.dat written
    NotSaved,       ///< the beams are set in the instrument, but calvalue.dat could not be written
    WriteFailed,    ///< a write failed; nothing saved
};

struct CalibrationOutcome {
    CalibrationEnd end = CalibrationEnd::Refused;
    int passes = 0;        ///< passes of reading and stepping
    std::string fileNote;  ///< what reading calvalue.dat noted (empty when nothing)
};

/// "Fast CALIB" and the start of a recording: calvalue.dat read (or created
/// with 2 and 3), every beam written while the acquisition is active, then
/// passes over sample 0 of `frame` until every mapped beam is in the window
/// or at a limit; saves calvalue.dat (when that fails, says so naming the
/// file instead of "Calibration OK"). A failed first write shows the
/// communication message; a failed later write stops the acquisition.
CalibrationOutcome runFullCalibration(SensorLink& link, BeamSettings beams, const PlateFormat& plate,
                                      SampleFrame& frame);

/// Bin end: the channels whose flag is false are stepped (never written
/// first) while the acquisition runs or is paused; a done channel gets its
/// flag set. Saves calvalue.dat at the end; a failed write ends it unsaved.
CalibrationOutcome readjustChannels(SensorLink& link, BeamSettings beams, const PlateFormat& plate,
                                    std::array<bool, ChannelCount>& flags);

/// The sensor switches of the main window and the "Manual_Calibration" menu.
struct SensorSwitches {
    bool autoCalibration = false;  ///< "Auto   Calibration" ticked (`Enab_Cal`)
    bool autoZero = false;         ///< "Auto   Zero" ticked (`Enab_Zero`)
    bool manual = false;           ///< "ON" checked: the switches are the operator's
    bool switchesEnabled() const { return manual; }
    bool readBlankVisible() const { return manual; }
    bool fastCalibVisible() const { return !autoCalibration; }
    bool fastZeroVisible() const { return !autoZero; }
};

/// The switches of a loaded project (`Enab_Cal`, `Enab_Zero`), menu "OFF".
SensorSwitches projectSwitches(const ProjectSetup& setup);

/// "OFF" (also run at start-up): both switches ticked and stored, locked.
void manualCalibrationOff(SensorSwitches& switches, ProjectSetup& setup);

/// "ON": the switches unlocked as they are.
void manualCalibrationOn(SensorSwitches& switches);

/// A click on "Auto   Calibration" or "Auto   Zero": the flag and its `Enab_` field.
void setAutoCalibration(SensorSwitches& switches, ProjectSetup& setup, bool ticked);
void setAutoZero(SensorSwitches& switches, ProjectSetup& setup, bool ticked);

}  // namespace zorvex
