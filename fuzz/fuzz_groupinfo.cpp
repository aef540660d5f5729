// groupinfo.csv and the imported plate layout: the screening's annotations.
// Input: groupinfo.csv, separator, a layout text (read against z96f, every
// well of column n in group n).
#include <cstdint>
#include <cstdlib>

#include "FuzzInput.h"
#include "screening/GroupInfoFile.h"
#include "screening/LayoutImport.h"
#include "store/PlateGroups.h"

namespace {

// The plate the layouts are read against, made once.
struct LayoutPlate {
    zorvex::PlateFormat plate = *zorvex::builtInPlate("z96f");
    zorvex::ChannelTable channels = zorvex::defaultChannelTable();
    zorvex::GroupTable groups = zorvex::defaultGroupTable();
    LayoutPlate() {
        for (int well = 0; well <= plate.MaxWell; ++well) zorvex::setWellGroup(channels, plate, well, well / plate.Rows);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const LayoutPlate layout;
    auto parts = zorvex::fuzz::splitParts(data, size, 2);
    auto& folder = zorvex::fuzz::scratch();
    folder.clear();
    folder.write(zorvex::GroupInfoFileName, parts[0]);
    // What was read is written back and reads back the same.
    zorvex::GroupInfoRead read = zorvex::readGroupInfo(folder.path());
    if (!read.annotations.empty()) {
        zorvex::GroupTable names;
        for (const auto& [group, annotation] : read.annotations) names.Name[static_cast<std::size_t>(group)] = annotation.name;
        if (!zorvex::writeGroupInfo(folder.path(), read.annotations, names)) std::abort();
        zorvex::GroupInfoRead again = zorvex::readGroupInfo(folder.path());
        if (again.annotations != read.annotations || !again.messages.empty()) std::abort();
    }
    zorvex::LayoutImport imported = zorvex::importLayout(parts[1], layout.plate, layout.channels, layout.groups);
    for (const auto& [group, annotation] : imported.annotations) {
        if (group < 0 || group >= zorvex::ChannelSlots) std::abort();
    }
    return 0;
}
