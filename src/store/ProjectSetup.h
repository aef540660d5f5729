#pragma once
// setup.dat: the project's identity, acquisition settings, tool panel switches
// and tool parameters, in a fixed 20-line layout (setup.bak is the previous
// version). Loading repairs a damaged file from setup.bak or from the copy in
// the newest acquisition folder before falling back to defaults.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Dialogs.h"

namespace zorvex {

/// File names of the setup and of its previous version.
inline constexpr const char* SetupFileName = "setup.dat";
inline constexpr const char* SetupBackupName = "setup.bak";

/// The current project's setup.dat values.
struct ProjectSetup {
    std::string Num_proj;        ///< as read; only compared with the project number
    std::string Name;
    std::string Working_folder;  ///< carried; ends with '/'
    std::string Plate_format;

    std::int16_t Aq_mode = 0;
    std::int16_t Aq_lapse = 0;  ///< minutes
    std::int16_t Sample_Rate = 0;
    std::int16_t RT_Buffer = 0;  ///< samples per acquisition bin
    std::int16_t DSP_Method = 0;
    std::int16_t DSP_Interval = 0;

    std::int16_t Binary_Acq = 0;
    std::int16_t Threshold_Counter = 0;
    std::int16_t Cal_value = 0;
    std::int16_t Cal_mode = 0;
    std::int16_t Save_counts = 0;
    std::int16_t Save_real = 0;

    std::int16_t Menu1_Cal = 0;
    std::int16_t Menu2_Light = 0;
    std::int16_t Menu3_Temp = 0;
    std::int16_t Menu4 = 0;
    std::int16_t Menu5 = 0;
    std::int16_t Menu6 = 0;

    /// Tool parameters Mn[row][param], rows 1..6 as numbered in the file (row 0
    /// is unused): row 1 Organism, Enab_Cal, Enab_Zero, SNRx10; row 2 light
    /// Enable, Time_ON, Time_OFF, pulse count, pulse on, pulse off (tenths);
    /// row 3 temperature Enable, Tempx10.
    std::array<std::array<std::int16_t, 6>, 7> Mn{};

    friend bool operator==(const ProjectSetup&, const ProjectSetup&) = default;
};

/// Receives the text for the start-up window's status line.
using StatusLine = std::function<void(const std::string&)>;

/// Where a setup.dat is loaded from and which project it must describe.
struct SetupSource {
    std::filesystem::path programFolder;  ///< parent of the pNNNNN folders (recovery, defaults)
    std::filesystem::path projectFolder;  ///< the folder whose setup.dat is read
    int projectNumber = 0;                ///< n: identity check, recovery folder, messages
    int actualProjectNumber = 0;          ///< quoted by the identity warning
};

/// The default setup of project n (Name "Default", z96f, 30 minutes, ...).
ProjectSetup defaultSetup(const std::filesystem::path& programFolder, int projectNumber);

/// The Working_folder of project n: the program folder's pNNNNN folder with a
/// trailing '/'.
std::string defaultWorkingFolder(const std::filesystem::path& programFolder, int projectNumber);

/// Loads setup.dat into `setup` with the staged recovery: a failed read is
/// repaired from setup.bak or the newest acquisition folder's copy and read
/// again (once per load), else the failed line groups and all after them take
/// their defaults. Messages go through `dialogs`; the identity warning also
/// goes to `status`.
void loadSetup(ProjectSetup& setup, const SetupSource& source, Dialogs& dialogs, const StatusLine& status = {});

/// loadSetup on the bytes of setup.dat, without the repair: a failed read
/// gives its defaults at once, with loadSetup's messages.
void parseSetup(ProjectSetup& setup, std::string_view bytes, const SetupSource& source, Dialogs& dialogs,
                const StatusLine& status = {});

/// A setup.dat as it stands, read without repair.
struct SetupAsIs {
    ProjectSetup setup;     ///< groups after a damaged one stay 0
    bool complete = false;  ///< all 20 lines read, tool parameters included
};

/// Reads a setup.dat without repairing it (an acquisition's copy must stay as
/// recorded): nothing when the identity line or line 4 does not read.
std::optional<SetupAsIs> readSetupAsIs(const std::filesystem::path& file);

/// readSetupAsIs on the bytes of a setup.dat.
std::optional<SetupAsIs> parseSetupAsIs(std::string_view bytes);

/// The 20 lines of setup.dat for `setup`, with `numProj` as Num_proj.
std::string setupFileBytes(const ProjectSetup& setup, int numProj);

/// Writes setup.dat (20 lines) into `file`; false when it could not be written.
bool writeSetupFile(const ProjectSetup& setup, int numProj, const std::filesystem::path& file);

}  // namespace zorvex
