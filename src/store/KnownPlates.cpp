#include "store/PlateFormat.h"

#include <algorithm>

namespace zorvex {

namespace {

// The 96-well built-ins: wells on every second grid row and column, beam 0
// on the even grid column of the pair; z96f adds beam 1 on the odd column.
// MaxWell is 96, one past the last well, as the built-ins have always said.
PlateFormat builtIn96(double columnOffset, bool twoBeams) {
    PlateFormat plate;
    plate.Rows = 8;
    plate.RowPitch = 2.0;
    plate.RowOffset = -0.5;
    plate.Columns = 12;
    plate.ColumnPitch = 2.0;
    plate.ColumnOffset = columnOffset;
    plate.WellOfChannel.fill(-1);
    plate.BeamOfChannel.fill(0);
    for (int k = 0; k < plate.Columns; ++k) {
        for (int r = 0; r < plate.Rows; ++r) {
            auto well = static_cast<std::int16_t>(k * plate.Rows + r);
            int first = 2 * k * 16 + 2 * r;
            plate.WellOfChannel[first] = well;
            if (twoBeams) {
                plate.WellOfChannel[first + 16] = well;
                plate.BeamOfChannel[first + 16] = 1;
            }
        }
    }
    plate.MaxWell = 96;
    plate.MaxBeam = twoBeams ? 1 : 0;
    return plate;
}

PlateFormat builtIn384() {
    PlateFormat plate;
    plate.Rows = 16;
    plate.RowPitch = 1.0;
    plate.Columns = 24;
    plate.ColumnPitch = 1.0;
    for (int c = 0; c < ChannelCount; ++c) plate.WellOfChannel[c] = static_cast<std::int16_t>(c);
    plate.WellOfChannel[ChannelCount] = -1;
    plate.BeamOfChannel.fill(0);
    plate.MaxWell = MaxPlateIndex;
    plate.MaxBeam = 0;
    return plate;
}

constexpr std::array<KnownPlate, 7> Catalogue = {{
    {"z384", "384 Well microplate [1microbeams/well]", "USE 'Z384' plate Adapter", ""},
    {"z96f", "96 Wells flat bottom [2microbeams/well]", "USE 'Z96F' plate Adapter", ""},
    {"z96u", "96 Wells U shape bottom [1microbeam/well]", "USE 'Z96U' plate Adapter", ""},
    {"z48", "48 Wells flat bottom [1-3microbeams/well]", "USE 'Z384' or 'Z48' plate Adapter", ""},
    {"z24", "24 Wells flat bottom [4microbeams/well]", "USE 'Z384' or 'Z24' plate Adapter", ""},
    {"z6", "6 Wells flat bottom [30-32microbeams/well]", "USE 'Z384' or 'Z6' plate Adapter", ""},
    {"z96flat", "96 Wells flat bottom [4microbeams/well]", "USE 'Z384' or 'Z96x4' plate Adapter",
     "NOTE: DISCONTINUED. Contact provider"},
}};

}  // namespace

std::optional<PlateFormat> builtInPlate(std::string_view name) {
    std::optional<PlateFormat> plate;
    if (name == "z384") plate = builtIn384();
    else if (name == "z96u") plate = builtIn96(-0.5, false);
    else if (name == "z96f") plate = builtIn96(0.0, true);
    if (plate) buildChannelMap(*plate);
    return plate;
}

const std::array<KnownPlate, 7>& knownPlates() { return Catalogue; }

const KnownPlate* findKnownPlate(std::string_view name) {
    auto found = std::find_if(Catalogue.begin(), Catalogue.end(), [&](const KnownPlate& p) { return p.name == name; });
    return found == Catalogue.end() ? nullptr : &*found;
}

std::optional<std::string> plateNotice(std::string_view name) {
    const KnownPlate* plate = findKnownPlate(name);
    if (!plate) return std::nullopt;
    std::string text = std::string(plate->description) + "\r\n" + std::string(plate->adapterNote);
    if (!plate->extraNote.empty()) text += "\r\n" + std::string(plate->extraNote);
    return text;
}

}  // namespace zorvex
