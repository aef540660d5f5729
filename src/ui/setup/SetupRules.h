#pragma once
// The setup editor's rules that need no widget: how typed numbers become
// settings, the clamps of the lapse and buffer boxes, project numbering and
// the project list.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvex {

/// A typed number as a setting: the value of its leading numeric text (0 for
/// none), clamped to the 16-bit range and rounded half to even.
std::int16_t typedInt16(std::string_view text);

/// What a number box stores, and the text it must show instead of the typed
/// one when the value was corrected.
struct BoxValue {
    std::int16_t value = 0;
    std::optional<std::string> shownText;
};

/// What is wrong with a number box's text, named by its `caption`: nothing
/// for a whole number (a sign and up to five digits), else the message.
std::optional<std::string> wholeNumberProblem(std::string_view caption, std::string_view text);

/// A box that takes any 16-bit integer; a value beyond the range shows clamped.
BoxValue anyInt16(std::string_view text);

/// The lapse box: 32000 and more become 32000, 0 and less (and a fraction
/// that rounds to 0) become 2.
BoxValue lapseMinutes(std::string_view text);

/// The real-time buffer box: a value outside 200..10000 becomes 200.
BoxValue bufferSamples(std::string_view text);

/// The number a new project gets after `lastProject`: numbers run from 1 to
/// 32000, then start again at 1.
std::int16_t nextProjectNumber(int lastProject);

/// The project folder names of the program folder ("p" and five more
/// characters, folders or files, but no link leading out of it), in name order.
std::vector<std::string> listProjectNames(const std::filesystem::path& programFolder);

/// The top of a group label `textHeight` tall in a well spanning `top` to
/// `bottom` of the plate map (y down, a row of beam dots of `dotRadius` every
/// 100 units at 50, 150, ...): centred in the first gap between the dot rows
/// that holds it, so no beam dot falls on the label; `top` + `fallbackDrop`
/// when no gap does.
double groupLabelTop(double top, double bottom, double textHeight, double dotRadius, double fallbackDrop);

/// How Load lists a project folder: its name and the folder ("Larvae (p00002)"),
/// the folder alone when its setup.dat names none.
std::string projectListEntry(const std::filesystem::path& programFolder, const std::string& folderName);

/// The project number of a listed name: the value of its last five characters.
std::int16_t projectNumberOfName(std::string_view name);

/// A typed project or group name as it will be stored, trimmed of blanks;
/// nothing when no name is left.
std::optional<std::string> typedName(std::string_view text);

}  // namespace zorvex
