// The readers' file input: the first byte chooses the reader, the rest is
// the input of that reader's in-memory target, written into files of a
// scratch folder and read through the loaders the program calls. Slow (every
// input goes to disk), so one target serves all the file types.
#include <cstdint>

#include "FileReaders.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zorvex::fuzz;
    if (size < 1) return 0;
    scratch().clear();
    FileReaders[data[0] % FileReaders.size()].read(data + 1, size - 1);
    return 0;
}
