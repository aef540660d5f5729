// comports.dat and the port names resolved through it.
#include <cstdint>
#include <cstdlib>

#include "FuzzInput.h"
#include "device/PortMap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Parts: comports.dat, a port name as typed ("COM4").
    auto parts = zorvex::fuzz::splitParts(data, size, 2);
    auto& folder = zorvex::fuzz::scratch();
    folder.clear();
    folder.write(zorvex::PortMapFileName, parts[0]);
    zorvex::PortMap map = zorvex::readPortMap(folder.path());
    (void)zorvex::resolvePortName(map, parts[1]);
    // What the program writes, it reads back unchanged.
    if (!zorvex::writePortMap(folder.path(), map) || !(zorvex::readPortMap(folder.path()) == map)) std::abort();
    for (int com = 0; com <= zorvex::PortCount + 1; ++com) (void)map.device(com);
    return 0;
}
