#include <gtest/gtest.h>

#include "common/RecordText.h"

using namespace zorvex;

TEST(RecordWriter, WritesQuotedHeadersAndCommaSeparatedValues) {
    RecordWriter writer;
    writer.header("Config: <Actual_Project_Number>, <Last_Project>,<Serial_COM>,<Restart_Time>");
    writer.integer(5).integer(-7).real(2.5).text("a,b").endLine();
    EXPECT_EQ(writer.bytes(),
              "\"Config: <Actual_Project_Number>, <Last_Project>,<Serial_COM>,<Restart_Time>\"\r\n"
              "5,-7,2.5,\"a,b\"\r\n");
}

TEST(RecordWriter, WritesTextInTheFileCodePage) {
    RecordWriter writer;
    writer.text("Caf\xC3\xA9").endLine();
    EXPECT_EQ(writer.bytes(), "\"Caf\xE9\"\r\n");
}

TEST(RecordReader, ReadsFieldsAcrossLines) {
    RecordReader reader("\"Header, with comma\"\r\n5,7,  4,0\r\n\"Caf\xE9\" ,2.125\r\n");
    EXPECT_EQ(reader.text(), "Header, with comma");
    EXPECT_EQ(reader.int16(), 5);
    EXPECT_EQ(reader.int16(), 7);
    EXPECT_EQ(reader.int16(), 4);
    EXPECT_EQ(reader.int16(), 0);
    EXPECT_EQ(reader.text(), "Caf\xC3\xA9");
    EXPECT_EQ(reader.real(), 2.125);
    EXPECT_TRUE(reader.ok());
    EXPECT_TRUE(reader.atEnd());
}

TEST(RecordReader, QuotedNumbersKeepTheirBlanksAndSkipPassesOverAField) {
    RecordReader reader("\" 12 \",\"\x81\",\" 2.5\"\r\n");
    EXPECT_EQ(reader.int16(), 12);
    reader.skip();
    EXPECT_EQ(reader.real(), 2.5);
    EXPECT_TRUE(reader.ok());
    EXPECT_TRUE(reader.atEnd());
}

TEST(RecordReader, SkipsWholeLines) {
    RecordReader reader("Mn4: ,,,,,\r\n1,2\nMn5: x\r3\r\n");
    reader.skipLine();
    EXPECT_EQ(reader.int16(), 1);
    EXPECT_EQ(reader.int16(), 2);
    reader.skipLine();
    EXPECT_EQ(reader.int16(), 3);
    EXPECT_TRUE(reader.ok());
}

TEST(RecordReader, ReadingPastTheEndFailsAndStaysFailed) {
    RecordReader reader("\"only header\"\r\n");
    reader.text();
    EXPECT_TRUE(reader.ok());
    EXPECT_EQ(reader.int16(), 0);
    EXPECT_FALSE(reader.ok());
    reader.skipLine();
    EXPECT_EQ(reader.text(), "");
    EXPECT_FALSE(reader.ok());
}

TEST(RecordReader, NumbersThatAreNotNumbersOrTooLargeFail) {
    for (const char* bytes : {"abc\r\n", "\r\n", "32768\r\n", "-32769\r\n", "1e400\r\n", "5x\r\n"}) {
        RecordReader reader(bytes);
        reader.int16();
        EXPECT_FALSE(reader.ok()) << bytes;
    }
    RecordReader rounding("2.5,3.5,-32768,32767.4\r\n");
    EXPECT_EQ(rounding.int16(), 2);
    EXPECT_EQ(rounding.int16(), 4);
    EXPECT_EQ(rounding.int16(), -32768);
    EXPECT_EQ(rounding.int16(), 32767);
    EXPECT_TRUE(rounding.ok());
}

TEST(RecordReader, UnterminatedQuoteRunsToTheEnd) {
    RecordReader reader("\"never closed, 1, 2");
    EXPECT_EQ(reader.text(), "never closed, 1, 2");
    EXPECT_TRUE(reader.ok());
    EXPECT_TRUE(reader.atEnd());
}

TEST(RecordReader, SurvivesBinaryGarbage) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) & 0xFF);
    RecordReader reader(garbage);
    int reads = 0;
    while (reader.ok() && reads < 10000) {
        reader.text();
        reader.real();
        ++reads;
    }
    EXPECT_FALSE(reader.ok());
}

TEST(RecordText, RoundTripsWhatItWrites) {
    RecordWriter writer;
    writer.integer(-1).real(2.718).real(0.001).text("Group \xC3\xA9, one").endLine();
    RecordReader reader(writer.bytes());
    EXPECT_EQ(reader.int16(), -1);
    EXPECT_EQ(reader.real(), 2.718);
    EXPECT_EQ(reader.real(), 0.001);
    EXPECT_EQ(reader.text(), "Group \xC3\xA9, one");
    EXPECT_TRUE(reader.ok());
}
