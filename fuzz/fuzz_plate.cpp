// Plate format files: a read either fails (and the fallback takes a built-in)
// or gives a plate whose map fits the 384 channels; the setup editor's plate
// operations then run on the plate read.
#include <cstdint>
#include <cstdlib>

#include "FuzzInput.h"
#include "ScriptedDialogs.h"
#include "store/PlateFormat.h"
#include "store/PlateGroups.h"

namespace {

void exercisePlate(const zorvex::PlateFormat& plate, std::string_view itemText) {
    zorvex::ChannelTable channels = zorvex::defaultChannelTable();
    zorvex::GroupTable groups = zorvex::defaultGroupTable();
    // The first and last wells and channels stand for all: a plate of 384
    // beams per well makes every full sweep cost 150,000 lookups.
    for (int well : {0, static_cast<int>(plate.MaxWell), plate.MaxWell + 1}) {
        (void)zorvex::channelsOfWell(plate, well);
        (void)zorvex::wellName(plate, well);
    }
    for (int c : {0, zorvex::ChannelCount - 1}) (void)zorvex::channelName(plate, c);
    if (auto well = zorvex::wellOfItem(plate, itemText)) (void)zorvex::channelsOfWell(plate, *well);
    auto items = zorvex::blockPatternItems(plate);
    // Tiling sweeps the whole map once per group: cubic in the map size, so
    // only maps of real plates' size are tiled, or the run stalls.
    const bool plateSized = (plate.MaxWell + 1) * (plate.MaxBeam + 1) <= 4 * zorvex::ChannelCount;
    if (!items.empty() && plateSized) {
        if (auto block = zorvex::parseBlockPattern(items[zorvex::defaultPatternIndex(items.size())])) {
            zorvex::tilePlate(channels, groups, plate, *block);
        }
    }
    (void)zorvex::groupListItems(channels, groups);
    (void)zorvex::freeChannels(channels, plate);
    zorvex::MapGeometry geometry = zorvex::mapGeometry(plate);
    zorvex::Cell first = zorvex::cellAt(plate, geometry.left, geometry.top);
    zorvex::Cell last = zorvex::cellAt(plate, geometry.right, geometry.bottom);
    for (int well : zorvex::wellsBetween(plate, first, last)) {
        zorvex::applyToWell(channels, plate, well, 1, zorvex::MapAction::Assign);
    }
    if (zorvex::isOnPlate(plate, last)) zorvex::setWellGroup(channels, plate, zorvex::wellOfCell(plate, last), -1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Parts: the plate file, a well item text ("B1.1") for the name lookup.
    auto parts = zorvex::fuzz::splitParts(data, size, 2);
    auto& folder = zorvex::fuzz::scratch();
    folder.clear();
    folder.write("zf.dat", parts[0]);

    zorvex::PlateFormat plate;
    if (zorvex::loadPlateFormat(plate, folder.path(), "zf").ok) {
        const std::size_t cells =
            (static_cast<std::size_t>(plate.MaxWell) + 1) * (static_cast<std::size_t>(plate.MaxBeam) + 1);
        if (plate.MaxWell > zorvex::MaxPlateIndex || plate.MaxBeam > zorvex::MaxPlateIndex ||
            plate.ChannelMap.size() != cells) {
            std::abort();
        }
        exercisePlate(plate, parts[1]);
    }
    std::string name = "zf";
    zorvex::test::ScriptedDialogs dialogs;
    zorvex::loadPlateFormatWithFallback(plate, name, folder.path(), dialogs);
    exercisePlate(plate, parts[1]);
    return 0;
}
