// groupinfo.csv and the imported plate layout: the screening's annotations.
// Input: groupinfo.csv, separator, a layout text (read against z96f, every
// well of column n in group n).
#include <cstdint>
#include <cstdlib>

#include "FuzzInput.h"
#include "ReadBackChecks.h"
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
    // What was read is written back and reads back the same.
    const zorvex::GroupInfoRead read = zorvex::parseGroupInfo(parts[0]);
    if (!read.annotations.empty()) {
        const std::string text = zorvex::groupInfoText(read.annotations, zorvex::fuzz::groupNamesOf(read.annotations));
        zorvex::fuzz::checkGroupInfoReadBack(read, zorvex::parseGroupInfo(text));
    }
    zorvex::LayoutImport imported = zorvex::importLayout(parts[1], layout.plate, layout.channels, layout.groups);
    for (const auto& [group, annotation] : imported.annotations) {
        if (group < 0 || group >= zorvex::ChannelSlots) std::abort();
    }
    return 0;
}
