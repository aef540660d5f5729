#include <gtest/gtest.h>

#include "TempFolder.h"
#include "TestDisk.h"
#include "common/Files.h"

using namespace zorvex;

TEST(Files, WriteReplacesAndReadsBack) {
    test::TempFolder folder;
    auto path = folder / "a.dat";
    ASSERT_TRUE(writeFile(path, "first"));
    ASSERT_TRUE(writeFile(path, "second\r\n"));
    EXPECT_EQ(readFile(path), "second\r\n");
    EXPECT_FALSE(fileExists(folder / "a.dat.tmp"));
}

TEST(Files, AReplacementWrittenInPiecesShowsOnlyWhenCommitted) {
    test::TempFolder folder;
    auto path = folder / "table.csv";
    ASSERT_TRUE(writeFile(path, "old"));
    {
        FileReplacement dropped(path);
        ASSERT_TRUE(dropped.append("half"));
    }
    EXPECT_EQ(readFile(path), "old");
    EXPECT_FALSE(fileExists(folder / "table.csv.tmp"));

    FileReplacement replacement(path);
    ASSERT_TRUE(replacement.append("a,b\r\n"));
    ASSERT_TRUE(replacement.append("1,2\r\n"));
    EXPECT_EQ(readFile(path), "old");
    ASSERT_TRUE(replacement.commit());
    EXPECT_EQ(readFile(path), "a,b\r\n1,2\r\n");
    EXPECT_FALSE(replacement.append("late"));

    FileReplacement nowhere(folder / "no" / "x.csv");
    EXPECT_FALSE(nowhere.append("x"));
    EXPECT_FALSE(nowhere.commit());
}

TEST(Files, ReadRefusesMissingFoldersAndOversizedFiles) {
    test::TempFolder folder;
    EXPECT_FALSE(readFile(folder / "missing"));
    EXPECT_FALSE(readFile(folder.path()));
    ASSERT_TRUE(writeFile(folder / "big", std::string(1000, 'x')));
    EXPECT_FALSE(readFile(folder / "big", 999));
    EXPECT_TRUE(readFile(folder / "big", 1000));
}

TEST(Files, WriteIntoMissingFolderFails) {
    test::TempFolder folder;
    EXPECT_FALSE(writeFile(folder / "no" / "x.dat", "x"));
}

TEST(Files, AppendAddsAtTheEnd) {
    test::TempFolder folder;
    auto path = folder / "counts.bin";
    ASSERT_TRUE(appendFile(path, std::string("ab\0", 3)));
    ASSERT_TRUE(appendFile(path, "cd"));
    EXPECT_EQ(readFile(path), std::string("ab\0cd", 5));
}

TEST(Files, AFailedAppendLeavesTheFileAsItWas) {
    // A full disk cuts a write short; a network share may report its delayed
    // write error only at close. Either way the record is taken back whole.
    struct Case {
        const char* what;
        std::optional<std::uintmax_t> spareBytes;
        int failingCloses;
    };
    for (const Case& fault : {Case{"disk full", 3, 0}, Case{"disk full at once", 0, 0}, Case{"close fails", {}, 1}}) {
        test::TempFolder folder;
        auto path = folder / "counts.bin";
        ASSERT_TRUE(appendFile(path, "first"));
        test::TestDisk disk;
        if (fault.spareBytes) disk.fillAfter(folder.path(), *fault.spareBytes);
        disk.failingCloses = fault.failingCloses;
        EXPECT_FALSE(appendFile(path, "second record", disk)) << fault.what;
        EXPECT_EQ(readFile(path), "first") << fault.what;
        // The undone record gave its room back: one that fits goes in.
        EXPECT_TRUE(appendFile(path, "+", disk) == (fault.spareBytes != 0u)) << fault.what;
    }
}

TEST(Files, WritingAtAnOffsetLeavesAGapOfZerosAndNeverOverwrites) {
    test::TempFolder folder;
    auto path = folder / "0.bin";
    ASSERT_TRUE(writeFileAt(path, 0, "ab"));
    ASSERT_TRUE(writeFileAt(path, 4, "ef"));
    EXPECT_EQ(readFile(path), std::string("ab\0\0ef", 6));
    EXPECT_FALSE(writeFileAt(path, 2, "cd"));
    EXPECT_EQ(readFile(path), std::string("ab\0\0ef", 6));

    test::TestDisk disk;
    disk.failingCloses = 1;
    EXPECT_FALSE(writeFileAt(path, 8, "gh", disk));
    EXPECT_EQ(readFile(path), std::string("ab\0\0ef", 6));
}

TEST(Files, TheTailOfALongFileStartsAtALineAndSaysWhatWasLeftOut) {
    test::TempFolder folder;
    auto path = folder / "events.log";
    ASSERT_TRUE(writeFile(path, "first line\r\nsecond\r\nthird\r\n"));
    auto whole = readFileTail(path, 100);
    ASSERT_TRUE(whole.has_value());
    EXPECT_EQ(whole->bytes, "first line\r\nsecond\r\nthird\r\n");
    EXPECT_EQ(whole->skippedBytes, 0u);
    // 12 bytes from the end fall inside "second": the tail starts at "third".
    auto cut = readFileTail(path, 12);
    ASSERT_TRUE(cut.has_value());
    EXPECT_EQ(cut->bytes, "third\r\n");
    EXPECT_EQ(cut->skippedBytes, 20u);
    EXPECT_FALSE(readFileTail(folder / "missing.log", 10));
    EXPECT_FALSE(readFileTail(folder.path(), 10));
}

TEST(Files, CopyOverwritesTheTarget) {
    test::TempFolder folder;
    ASSERT_TRUE(writeFile(folder / "setup.dat", "new"));
    ASSERT_TRUE(writeFile(folder / "setup.bak", "old and longer"));
    EXPECT_TRUE(copyFile(folder / "setup.dat", folder / "setup.bak"));
    EXPECT_EQ(readFile(folder / "setup.bak"), "new");
    EXPECT_FALSE(copyFile(folder / "missing", folder / "setup.bak"));
    EXPECT_EQ(readFile(folder / "setup.bak"), "new");
}

TEST(Files, ALoneCarriageReturnEndsALineAndCrLfEndsOne) {
    const std::pair<std::string_view, int> cases[] = {
        {"a", 1}, {"a\r", 1}, {"a\rb", 2}, {"a\n\rb", 3}, {"\r\r\n", 2}, {"\n\n", 2}, {"a\r\nb\rc\n", 3},
    };
    for (const auto& [bytes, lines] : cases) EXPECT_EQ(countLinesOf(bytes), lines) << testing::PrintToString(std::string(bytes));
}

TEST(Files, CountsLinesOfAnyEnding) {
    test::TempFolder folder;
    auto path = folder / "f.txt";
    writeFile(path, "a\r\nb\r\nc\r\n");
    EXPECT_EQ(countLines(path), 3);
    writeFile(path, "a\nb");
    EXPECT_EQ(countLines(path), 2);
    writeFile(path, "");
    EXPECT_EQ(countLines(path), 0);
    EXPECT_EQ(countLines(folder / "missing"), 0);
    std::string many;
    for (int i = 0; i < 32768; ++i) many += "x\r\n";
    writeFile(path, many);
    EXPECT_EQ(countLines(path), 0);
}
