#pragma once

namespace zorvex {

constexpr int ChannelCount = 384;  ///< channels (microbeams) 0..383 of the instrument
constexpr int ChannelSlots = 385;  ///< table slots 0..384; slot 384 is never measured

}  // namespace zorvex
