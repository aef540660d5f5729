#pragma once
// Missing and faulty sample blocks of a run, counted per block and record
// and told in events.log once an hour, so a dead bank of beams shows in the
// run's story instead of only as flat traces found weeks later.

#include <array>
#include <optional>
#include <string>

#include "device/COM_Module.h"
#include "device/SampleBlock.h"

namespace zorvex {

class BlockFaults {
public:
    /// One exchange of the block at `offset` (one of SampleBlockOffsets).
    void add(int offset, BlockStatus status);
    /// A record ends: its blocks that were missing or faulty count it once.
    void closeRecord();
    /// The line for the records since the previous one, nothing when every
    /// block came whole; the count starts again either way.
    std::optional<std::string> takeLine();

private:
    struct Tally {
        long long missing = 0;
        long long faulty = 0;
        int records = 0;          ///< records in which the block failed at least once
        bool inThisRecord = false;
    };
    std::array<Tally, SampleBlockCount> blocks_{};
    int records_ = 0;
};

/// "channels 32-63, 160-191, 288-319": the channels of the block at `offset`.
std::string blockChannelsText(int offset);

}  // namespace zorvex
