// Plate format files parsed in memory: a read either fails (and the fallback
// takes a built-in) or gives a plate whose map fits the 384 channels, and the
// setup editor's plate operations then run on it.
#include <cstdint>

#include "FuzzInput.h"
#include "ReaderChecks.h"
#include "ScriptedDialogs.h"
#include "store/PlateGroups.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zorvex;
    // Parts: the plate file, a well item text ("B1.1") for the name lookup.
    auto parts = fuzz::splitParts(data, size, 2);
    PlateFormat plate;
    PlateLoad load;
    if (!parts[0].empty()) load = parsePlateFormat(plate, parts[0]);
    if (load.ok) {
        fuzz::checkPlateMap(plate);
        fuzz::exercisePlate(plate, parts[1]);
        return 0;
    }
    std::string name = "zf";
    test::ScriptedDialogs dialogs;
    fallBackToBuiltInPlate(plate, name, load, dialogs);
    // The built-in plates are the same every time; only the item looked up is new.
    (void)wellOfItem(plate, parts[1]);
    return 0;
}
