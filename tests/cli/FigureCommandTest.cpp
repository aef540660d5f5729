// zorvex-cli figure through its real entry point on a small acquisition:
// each kind written with the options asked and read back by the readers of
// FigureReaders.h, and the runs that have nothing to draw say why.

#include <gtest/gtest.h>

#include "CliRun.h"
#include "FigureAcquisitions.h"
#include "FigureReaders.h"
#include "common/Files.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {

int busy(int channel, int minute) { return (channel * 7 + minute * 3) % 23 + channel / 16; }

constexpr const char* Stamp = "14032026_1800";

// Every text the figure file shows, one per line.
std::string textOf(const std::filesystem::path& file, const std::string& bytes) {
    if (file.extension() == ".pdf") return readPdf(bytes).text;
    std::string all;
    for (const std::string& text : readSvg(bytes).texts) all += text + "\n";
    return all;
}

class FigureCommand : public ::testing::Test {
protected:
    void SetUp() override { folder.acquisition(Stamp).dailyLight(8, 20).writeSideFiles().append(figureRecords(30, 1800, busy)); }

    std::vector<std::string> args(const std::string& stamp, const std::string& file, std::vector<std::string> options) const {
        std::vector<std::string> words = {"figure", (folder.programFolder() / stamp).string(), "--out",
                                          (output / file).string(), "--program-folder", folder.programFolder().string()};
        words.insert(words.end(), options.begin(), options.end());
        return words;
    }

    FigureFolder folder;
    TempFolder output;
};

}  // namespace

TEST_F(FigureCommand, EachKindIsWrittenWithTheOptionsAsked) {
    struct Case {
        std::string file;
        std::vector<std::string> options;
        std::vector<std::string> shows;  // for PDF and SVG: texts in the figure
        std::vector<std::string> hides;
        std::pair<std::uint32_t, std::uint32_t> pixels;  // for PNG: width, and height when fixed
    };
    const Case cases[] = {
        {"groups.pdf", {"--kind", "groups"}, {"Control (n = 2)", "Mutant (n = 2)", "Zeitgeber time (h)", "\u00b1 SE per 60-min bin"}, {}, {}},
        {"mutant.pdf",
         {"--kind", "groups", "--groups", "2", "--error", "sd", "--time", "elapsed", "--bin", "30", "--per-group"},
         {"Mutant (n = 2)", "Time from start (h)", "\u00b1 SD per 30-min bin"},
         {"Control"},
         {}},
        {"plate.svg", {"--kind", "plate", "--window", "1-3", "--value", "per-hour"}, {"Crossings per beam per hour, mean over 1\u20133 h", "Control", "Mutant"}, {}, {}},
        {"well.svg", {"--kind", "actogram", "--well", "B2"}, {"Well B2 (Mutant)"}, {"mean of"}, {}},
        {"control.pdf", {"--kind", "actogram", "--group", "1"}, {"Control: mean of 2 wells"}, {"Mutant"}, {}},
        {"groups.png", {"--kind", "groups"}, {}, {}, {1004, 0}},
        {"actogram.png", {"--kind", "actogram", "--size", "slide"}, {}, {}, {3000, 1689}},
    };
    for (const Case& c : cases) {
        const auto words = args(Stamp, c.file, c.options);
        const CliRun run = cli(words);
        const std::filesystem::path file = output / c.file;
        ASSERT_EQ(run.status, 0) << shown(words) << "\n" << run.err;
        EXPECT_EQ(run.out, file.string() + "\n");
        EXPECT_EQ(run.err, "");
        const std::string bytes = readFile(file, std::size_t{64} << 20).value_or("");
        if (file.extension() == ".png") {
            const PngHeader png = readPng(bytes);
            EXPECT_EQ(png.width, c.pixels.first) << c.file;
            if (c.pixels.second > 0) {
                EXPECT_EQ(png.height, c.pixels.second) << c.file;
            }
            continue;
        }
        const std::string text = textOf(file, bytes);
        for (const std::string& shownText : c.shows) EXPECT_NE(text.find(shownText), std::string::npos) << c.file << ": " << shownText << "\n" << text;
        for (const std::string& hidden : c.hides) EXPECT_EQ(text.find(hidden), std::string::npos) << c.file << ": " << hidden;
    }
}

TEST_F(FigureCommand, NothingToDrawEndsWithTheReasonAndStatus1) {
    folder.acquisition("15032026_0900").writeSideFiles();
    writeFile(folder.programFolder() / "15032026_0900" / "counts.bin", "");
    struct Case {
        std::string stamp;
        std::string file;
        std::vector<std::string> options;
        std::string reason;
    };
    const Case cases[] = {
        {"15032026_0900", "groups.pdf", {"--kind", "groups"}, "counts.bin holds no records: there is nothing to draw."},
        {"15032026_0900", "actogram.svg", {"--kind", "actogram"}, "counts.bin holds no records: there is nothing to draw."},
        {"01012026_0000", "plate.png", {"--kind", "plate"}, "Activity file not Found"},
        {Stamp, "groups.pdf", {"--kind", "groups", "--groups", "3"}, "Group 3 has no wells in this acquisition."},
        {Stamp, "groups.pdf", {"--kind", "groups", "--window", "100-200"}, "No bin with records lies in the chosen time window."},
        {Stamp, "well.pdf", {"--kind", "actogram", "--well", "B3"}, "Well B3 is not a measured well of the plate."},
        {Stamp, "missing/plate.pdf", {"--kind", "plate"}, "The figure could not be written to " + (output / "missing/plate.pdf").string() +
                                                               ": check that its folder exists and can be written."},
    };
    for (const Case& c : cases) {
        const auto words = args(c.stamp, c.file, c.options);
        const CliRun run = cli(words);
        EXPECT_EQ(run.status, 1) << shown(words);
        EXPECT_EQ(run.out, "") << shown(words);
        EXPECT_EQ(run.err, c.reason + "\n") << shown(words);
        EXPECT_FALSE(fileExists(output / c.file)) << shown(words);
    }
}
