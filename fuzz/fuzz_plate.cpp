// Plate format files parsed in memory: a read either fails (and the fallback
// takes a built-in) or gives a plate whose map fits the 384 channels; the
// setup editor's plate operations then run on the plate.
#include <cstdint>

#include "FuzzInput.h"
#include "ReaderChecks.h"
#include "ScriptedDialogs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zorvex;
    // Parts: the plate file, a well item text ("B1.1") for the name lookup.
    auto parts = fuzz::splitParts(data, size, 2);
    PlateFormat plate;
    PlateLoad load;
    if (!parts[0].empty()) load = parsePlateFormat(plate, parts[0]);
    if (load.ok) {
        fuzz::checkPlateMap(plate);
    } else {
        std::string name = "zf";
        test::ScriptedDialogs dialogs;
        fallBackToBuiltInPlate(plate, name, load, dialogs);
    }
    fuzz::exercisePlate(plate, parts[1]);
    return 0;
}
