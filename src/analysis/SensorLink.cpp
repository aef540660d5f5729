#include "analysis/SensorLink.h"

#include <algorithm>

#include "device/COM_Module.h"

namespace zorvex {

BlocksReceived readChannelLevels(ModCOMM& comm, int port, ChannelLevels& levels) {
    BlocksReceived received{};
    for (std::size_t b = 0; b < SampleBlockOffsets.size(); ++b) {
        const int offset = SampleBlockOffsets[b];
        const BlockReply reply = readSampleBlock(comm, port, offset);
        // Unlike the acquisition cycle, a faulty block is used: its values were cut to 12 bits.
        if (reply.status == BlockStatus::Missing) continue;
        received[b] = true;
        for (int index = 0; index < SampleBlockValues; ++index) {
            const std::int16_t value = reply.block.values[static_cast<std::size_t>(index)];
            levels[static_cast<std::size_t>(blockChannel(offset, index))] = std::max<std::int16_t>(value, 0);
        }
    }
    return received;
}

void discardChannelLevels(ModCOMM& comm, int port) {
    for (int offset : SampleBlockOffsets) readSampleBlock(comm, port, offset);
}

}  // namespace zorvex
