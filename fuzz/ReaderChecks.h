#pragma once
// The checks a reader's fuzz target makes on what was read, shared by the
// target that parses bytes in memory and fuzz_files, which reads the same
// input through files. Each check aborts on a fault.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/CalibrationFile.h"
#include "analysis/SampleFrame.h"
#include "ScriptedDialogs.h"
#include "reports/Report.h"
#include "store/PlateFormat.h"

namespace zorvex::fuzz {

/// A plate read without error has a map that fits the channels.
void checkPlateMap(const PlateFormat& plate);

/// Runs the setup editor's plate operations on `plate`; `itemText` is a well
/// item ("B1.1") for the name lookup.
void exercisePlate(const PlateFormat& plate, std::string_view itemText);

/// The settings a program keeps until calvalue.dat says otherwise.
void fillDefaultCalibration(BeamTable& pinHole, BeamTable& gain);

/// Every beam read holds settings in range (or 0, 0), beams not reached keep
/// their defaults.
void checkCalibrationRead(const CalibrationFileRead& read, const BeamTable& pinHole, const BeamTable& gain);

/// What calvalue.dat was written back as reads all 384 lines unchanged and
/// without a note.
void checkCalibrationReadBack(const CalibrationFileRead& again, const BeamTable& pinHole, const BeamTable& gain,
                              const BeamTable& pinHoleAgain, const BeamTable& gainAgain);

/// What the real-time fuzz targets take from the input's four leading bytes.
struct RealTimeChoice {
    int rtBuffer = 1;  ///< small, so dumps stay small
    int bin = 0;
    int method = 0;    ///< 3 is no method
    int row = 0;       ///< the channel counted
    double snr = 1.0;
};
RealTimeChoice realTimeChoice(const std::uint8_t* data);

/// A dump read holds the samples of its file's bytes `file`, and the activity
/// calculation runs on it.
void checkDump(SampleFrame& frame, const std::string& file, const RealTimeChoice& choice);

/// The report request of a fuzzed settings part: a layout byte, then the bin
/// size as 32 bits.
ReportRequest reportRequest(const std::string& settings);

/// Computes the report's tables; a computation without error placed every
/// record in a bin. Nothing when the tables would be too large to fuzz at speed.
std::optional<ReportTables> checkReportTables(const ReportPlate& plate, const LoadedSeries& series,
                                              const ReportRequest& request, test::ScriptedDialogs& dialogs);

}  // namespace zorvex::fuzz
