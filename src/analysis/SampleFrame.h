#pragma once
// The real-time buffer: one row of samples per channel slot 0..384, each row
// RT_Buffer + 1 slots long. Rows are contiguous because the activity
// calculation works a channel at a time.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/Channels.h"

namespace zorvex {

class SampleFrame {
public:
    /// A frame for a buffer of `rtBuffer` samples: rtBuffer + 1 slots, all 0.
    explicit SampleFrame(int rtBuffer = 500)
        : slots_(rtBuffer + 1), samples_(static_cast<std::size_t>(ChannelSlots) * (rtBuffer + 1), 0) {}

    /// Samples per row: RT_Buffer + 1.
    int slotCount() const { return slots_; }
    /// RT_Buffer, the number of samples of one bin.
    int rtBuffer() const { return slots_ - 1; }

    std::int16_t& at(int channel, int slot) { return samples_[index(channel, slot)]; }
    std::int16_t at(int channel, int slot) const { return samples_[index(channel, slot)]; }

    /// The row of one channel, `slotCount()` samples.
    std::int16_t* row(int channel) { return samples_.data() + index(channel, 0); }
    const std::int16_t* row(int channel) const { return samples_.data() + index(channel, 0); }

    void clear() { std::fill(samples_.begin(), samples_.end(), 0); }

private:
    std::size_t index(int channel, int slot) const {
        return static_cast<std::size_t>(channel) * slots_ + slot;
    }
    int slots_;
    std::vector<std::int16_t> samples_;
};

}  // namespace zorvex
