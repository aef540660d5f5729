#include "ReviewFolders.h"
#include "analysis/Analysis_Module.h"
#include "common/Files.h"
#include "views/AsciiExport.h"
#include "views/ChannelSignal.h"
#include "views/PageBuffer.h"

using namespace zorvex;
using namespace zorvex::test;

TEST(OfflinePages, EveryFileIsOnExactlyOnePage) {
    for (auto [files, pages] : {std::pair{0, 0}, {1, 1}, {2, 1}, {5, 1}, {6, 2}, {7, 2}, {10, 2}, {12, 3}, {13, 3}}) {
        EXPECT_EQ(pageCount(files), pages) << files << " files";
        std::vector<int> timesListed(static_cast<std::size_t>(files) + 1, 0);
        for (int page = 1; page <= pages; ++page) {
            for (int file : pageFileNumbers(page, files)) ++timesListed.at(static_cast<std::size_t>(file));
        }
        timesListed.pop_back();  // the number after the last file, read only when a file is missing
        EXPECT_EQ(timesListed, std::vector<int>(static_cast<std::size_t>(files), 1)) << files << " files";
    }
    EXPECT_EQ(pageFileNumbers(2, 12), (std::vector<int>{5, 6, 7, 8, 9}));
    EXPECT_EQ(recordOfSlot(2, 10), 65);
}

TEST(OfflinePages, RealTimeFilesAreTheBinFilesBesideCounts) {
    ReviewFolder review;
    auto acquisition = review.acquisition("01022023_1015");
    writeMarkedFiles(acquisition.folder(), 3, 1);
    writeFile(acquisition.folder() / "notes.txt", "x");
    std::filesystem::create_directories(acquisition.folder() / "old.bin");
    EXPECT_EQ(countRealTimeFiles(acquisition.folder()), 3);
}

TEST(OfflinePages, EachFileFillsItsOwnElevenSlots) {
    TempFolder folder;
    writeMarkedFiles(folder.path(), 2, 11);
    PageBuffer page;
    page.allocate(500);
    EXPECT_EQ(page.bytes(), 55u * 385 * 501 * 2);
    EXPECT_EQ(page.loadFile(folder.path(), 0, 0), 11);
    EXPECT_EQ(page.loadFile(folder.path(), 1, 1), 11);
    EXPECT_EQ(page.loadedSlots(), 22);
    page.startPage();
    EXPECT_EQ(page.loadedSlots(), 0);

    EXPECT_EQ(page.samples(7, 10)[3], markedSample(0, 10, 7, 3));
    EXPECT_EQ(page.samples(7, 11)[3], markedSample(1, 0, 7, 3));
    EXPECT_EQ(page.samples(383, 21)[499], markedSample(1, 10, 383, 499));
    EXPECT_EQ(page.samples(7, 11)[500], 0);  // the dump's closing slot is stored as zeros
}

TEST(OfflinePages, ADumpThatCouldNotBeWrittenIsAFlatSlotAndTheRestStayInPlace) {
    TempFolder folder;
    writeMarkedFiles(folder.path(), 1, 11);
    PageBuffer page;
    page.allocate(500);
    page.loadFile(folder.path(), 0, 1);  // slots 11..21 now hold another file's samples
    // File 1: dumps 0 and 3 written, 1 and 2 found the disk full.
    ASSERT_TRUE(writeRealTimeDump(folder.path(), 11, markedFrame(1, 0)));
    ASSERT_TRUE(writeRealTimeDump(folder.path(), 14, markedFrame(1, 3)));

    page.startPage();
    EXPECT_EQ(page.loadFile(folder.path(), 1, 1), 4);
    EXPECT_EQ(page.missingSlots(), (std::vector<int>{12, 13}));
    EXPECT_EQ(page.samples(9, 11)[2], markedSample(1, 0, 9, 2));
    EXPECT_EQ(page.samples(9, 12)[2], 0);
    EXPECT_EQ(page.samples(9, 13)[2], 0);
    EXPECT_EQ(page.samples(9, 14)[2], markedSample(1, 3, 9, 2));
    EXPECT_EQ(page.loadedSlots(), 15);
    page.startPage();
    EXPECT_TRUE(page.missingSlots().empty());
}

TEST(OfflinePages, MissingFileOrTornDumpKeepsWhatTheSlotsHeld) {
    TempFolder folder;
    writeMarkedFiles(folder.path(), 1, 3);
    PageBuffer page;
    page.allocate(500);
    page.loadFile(folder.path(), 0, 2);
    // File 1 holds one whole dump and a torn second one.
    appendMarkedDump(folder.path(), 1, 5);
    appendFile(realTimeFilePath(folder.path(), 1), std::string(1000, '\x7f'));

    EXPECT_EQ(page.loadFile(folder.path(), 1, 2), 1);
    EXPECT_EQ(page.loadFile(folder.path(), 4, 2), 0);
    EXPECT_EQ(page.samples(0, 22)[1], markedSample(1, 5, 0, 1));
    EXPECT_EQ(page.samples(0, 23)[1], markedSample(0, 1, 0, 1));
    page.release();
    EXPECT_FALSE(page.allocated());
    EXPECT_EQ(page.loadFile(folder.path(), 0, 0), 0);
}

TEST(OfflinePages, DumpSizeFollowsTheAcquisitionBuffer) {
    TempFolder folder;
    for (int dump = 0; dump < 2; ++dump) appendMarkedDump(folder.path(), 0, dump, 120);
    PageBuffer page;
    page.allocate(120);
    EXPECT_EQ(page.loadFile(folder.path(), 0, 0), 2);
    EXPECT_EQ(page.samplesPerSlot(), 121);
    EXPECT_EQ(page.samples(5, 1)[119], markedSample(0, 1, 5, 119));
}

TEST(ChannelSignal, FourBeamsTakeFixedColoursAndMoreARamp) {
    EXPECT_EQ(beamColour(0, 3), (Rgb{255, 0, 0}));
    EXPECT_EQ(beamColour(1, 3), (Rgb{0, 0, 255}));
    EXPECT_EQ(beamColour(2, 3), (Rgb{0, 255, 0}));
    EXPECT_EQ(beamColour(3, 3), (Rgb{200, 128, 0}));
    EXPECT_EQ(beamColour(0, 5), (Rgb{0, 255, 0}));
    EXPECT_EQ(beamColour(2, 5), (Rgb{102, 153, 0}));
    EXPECT_EQ(beamColour(5, 5), (Rgb{255, 0, 0}));
}

TEST(ChannelSignal, LabelsSnrBoxAndMode) {
    // A page is 55 blocks: page 2 starts at sample 27,500.
    EXPECT_EQ(pageLabels(1, 55, 500).first, "0k");
    EXPECT_EQ(pageLabels(1, 55, 500).last, "27.5k");
    EXPECT_EQ(pageLabels(2, 55, 500).first, "27.5k");
    EXPECT_EQ(pageLabels(2, 22, 500).last, "38.5k");
    EXPECT_EQ(pageLabels(3, 1, 333).first, "36.63k");
    EXPECT_EQ(pageLabels(1, 3, 333).last, "0.999k");
    EXPECT_EQ(snrFactor("2.5"), 2.5);
    EXPECT_EQ(snrFactor("6.5"), DefaultSnr);
    EXPECT_EQ(snrFactor("1.0"), DefaultSnr);
    EXPECT_EQ(snrFactor("abc"), DefaultSnr);
    EXPECT_EQ(snrText(DefaultSnr), "1.8");
    EXPECT_EQ(analysisMethod("Mode:1"), 1);
    EXPECT_EQ(analysisMethod("Mode:0"), 0);
}

TEST(ChannelSignal, ReanalysisCountsEachShownSlotAndSumsPerFile) {
    TempFolder folder;
    for (int bin = 0; bin < 55; ++bin) appendRealTimeDump(folder.path(), bin / 11, generatedFrame(bin, 500));
    PageBuffer page;
    page.allocate(500);
    for (int file = 0; file < 5; ++file) page.loadFile(folder.path(), file, file);
    const std::vector<WellBeam> beams = {{0, 0}, {1, 16}};
    std::vector<std::int32_t> minutes(60);
    for (int r = 0; r < 60; ++r) minutes[static_cast<std::size_t>(r)] = 1000 + r;

    PageReanalysis result = reanalysePage(page, 1, beams, 2.0, 1, minutes);

    std::vector<int> endSlots;
    for (const auto& end : result.fileEnds) endSlots.push_back(end.slot);
    EXPECT_EQ(endSlots, (std::vector<int>{10, 21, 32, 43, 54}));
    EXPECT_EQ(result.thresholds.size(), 55u);
    EXPECT_EQ(result.fileEnds[1].minute, 1021);
    Analysis_Module analysis;
    std::int32_t secondFile = 0;
    for (int slot = 11; slot <= 21; ++slot) {
        SampleFrame frame = generatedFrame(slot, 500);
        std::copy_n(frame.row(16), 500, frame.row(1));
        secondFile += analysis.CalculateActivity(frame, 1, 2.0, 1).value_or(0);
    }
    EXPECT_EQ(result.fileEnds[1].counts[1], secondFile);
    const auto& lastTrace = result.thresholds[21][1];
    ASSERT_TRUE(lastTrace.has_value());
    EXPECT_TRUE(std::equal(lastTrace->begin(), lastTrace->end(), analysis.DetectionTrace().begin()));
}

TEST(ChannelSignal, ReanalysisOnPageTwoReadsTheMinutesOfItsOwnRecords) {
    TempFolder folder;
    writeMarkedFiles(folder.path(), 7, 11);
    PageBuffer page;
    page.allocate(500);
    for (int file : pageFileNumbers(2, 7)) page.loadFile(folder.path(), file, file - 5);
    std::vector<std::int32_t> minutes(70);
    for (int r = 0; r < 70; ++r) minutes[static_cast<std::size_t>(r)] = r + 1;
    PageReanalysis result = reanalysePage(page, 2, {{0, 0}}, 1.8, 0, minutes);
    ASSERT_EQ(result.fileEnds.size(), 2u);
    EXPECT_EQ(result.fileEnds.front().minute, 66);  // record 65: dump 10 of file 5
    EXPECT_FALSE(result.fileEnds.back().minute.has_value());  // record 76: beyond counts.bin
}

TEST(AsciiExport, HeadThenOneLinePerStoredSampleAndOneColumnPerBeam) {
    TempFolder folder;
    writeMarkedFiles(folder.path(), 1, 2);
    PageBuffer page;
    page.allocate(500);
    page.loadFile(folder.path(), 0, 0);
    AsciiExportHead head{"Demo", "p00001/01022023_1015", "A", "1", "1/3", 1};

    std::string single = asciiExportBytes(head, {{0, 0}}, page);
    std::vector<std::string> lines;
    for (std::size_t at = 0, next; (next = single.find("\r\n", at)) != std::string::npos; at = next + 2) {
        lines.push_back(single.substr(at, next - at));
    }
    ASSERT_EQ(lines.size(), 1006u);  // the head, then 2 loaded blocks of 500 samples
    EXPECT_EQ(lines[0], "\"Demo\"");
    EXPECT_EQ(lines[1], "\"p00001/01022023_1015\"");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "Well: A1 Page[1/3] [#0k-1k]");
    EXPECT_EQ(lines[5], "A1.0 ");
    // Each block gives its 500 samples; the dump's closing slot (always 0) is no sample.
    EXPECT_EQ(lines[6], std::to_string(markedSample(0, 0, 0, 0)) + " ");
    EXPECT_EQ(lines[505], std::to_string(markedSample(0, 0, 0, 499)) + " ");
    EXPECT_EQ(lines[506], std::to_string(markedSample(0, 1, 0, 0)) + " ");

    std::string four = asciiExportBytes(head, {{0, 0}, {1, 1}, {2, 16}, {3, 17}}, page);
    EXPECT_NE(four.find("\r\nA1.0 A1.1 A1.2 A1.3 \r\n"), std::string::npos);
    EXPECT_NE(four.find("\r\n" + std::to_string(markedSample(0, 0, 0, 0)) + " " + std::to_string(markedSample(0, 0, 1, 0)) +
                        " " + std::to_string(markedSample(0, 0, 16, 0)) + " " + std::to_string(markedSample(0, 0, 17, 0)) +
                        " \r\n"),
              std::string::npos);
}
