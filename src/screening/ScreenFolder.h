#pragma once
// The screen of a recorded acquisition folder, as the command line's
// "screen" and the report window's "Screening..." run it: read the folder,
// its groupinfo.csv and its counts, screen, write the result files.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "screening/Screening.h"

namespace zorvex {

/// What to screen and where the results go.
struct ScreeningRequest {
    std::filesystem::path acquisitionFolder;
    std::filesystem::path programFolder;  ///< where the plate format files are
    double windowStartHours = 0;          ///< H1, included
    double windowEndHours = 0;            ///< H2, excluded
    Normalisation normalisation = Normalisation::Control;
    Ic50Kind ic50Kind = Ic50Kind::Relative;  ///< absolute needs percent of control
    long long binMinutes = 60;        ///< bins of percent of control, adjusted as the report adjusts them
    std::filesystem::path outFolder;  ///< empty: screeningFolder(acquisitionFolder)
};

/// What a screen gave.
struct ScreeningOutcome {
    std::optional<ScreeningPlate> plate;      ///< what was read; none when the folder could not be
    std::optional<ScreeningResults> results;  ///< none when nothing could be screened
    std::vector<std::filesystem::path> files;  ///< the files written
    std::vector<std::string> messages;  ///< everything the operator should read, in order
};

/// The hours of a window written "H1-H2" (decimal numbers, H1 >= 0, H2 > H1,
/// blanks around allowed); nothing for anything else.
std::optional<std::pair<double, double>> parseHourWindow(std::string_view text);

/// The default results folder of an acquisition: <folder>/screening.
std::filesystem::path screeningFolder(const std::filesystem::path& acquisitionFolder);

/// Screens the acquisition over [H1, H2) hours from its start: a record
/// counts when its elapsed-minute stamp lies in [60 H1, 60 H2). Writes
/// results.csv, percent_of_control.csv, plate_quality.csv and wells.csv.
ScreeningOutcome screenAcquisition(const ScreeningRequest& request);

}  // namespace zorvex
