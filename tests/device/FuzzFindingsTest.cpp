// Inputs the fuzz targets found faults with, kept so the faults stay fixed.
// Under the sanitizer build these fail loudly if the fault comes back.
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "common/Files.h"
#include "device/PortMap.h"

using namespace zorvex;

TEST(PortNames, LongDigitRunAfterComIsAPathNotAnOverflowingNumber) {
    const PortMap map = defaultPortMap();
    EXPECT_EQ(resolvePortName(map, "COM12141351310"), "COM12141351310");
    EXPECT_EQ(resolvePortName(map, "com99999999999999999999"), "com99999999999999999999");
    EXPECT_EQ(resolvePortName(map, "COM16"), "/dev/ttyUSB15");
    EXPECT_EQ(resolvePortName(map, "COM17"), std::nullopt);
}

TEST(PortMapFile, PathWithADoubleQuoteIsRefusedSinceItCannotBeWrittenBack) {
    test::TempFolder folder;
    writeFile(folder / PortMapFileName, "\"<COM>, <Device>\"\r\n15,/dev/tty\"x\r\n4,\"/dev/pts/9\"\r\n");
    const PortMap map = readPortMap(folder.path());
    EXPECT_EQ(map.device(15), "/dev/ttyUSB14");
    EXPECT_EQ(map.device(4), "/dev/pts/9");
    ASSERT_TRUE(writePortMap(folder.path(), map));
    EXPECT_EQ(readPortMap(folder.path()), map);
}
