// Inputs the fuzz targets found faults with, kept so the faults stay fixed.
// Under the sanitizer build these fail loudly if the fault comes back.
#include <gtest/gtest.h>

#include "device/PortMap.h"

using namespace zorvex;

TEST(PortNames, LongDigitRunAfterComIsAPathNotAnOverflowingNumber) {
    const PortMap map = defaultPortMap();
    EXPECT_EQ(resolvePortName(map, "COM12141351310"), "COM12141351310");
    EXPECT_EQ(resolvePortName(map, "com99999999999999999999"), "com99999999999999999999");
    EXPECT_EQ(resolvePortName(map, "COM16"), "/dev/ttyUSB15");
    EXPECT_EQ(resolvePortName(map, "COM17"), std::nullopt);
}
