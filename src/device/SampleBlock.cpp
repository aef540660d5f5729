#include "device/SampleBlock.h"

namespace zorvex {

std::optional<SampleBlock> decodeSampleBlock(std::string_view bytes) {
    if (bytes.size() != SampleBlockBytes) return std::nullopt;
    SampleBlock block;
    for (int index = 0; index < SampleBlockValues; ++index) {
        int high = static_cast<unsigned char>(bytes[2 * index]);
        int low = static_cast<unsigned char>(bytes[2 * index + 1]);
        if (high > MaxSampleHighByte) {
            block.faulty = true;
            high = MaxSampleHighByte;
        }
        block.values[index] = static_cast<std::int16_t>(high * 256 + low);
    }
    return block;
}

}  // namespace zorvex
