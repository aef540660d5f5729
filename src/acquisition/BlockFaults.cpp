#include "acquisition/BlockFaults.h"

namespace zorvex {

namespace {
constexpr int ChannelsPerTriplet = SampleBlockValues / 3;
constexpr int TripletStride = 128;  // blockChannel(): the three values of a triplet lie 128 channels apart
}  // namespace

std::string blockChannelsText(int offset) {
    std::string text = "channels ";
    for (int part = 0; part < 3; ++part) {
        const int first = offset + TripletStride * part;
        text += (part > 0 ? ", " : "") + std::to_string(first) + "-" + std::to_string(first + ChannelsPerTriplet - 1);
    }
    return text;
}

void BlockFaults::add(int offset, BlockStatus status) {
    if (status == BlockStatus::Complete) return;
    Tally& block = blocks_[static_cast<std::size_t>(offset / ChannelsPerTriplet) % SampleBlockCount];
    (status == BlockStatus::Missing ? block.missing : block.faulty) += 1;
    block.inThisRecord = true;
}

void BlockFaults::closeRecord() {
    ++records_;
    for (Tally& block : blocks_) {
        block.records += block.inThisRecord ? 1 : 0;
        block.inThisRecord = false;
    }
}

std::optional<std::string> BlockFaults::takeLine() {
    std::string text;
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
        const Tally& block = blocks_[b];
        if (block.missing == 0 && block.faulty == 0) continue;
        text += (text.empty() ? "" : "; ") + std::string("block ") + std::to_string(b + 1) + " (" +
                blockChannelsText(SampleBlockOffsets[b]) + "): " + std::to_string(block.missing) + " missing, " +
                std::to_string(block.faulty) + " faulty, in " + std::to_string(block.records) + " of " +
                std::to_string(records_) + (records_ == 1 ? " record" : " records");
    }
    blocks_ = {};
    records_ = 0;
    if (text.empty()) return std::nullopt;
    return "Sample blocks not read whole: " + text;
}

}  // namespace zorvex
