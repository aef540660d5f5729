// The hourly summary of sample blocks that did not come whole.

#include <gtest/gtest.h>

#include "acquisition/BlockFaults.h"

using namespace zorvex;

TEST(BlockFaults, ADeadBankShowsInEveryRecordAndScatteredFaultsInTheirOwn) {
    BlockFaults faults;
    for (int record = 0; record < 3; ++record) {
        for (int tick = 0; tick < 5; ++tick) {
            for (int offset : SampleBlockOffsets) faults.add(offset, offset == 64 ? BlockStatus::Missing : BlockStatus::Complete);
        }
        if (record == 1) faults.add(0, BlockStatus::Faulty);
        faults.closeRecord();
    }
    EXPECT_EQ(faults.takeLine(),
              "Sample blocks not read whole: block 1 (channels 0-31, 128-159, 256-287): 0 missing, 1 faulty, in 1 of 3 "
              "records; block 3 (channels 64-95, 192-223, 320-351): 15 missing, 0 faulty, in 3 of 3 records");
    // The next hour starts from nothing.
    faults.add(96, BlockStatus::Complete);
    faults.closeRecord();
    EXPECT_EQ(faults.takeLine(), std::nullopt);
}
