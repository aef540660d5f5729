// The written figure files, read back by the readers of FigureReaders.h,
// written from the file formats' descriptions.

#include <gtest/gtest.h>

#include <cstdlib>

#include "FigureAcquisitions.h"
#include "FigureReaders.h"
#include "common/Files.h"
#include "figures/Figures.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {

int busy(int channel, int minute) { return (channel * 7 + minute * 3) % 23 + channel / 16; }

constexpr const char* Stamp = "14032026_1800";

class FigureFiles : public ::testing::Test {
protected:
    void SetUp() override { folder.acquisition(Stamp).dailyLight(8, 20).writeSideFiles().append(figureRecords(30, 1800, busy)); }

    FigureRequest request(FigureKind kind, const std::string& file, const std::string& stamp = Stamp) const {
        FigureRequest asked;
        asked.kind = kind;
        asked.acquisitionFolder = folder.programFolder() / stamp;
        asked.programFolder = folder.programFolder();
        asked.output = output.path() / file;
        return asked;
    }

    std::string written(const FigureRequest& asked) const {
        const FigureOutcome outcome = writeFigure(asked);
        EXPECT_TRUE(outcome.written) << outcome.message;
        const auto bytes = readFile(asked.output, std::size_t{64} << 20);
        EXPECT_TRUE(bytes.has_value()) << asked.output;
        return bytes.value_or("");
    }

    FigureFolder folder;
    TempFolder output;
};

const std::pair<FigureKind, const char*> Kinds[] = {
    {FigureKind::Groups, "groups"}, {FigureKind::Plate, "plate"}, {FigureKind::Actogram, "actogram"}};

}  // namespace

TEST_F(FigureFiles, PdfNamesEveryGroupAndEmbedsItsFont) {
    for (auto [kind, name] : Kinds) {
        const PdfText pdf = readPdf(written(request(kind, std::string(name) + ".pdf")));
        EXPECT_NE(pdf.text.find("Control"), std::string::npos) << name << ":\n" << pdf.text;
        EXPECT_NE(pdf.text.find("Mutant"), std::string::npos) << name;
        ASSERT_FALSE(pdf.baseFonts.empty()) << name;
        for (const std::string& font : pdf.baseFonts) EXPECT_NE(font.find("DejaVuSans"), std::string::npos) << font;
        EXPECT_TRUE(pdf.everyFontEmbedded) << name;
    }
    const PdfText groups = readPdf(written(request(FigureKind::Groups, "legend.pdf")));
    EXPECT_NE(groups.text.find("Control (n = 2)"), std::string::npos) << groups.text;
    EXPECT_NE(groups.text.find("Zeitgeber time (h)"), std::string::npos);
}

TEST_F(FigureFiles, SvgNamesEveryGroupAndCarriesItsFont) {
    for (auto [kind, name] : Kinds) {
        const SvgText svg = readSvg(written(request(kind, std::string(name) + ".svg")));
        std::string all;
        for (const std::string& text : svg.texts) all += text + "\n";
        EXPECT_NE(all.find("Control"), std::string::npos) << name << ":\n" << all;
        EXPECT_NE(all.find("Mutant"), std::string::npos) << name;
        EXPECT_EQ(svg.faceFamily, "DejaVu Sans") << name;
        EXPECT_EQ(svg.faceData.left(4), QByteArray("\x00\x01\x00\x00", 4)) << name << ": a TrueType font file";
        for (const std::string& family : svg.textFamilies) EXPECT_EQ(family, svg.faceFamily) << name;
    }
}

TEST_F(FigureFiles, PngHasTheAskedPixelSizeAt300Dpi) {
    struct Case {
        PageSize page;
        FigureKind kind;
        std::uint32_t width;
        std::uint32_t height;  // 0: set by the content
    };
    const Case cases[] = {
        {PageSize::Column, FigureKind::Groups, 1004, 0},  // 85 mm
        {PageSize::Column, FigureKind::Plate, 1004, 0},
        {PageSize::Slide, FigureKind::Groups, 3000, 1689},  // 254 x 143 mm
        {PageSize::Slide, FigureKind::Actogram, 3000, 1689},
    };
    for (const Case& c : cases) {
        FigureRequest asked = request(c.kind, "figure.png");
        asked.page = c.page;
        const PngHeader png = readPng(written(asked));
        EXPECT_EQ(png.width, c.width);
        if (c.height > 0) {
            EXPECT_EQ(png.height, c.height);
        }
        EXPECT_GT(png.height, 300u);
        EXPECT_EQ(png.pixelsPerMetre, 11811u);
    }
}

TEST_F(FigureFiles, OneGroupOneBinAGapOrNoRecordsGiveAFigureOrAClearMessage) {
    folder.acquisition("15032026_0900").writeSideFiles().append(figureRecords(1, 30, busy));
    folder.acquisition("16032026_0900").writeSideFiles().append(figureRecords(30, 900, busy, {120, 600}));
    AcquisitionBuilder one = folder.acquisition("17032026_0900");
    one.channelGroup(16, -1).channelGroup(17, -1).writeSideFiles().append(figureRecords(30, 300, busy));
    folder.acquisition("18032026_0900").writeSideFiles();
    writeFile(folder.programFolder() / "18032026_0900" / "counts.bin", "");
    struct Case {
        const char* stamp;
        const char* what;
        bool written;
    };
    const Case cases[] = {
        {"15032026_0900", "one bin", true},
        {"16032026_0900", "a gap", true},
        {"17032026_0900", "one group", true},
        {"18032026_0900", "no records", false},
    };
    for (const Case& c : cases) {
        for (auto [kind, name] : Kinds) {
            for (const char* extension : {".pdf", ".png"}) {
                const FigureRequest asked = request(kind, std::string(name) + extension, c.stamp);
                const FigureOutcome outcome = writeFigure(asked);
                EXPECT_EQ(outcome.written, c.written) << c.what << " " << name << ": " << outcome.message;
                EXPECT_EQ(fileExists(asked.output), c.written) << c.what << " " << name;
                if (!c.written) {
                    EXPECT_EQ(outcome.message, "counts.bin holds no records: there is nothing to draw.");
                }
                std::filesystem::remove(asked.output);
            }
        }
    }
}

TEST_F(FigureFiles, AFileThatCannotBeWrittenGivesAMessageAndLeavesNothing) {
    FigureRequest asked = request(FigureKind::Groups, "missing-folder/groups.pdf");
    FigureOutcome outcome = writeFigure(asked);
    EXPECT_FALSE(outcome.written);
    EXPECT_NE(outcome.message.find("could not be written to"), std::string::npos) << outcome.message;
    asked = request(FigureKind::Groups, "groups.jpg");
    outcome = writeFigure(asked);
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.message, "The figure file must end in .pdf, .svg or .png: " + asked.output.string());
    EXPECT_TRUE(std::filesystem::is_empty(output.path()));
    asked = request(FigureKind::Groups, "groups.pdf", "01012026_0000");
    outcome = writeFigure(asked);
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.message, "Activity file not Found");
}
