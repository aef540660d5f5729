#include <gtest/gtest.h>

#include "TempFolder.h"
#include "common/Files.h"
#include "device/PortMap.h"

using namespace zorvex;

TEST(PortMap, WithoutAFileComNIsTtyUsbNMinusOne) {
    test::TempFolder folder;
    PortMap map = readPortMap(folder.path());
    EXPECT_EQ(map.device(1), "/dev/ttyUSB0");
    EXPECT_EQ(map.device(4), "/dev/ttyUSB3");
    EXPECT_EQ(map.device(16), "/dev/ttyUSB15");
    EXPECT_EQ(map.device(0), "");
    EXPECT_EQ(map.device(17), "");
}

TEST(PortMap, DefaultFileHasTheHeaderAndSixteenLines) {
    test::TempFolder folder;
    ASSERT_TRUE(writeDefaultPortMap(folder.path()));
    std::optional<std::string> bytes = readFile(folder / PortMapFileName);
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(bytes->starts_with("\"<COM>, <Device>\"\r\n1,\"/dev/ttyUSB0\"\r\n2,\"/dev/ttyUSB1\"\r\n"));
    EXPECT_EQ(countLines(folder / PortMapFileName), 17);
    EXPECT_TRUE(bytes->ends_with("16,\"/dev/ttyUSB15\"\r\n"));
    EXPECT_EQ(readPortMap(folder.path()), defaultPortMap());
}

TEST(PortMap, EditedLinesCountAndOthersKeepTheirDefault) {
    test::TempFolder folder;
    writeFile(folder / PortMapFileName, "\"<COM>, <Device>\"\r\n4,\"/dev/pts/7\"\r\n17,\"/dev/x\"\r\n5,\"\"\r\n");
    PortMap map = readPortMap(folder.path());
    EXPECT_EQ(map.device(4), "/dev/pts/7");
    EXPECT_EQ(map.device(5), "/dev/ttyUSB4");
    EXPECT_EQ(map.device(3), "/dev/ttyUSB2");
}

TEST(PortMap, GarbledLineEndsTheReadingWithoutLosingEarlierLines) {
    test::TempFolder folder;
    writeFile(folder / PortMapFileName, "\"<COM>, <Device>\"\r\n2,\"/dev/a\"\r\nxyz,\"/dev/b\"\r\n3,\"/dev/c\"\r\n");
    PortMap map = readPortMap(folder.path());
    EXPECT_EQ(map.device(2), "/dev/a");
    EXPECT_EQ(map.device(3), "/dev/ttyUSB2");

    for (const char* bytes : {"", "\"<COM>, <De", "\"<COM>, <Device>\"\r\n4", "\"h\"\r\n99999999,\"/dev/q\"\r\n"}) {
        writeFile(folder / PortMapFileName, bytes);
        EXPECT_EQ(readPortMap(folder.path()), defaultPortMap()) << bytes;
    }
}

TEST(PortMap, ComNamesResolveThroughTheMapAndOtherNamesAreAPath) {
    PortMap map = defaultPortMap();
    map.setDevice(4, "/dev/pts/3");
    EXPECT_EQ(resolvePortName(map, "COM4"), "/dev/pts/3");
    EXPECT_EQ(resolvePortName(map, "com16"), "/dev/ttyUSB15");
    EXPECT_EQ(resolvePortName(map, "COM0"), std::nullopt);
    EXPECT_EQ(resolvePortName(map, "COM17"), std::nullopt);
    EXPECT_EQ(resolvePortName(map, "/dev/ttyS0"), "/dev/ttyS0");
    EXPECT_EQ(resolvePortName(map, ""), std::nullopt);
    EXPECT_EQ(resolvePortName(map, std::string_view("/dev/a\0b", 8)), std::nullopt);
}
