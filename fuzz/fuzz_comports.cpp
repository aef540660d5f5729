// comports.dat and the port names resolved through it.
#include <cstdint>
#include <cstdlib>

#include "FuzzInput.h"
#include "ReadBackChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Parts: comports.dat, a port name as typed ("COM4").
    auto parts = zorvex::fuzz::splitParts(data, size, 2);
    const zorvex::PortMap map = zorvex::parsePortMap(parts[0]);
    zorvex::fuzz::exercisePortMap(map, parts[1]);
    // What the program writes, it reads back unchanged.
    if (!(zorvex::parsePortMap(zorvex::portMapBytes(map)) == map)) std::abort();
    return 0;
}
