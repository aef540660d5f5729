// The record-field reader on any bytes, driven by a read plan taken from the
// input itself: every mix of text, integer, real and skipped-line reads.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/RecordText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t planLength = std::min<std::size_t>(data[0] % 16, size - 1);
    const std::uint8_t* plan = data + 1;
    std::string bytes(reinterpret_cast<const char*>(data + 1 + planLength), size - 1 - planLength);
    zorvex::RecordReader in(std::move(bytes));
    // Bounded: a reader that stops advancing must not hang the run.
    for (std::size_t step = 0; step < 4096 && in.ok() && !in.atEnd(); ++step) {
        switch (planLength == 0 ? 0 : plan[step % planLength] % 4) {
            case 0: (void)in.text(); break;
            case 1: (void)in.int16(); break;
            case 2: (void)in.real(); break;
            default: in.skipLine(); break;
        }
    }
    return 0;
}
