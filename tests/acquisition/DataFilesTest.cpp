#include <gtest/gtest.h>

#include "TempFolder.h"
#include "acquisition/DataFiles.h"
#include "common/Files.h"
#include "common/Numbers.h"

using namespace zorvex;

namespace {

ActivityRecord makeRecord(int seed) {
    ActivityRecord record;
    record.elapsedMinutes = seed * 3;
    for (int c = 0; c < ChannelCount; ++c) record.counts[c] = static_cast<std::int16_t>((c * 37 + seed) % 2000 - 100);
    record.temperatureTenths = static_cast<std::int16_t>(250 + seed);
    return record;
}

SampleFrame makeFrame(int rtBuffer, int seed) {
    SampleFrame frame(rtBuffer);
    for (int c = 0; c < ChannelCount; ++c) {
        for (int s = 0; s < rtBuffer; ++s) frame.at(c, s) = static_cast<std::int16_t>((c * 131 + s * 7 + seed) % 4096);
    }
    return frame;
}

}  // namespace

TEST(AcquisitionFolder, IsNamedByTheStartMinute) {
    EXPECT_EQ(acquisitionFolderPath("proj", {2026, 12, 6, 14, 58, 59}), std::filesystem::path("proj/06122026_1458"));
}

TEST(ExperimentInfo, IsTwoQuotedLinesAndReadsBack) {
    test::TempFolder folder;
    ASSERT_TRUE(writeExperimentInfo(folder.path(), {"Dose 2, day 1", "Wild type\xC2\xB0"}));
    EXPECT_EQ(readFile(folder / "subproj.dat"), "\"Dose 2, day 1\"\r\n\"Wild type\xB0\"\r\n");
    auto info = readExperimentInfo(folder.path());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->name, "Dose 2, day 1");
    EXPECT_EQ(info->description, "Wild type\xC2\xB0");
}

TEST(ExperimentInfo, MissingOrTruncatedFileReadsAsNothing) {
    test::TempFolder folder;
    EXPECT_FALSE(readExperimentInfo(folder.path()));
    writeFile(folder / "subproj.dat", "\"only a name\"\r\n");
    EXPECT_FALSE(readExperimentInfo(folder.path()));
}

TEST(ActivityRecord, HasTheStoredByteLayout) {
    ActivityRecord record;
    record.elapsedMinutes = 0x01020304;
    record.counts[0] = -2;
    record.counts[383] = 0x1234;
    record.temperatureTenths = 252;
    std::string bytes = encodeActivityRecord(record);
    ASSERT_EQ(bytes.size(), ActivityRecordBytes);
    EXPECT_EQ(bytes.substr(0, 6), std::string("\x04\x03\x02\x01\xFE\xFF", 6));
    EXPECT_EQ(bytes.substr(770, 4), std::string("\x34\x12\xFC\x00", 4));
}

TEST(ActivityRecord, ThreeBinsMake2322BytesAndReadBack) {
    test::TempFolder folder;
    for (int k = 0; k < 3; ++k) ASSERT_TRUE(appendActivityRecord(folder.path(), makeRecord(k)));
    EXPECT_EQ(std::filesystem::file_size(folder / "counts.bin"), 2322u);
    auto records = readActivityRecords(folder.path());
    ASSERT_EQ(records.size(), 3u);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(records[k], makeRecord(k));
}

TEST(ActivityRecord, TrailingPartialRecordIsIgnored) {
    test::TempFolder folder;
    appendActivityRecord(folder.path(), makeRecord(1));
    appendFile(folder / "counts.bin", std::string(500, '\x7F'));
    auto records = readActivityRecords(folder.path());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], makeRecord(1));
    EXPECT_TRUE(readActivityRecords(folder / "missing").empty());
}

TEST(Temperature, TenthsRoundHalfToEven) {
    EXPECT_EQ(temperatureTenths(25.25), 252);
    EXPECT_EQ(temperatureTenths(25.75), 258);
    EXPECT_THROW(temperatureTenths(4000.0), OverflowError);
}

TEST(RealTimeFile, ElevenDumpsOfBuffer500FillOneFile) {
    test::TempFolder folder;
    FileCounters counters;
    for (int bin = 0; bin < 12; ++bin) {
        ASSERT_TRUE(appendRealTimeDump(folder.path(), counters.fileNumber, makeFrame(500, bin)));
        counters.advance();
    }
    EXPECT_EQ(std::filesystem::file_size(realTimeFilePath(folder.path(), 0)), 4243470u);
    EXPECT_EQ(std::filesystem::file_size(realTimeFilePath(folder.path(), 1)), 385770u);
    EXPECT_EQ(counters.fileNumber, 1);
    EXPECT_EQ(counters.dumpsInFile, 1);
    EXPECT_EQ(countRealTimeDumps(folder.path(), 0, 500), 11);
}

TEST(RealTimeFile, DumpIsSlotMajorWithZeroPadding) {
    SampleFrame frame(2);
    frame.at(0, 0) = 1;
    frame.at(383, 0) = 2;
    frame.at(0, 1) = 4095;
    frame.at(384, 1) = 77;  // slot 384 is never stored
    frame.at(5, 2) = 9;     // nor the slot past the bin
    std::string bytes = encodeRealTimeDump(frame);
    ASSERT_EQ(bytes.size(), realTimeDumpBytes(2));
    EXPECT_EQ(bytes.substr(0, 2), std::string("\x01\x00", 2));
    EXPECT_EQ(bytes.substr(766, 4), std::string("\x02\x00\x00\x00", 4));
    EXPECT_EQ(bytes.substr(770, 2), std::string("\xFF\x0F", 2));
    EXPECT_EQ(bytes.substr(1538, 2), std::string("\x00\x00", 2));
    EXPECT_EQ(bytes.substr(1540), std::string(770, '\0'));
}

TEST(RealTimeFile, EachBinReadsBackFromItsFileAndPlace) {
    test::TempFolder folder;
    FileCounters counters;
    for (int bin = 0; bin < 13; ++bin) {
        appendRealTimeDump(folder.path(), counters.fileNumber, makeFrame(200, bin));
        counters.advance();
    }
    for (int bin : {0, 10, 11, 12}) {
        auto frame = readRealTimeDump(folder.path(), bin, 200);
        ASSERT_TRUE(frame) << bin;
        SampleFrame expected = makeFrame(200, bin);
        for (int c = 0; c < ChannelCount; ++c) {
            for (int s = 0; s < 200; ++s) ASSERT_EQ(frame->at(c, s), expected.at(c, s)) << bin << " " << c << " " << s;
        }
    }
    EXPECT_FALSE(readRealTimeDump(folder.path(), 13, 200));
}

TEST(RealTimeFile, OneKeptFrameReadsEachDumpInTurnAndNoGap) {
    // 41 slots: a whole slice of the reader and a short one.
    constexpr int Buffer = 40;
    constexpr int Gap = 4;
    test::TempFolder folder;
    FileCounters counters;
    for (int bin = 0; bin < 13; ++bin) {
        appendRealTimeDump(folder.path(), counters.fileNumber, bin == Gap ? SampleFrame(Buffer) : makeFrame(Buffer, bin));
        counters.advance();
    }
    SampleFrame kept(Buffer);
    const auto samples = [](const SampleFrame& frame) {
        return std::vector<std::int16_t>(frame.row(0), frame.row(0) + ChannelSlots * frame.slotCount());
    };
    for (int bin : {12, 0, Gap, 10, 11}) {
        const bool read = readRealTimeDumpInto(folder.path(), bin, kept);
        EXPECT_EQ(read, bin != Gap) << bin;
        if (read) {
            EXPECT_EQ(samples(kept), samples(makeFrame(Buffer, bin))) << bin;
        }
    }
    EXPECT_FALSE(readRealTimeDumpInto(folder.path(), 13, kept));
    EXPECT_FALSE(readRealTimeDumpInto(folder.path(), -1, kept));
}

TEST(RealTimeFile, PartialDumpIsNotRead) {
    test::TempFolder folder;
    appendRealTimeDump(folder.path(), 0, makeFrame(500, 0));
    appendFile(realTimeFilePath(folder.path(), 0), std::string(1000, '\x01'));
    EXPECT_EQ(countRealTimeDumps(folder.path(), 0, 500), 1);
    EXPECT_TRUE(readRealTimeDump(folder.path(), 0, 500));
    EXPECT_FALSE(readRealTimeDump(folder.path(), 1, 500));
}

TEST(RealTimeFile, OnlyWholeDumpsOfTheFilesElevenAreDecodedFromBytes) {
    constexpr int Buffer = 3;
    std::string file;
    for (int dump = 0; dump < 12; ++dump) file += encodeRealTimeDump(makeFrame(Buffer, dump));
    const std::string partial = file.substr(0, realTimeDumpBytes(Buffer) * 2 + 10);
    const std::string none;
    const struct {
        const char* label;
        const std::string& bytes;
        int dumpIndex;
        int rtBuffer;
    } refused[] = {
        {"a twelfth dump, past the file's eleven", file, 11, Buffer},
        {"a dump cut short", partial, 2, Buffer},
        {"a negative index", file, -1, Buffer},
        {"no samples per bin", file, 0, 0},
        {"no bytes", none, 0, Buffer},
    };
    for (const auto& [label, bytes, dumpIndex, rtBuffer] : refused) {
        EXPECT_FALSE(decodeRealTimeDump(bytes, dumpIndex, rtBuffer)) << label;
    }
    EXPECT_EQ(realTimeDumpsIn(file.size(), Buffer), 11);
    EXPECT_EQ(realTimeDumpsIn(partial.size(), Buffer), 2);
    EXPECT_EQ(realTimeDumpsIn(file.size(), 0), 0);
    auto frame = decodeRealTimeDump(partial, 1, Buffer);
    ASSERT_TRUE(frame);
    EXPECT_EQ(encodeRealTimeDump(*frame), encodeRealTimeDump(makeFrame(Buffer, 1)));
}
