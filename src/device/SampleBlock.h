#pragma once
// The instrument's 192-byte sample block: 96 big-endian 12-bit values in 32
// triplets, triplet j holding channels B + j, B + j + 128 and B + j + 256 of
// the block at offset B. Decoding is a pure function of the bytes.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zorvex {

constexpr int SampleBlockBytes = 192;
constexpr int SampleBlockValues = 96;
constexpr int SampleBlockCount = 4;                             ///< blocks per sample of every channel
constexpr std::array<int, SampleBlockCount> SampleBlockOffsets{0, 32, 64, 96};
constexpr int MaxSampleHighByte = 15;                           ///< a higher byte marks the block faulty

/// The values of one block in wire order.
struct SampleBlock {
    std::array<std::int16_t, SampleBlockValues> values{};
    bool faulty = false;  ///< some high byte was above 15 (its value was cut to 15 x 256 + low)
};

/// Channel of value `index` (0..95) of the block at `offset`.
constexpr int blockChannel(int offset, int index) { return offset + index / 3 + 128 * (index % 3); }

/// The block in `bytes`; nothing unless there are exactly 192 bytes.
std::optional<SampleBlock> decodeSampleBlock(std::string_view bytes);

}  // namespace zorvex
