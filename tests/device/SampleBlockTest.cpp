#include <set>
#include <string>

#include <gtest/gtest.h>

#include "device/SampleBlock.h"

using namespace zorvex;

namespace {
std::string zeroBlock() { return std::string(SampleBlockBytes, '\0'); }
}  // namespace

TEST(SampleBlock, SecondValueIsTheMiddleBankOfTheFirstTriplet) {
    std::string bytes = zeroBlock();
    bytes[2] = 0x0A;
    bytes[3] = 0x10;
    std::optional<SampleBlock> block = decodeSampleBlock(bytes);
    ASSERT_TRUE(block);
    EXPECT_FALSE(block->faulty);
    EXPECT_EQ(block->values[1], 2576);
    EXPECT_EQ(blockChannel(64, 1), 64 + 128);
    EXPECT_EQ(block->values[0], 0);
}

TEST(SampleBlock, ValuesAreBigEndianInTripletOrder) {
    std::string bytes = zeroBlock();
    for (int index = 0; index < SampleBlockValues; ++index) {
        int value = index * 40 + 7;
        bytes[2 * index] = static_cast<char>(value >> 8);
        bytes[2 * index + 1] = static_cast<char>(value & 0xFF);
    }
    std::optional<SampleBlock> block = decodeSampleBlock(bytes);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->values[95], 95 * 40 + 7);
    EXPECT_EQ(blockChannel(96, 95), 96 + 31 + 256);
    EXPECT_EQ(blockChannel(32, 3), 33);
}

TEST(SampleBlock, HighByteAboveFifteenMarksTheBlockFaulty) {
    std::string bytes = zeroBlock();
    bytes[40] = 0x10;
    bytes[41] = 0x22;
    std::optional<SampleBlock> block = decodeSampleBlock(bytes);
    ASSERT_TRUE(block);
    EXPECT_TRUE(block->faulty);
    EXPECT_EQ(block->values[20], 15 * 256 + 0x22);
    bytes[40] = static_cast<char>(0xFF);
    EXPECT_TRUE(decodeSampleBlock(bytes)->faulty);
}

TEST(SampleBlock, OnlyExactly192BytesAreABlock) {
    EXPECT_FALSE(decodeSampleBlock(std::string(191, '\0')));
    EXPECT_FALSE(decodeSampleBlock(std::string(193, '\0')));
    EXPECT_FALSE(decodeSampleBlock(""));
}

TEST(SampleBlock, FourOffsetsCoverEveryChannelOnce) {
    std::set<int> channels;
    for (int offset : SampleBlockOffsets) {
        for (int index = 0; index < SampleBlockValues; ++index) channels.insert(blockChannel(offset, index));
    }
    EXPECT_EQ(channels.size(), 384u);
    EXPECT_EQ(*channels.begin(), 0);
    EXPECT_EQ(*channels.rbegin(), 383);
}
