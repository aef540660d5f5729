#pragma once
// Plate formats: how the wells of the plate in use sit over the instrument's
// 16 x 24 grid of channels (channel c in grid column c / 16, row c % 16), and
// which channel is which beam of which well. Read from <name>.dat in the
// program folder, with built-in z384, z96u and z96f as the fallback.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Dialogs.h"
#include "store/ChannelTables.h"

namespace zorvex {

/// Largest well number and beam index a plate may use: 384 channels can
/// occupy no more, and the map is sized from them.
constexpr int MaxPlateIndex = ChannelCount - 1;

/// The current plate. Wells are numbered column by column: well = k * Rows + r.
struct PlateFormat {
    std::int16_t Rows = 0;
    double RowPitch = 0.0;      ///< well height in grid rows
    double RowOffset = 0.0;     ///< grid row where the first well row starts
    std::int16_t Columns = 0;
    double ColumnPitch = 0.0;   ///< well width in grid columns
    double ColumnOffset = 0.0;  ///< grid column where the first well column starts
    std::array<std::int16_t, ChannelSlots> WellOfChannel{};  ///< -1 = the channel is in no well
    std::array<std::int16_t, ChannelSlots> BeamOfChannel{};  ///< beam index within its well
    std::int16_t MaxWell = 0;
    std::int16_t MaxBeam = 0;
    /// Channel of beam b of well w at [w * (MaxBeam + 1) + b]; entries no
    /// channel claims hold 0.
    std::vector<std::int16_t> ChannelMap;

    /// The ChannelMap entry of beam `beam` of well `well`; 0 outside the map.
    std::int16_t channelAt(int well, int beam) const;

    friend bool operator==(const PlateFormat&, const PlateFormat&) = default;
};

/// Rebuilds ChannelMap from the wells and beams of channels 0..383 (a later
/// channel wins a shared entry); false when a well or beam lies outside
/// 0..MaxWell / 0..MaxBeam.
bool buildChannelMap(PlateFormat& plate);

/// Outcome of reading a plate file: the stage reached is quoted in messages
/// (0 not opened, 1 opened, 2 geometry read, 3 mapping read).
struct PlateLoad {
    bool ok = false;
    int stage = 0;
};

/// Reads <programFolder>/<name>.dat. On success replaces `plate` (channels the
/// file does not list are in no well); on failure leaves it unchanged.
PlateLoad loadPlateFormat(PlateFormat& plate, const std::filesystem::path& programFolder, const std::string& name);

/// loadPlateFormat on the bytes of a plate file that was found (stage 1 on).
PlateLoad parsePlateFormat(PlateFormat& plate, std::string_view bytes);

/// The file <name>.dat (or <name><extension>) of the program folder, matched
/// without regard to case as the operator's file system would (Z96U.DAT
/// serves z96u); nothing when there is none or `name` is not a plain file name.
std::optional<std::filesystem::path> findPlateFile(const std::filesystem::path& programFolder,
                                                   const std::string& name, std::string_view extension = ".dat");

/// The plate list of the setup editor: every z*.dat file of the program
/// folder, in lower case and without ".dat", in name order.
std::vector<std::string> listPlateNames(const std::filesystem::path& programFolder);

/// Reads the plate named `plateName`; on failure shows the fallback message
/// with the stage, renames a plate without built-in to z96f, and uses the
/// built-in format.
void loadPlateFormatWithFallback(PlateFormat& plate, std::string& plateName,
                                 const std::filesystem::path& programFolder, Dialogs& dialogs);

/// The fallback of a plate that did not load: the message with the stage of
/// `failed`, a plate without built-in renamed to z96f, the built-in format.
void fallBackToBuiltInPlate(PlateFormat& plate, std::string& plateName, const PlateLoad& failed, Dialogs& dialogs);

/// The built-in z384, z96u or z96f; nothing for other names.
std::optional<PlateFormat> builtInPlate(std::string_view name);

/// Well name from row letter and column number: well 0 "A1", well 1 "B1".
std::string wellName(const PlateFormat& plate, int well);

/// Well number of a name such as "B3" or "b03" (as liquid handlers write
/// them); nothing for a name that is no well of `plate`.
std::optional<int> wellOfName(const PlateFormat& plate, std::string_view name);

/// A plate known by name, with the setup editor's description and adapter note.
struct KnownPlate {
    std::string_view name;
    std::string_view description;
    std::string_view adapterNote;
    std::string_view extraNote;  ///< empty except for discontinued plates
};

/// The seven plates shipped with the program, in catalogue order.
const std::array<KnownPlate, 7>& knownPlates();

/// The catalogue entry of `name`, or null.
const KnownPlate* findKnownPlate(std::string_view name);

/// The text shown when a plate is chosen: description, CR LF, adapter note,
/// and CR LF + the extra note when there is one; nothing for unknown names.
std::optional<std::string> plateNotice(std::string_view name);

}  // namespace zorvex
