// One figure written as PDF, SVG and PNG looks the same in each: the vector
// files are turned into pixels by the converters other programs use
// (pdftoppm of poppler-utils, rsvg-convert of librsvg2-bin) and compared with
// the PNG block by block, so that a clip, a line width or a background that
// one format loses shows as a difference.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>

#include "FigureAcquisitions.h"
#include "ScreenedPlate.h"
#include "figures/Figures.h"
#include "figures/ScreeningFigures.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {

constexpr int Dpi = 300;
// Blocks of this many pixels a side are compared by their mean colour:
// smoothing and the converters' half-pixel placement of edges fall within one.
constexpr int BlockPixels = 12;
// A block differs when a channel's mean is further apart than this (0..255);
// the same text set by three rasterizers stays within it.
constexpr int BlockTolerance = 48;
// Share of differing blocks allowed: glyph shapes of three rasterizers, and
// a line of 60 characters drifting by a few pixels in an SVG renderer's own
// text layout (0.25 % on the actogram's captions).
constexpr double DifferingShare = 0.004;

QImage rendered(const std::filesystem::path& file) {
    QImage image(QString::fromStdString(file.string()));
    // On black: a see-through background shows as a difference from the PNG's white.
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::black);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
}

// Runs a converter; the test fails with its words when it cannot.
bool convert(const QString& program, const QStringList& arguments) {
    if (QStandardPaths::findExecutable(program).isEmpty()) {
        ADD_FAILURE() << program.toStdString() << " is missing: scripts/deps installs it";
        return false;
    }
    QProcess process;
    process.start(program, arguments);
    const bool done = process.waitForFinished(60000) && process.exitCode() == 0;
    EXPECT_TRUE(done) << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return done;
}

// The three files of `stem` (stem.pdf, stem.svg, stem.png) as pixels at 300 dpi.
struct ThreeImages {
    QImage pdf, svg, png;
};

ThreeImages imagesOf(const std::filesystem::path& stem) {
    const QString base = QString::fromStdString(stem.string());
    ThreeImages images;
    if (convert("pdftoppm", {"-r", QString::number(Dpi), "-png", "-singlefile", base + ".pdf", base + "-pdf"})) {
        images.pdf = rendered(stem.string() + "-pdf.png");
    }
    if (convert("rsvg-convert", {"-d", QString::number(Dpi), "-p", QString::number(Dpi), "-o", base + "-svg.png",
                                 base + ".svg"})) {
        images.svg = rendered(stem.string() + "-svg.png");
    }
    images.png = rendered(stem.string() + ".png");
    return images;
}

struct Difference {
    int widthPixels = 0;   // of the two sizes, how far apart
    int heightPixels = 0;
    double share = 1.0;    // of the blocks of the common area that differ
};

Difference differenceOf(const QImage& a, const QImage& b) {
    Difference difference;
    difference.widthPixels = std::abs(a.width() - b.width());
    difference.heightPixels = std::abs(a.height() - b.height());
    const int columns = std::min(a.width(), b.width()) / BlockPixels;
    const int rows = std::min(a.height(), b.height()) / BlockPixels;
    if (columns == 0 || rows == 0) return difference;
    int differing = 0;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            int sums[2][3] = {};
            for (int y = row * BlockPixels; y < (row + 1) * BlockPixels; ++y) {
                for (int x = column * BlockPixels; x < (column + 1) * BlockPixels; ++x) {
                    for (int i = 0; i < 2; ++i) {
                        const QRgb pixel = (i == 0 ? a : b).pixel(x, y);
                        sums[i][0] += qRed(pixel);
                        sums[i][1] += qGreen(pixel);
                        sums[i][2] += qBlue(pixel);
                    }
                }
            }
            const int area = BlockPixels * BlockPixels;
            for (int channel = 0; channel < 3; ++channel) {
                if (std::abs(sums[0][channel] - sums[1][channel]) > BlockTolerance * area) {
                    ++differing;
                    break;
                }
            }
        }
    }
    difference.share = static_cast<double>(differing) / (columns * rows);
    return difference;
}

void expectAlike(const std::filesystem::path& stem) {
    const ThreeImages images = imagesOf(stem);
    ASSERT_FALSE(images.png.isNull()) << stem;
    for (const auto& [format, image] : {std::pair{"PDF", &images.pdf}, std::pair{"SVG", &images.svg}}) {
        if (image->isNull()) continue;  // the converter's failure is already told
        const Difference difference = differenceOf(*image, images.png);
        // A PDF page is a whole number of points: up to half a point (2 pixels) off.
        EXPECT_LE(difference.widthPixels, 2) << stem.filename() << " " << format;
        EXPECT_LE(difference.heightPixels, 2) << stem.filename() << " " << format;
        EXPECT_LT(difference.share, DifferingShare) << stem.filename() << " " << format << " against PNG";
    }
}

int busy(int channel, int minute) { return (channel * 7 + minute * 3) % 23 + channel / 16; }

}  // namespace

TEST(FigureFormats, EachFigureLooksTheSameAsPdfSvgAndPng) {
    FigureFolder folder;
    folder.acquisition("14032026_1800").dailyLight(8, 20).writeSideFiles().append(figureRecords(30, 1800, busy));
    TempFolder output;
    for (FigureKind kind : {FigureKind::Groups, FigureKind::Plate, FigureKind::Actogram}) {
        const std::filesystem::path stem = output.path() / std::to_string(static_cast<int>(kind));
        for (const char* extension : {".pdf", ".svg", ".png"}) {
            FigureRequest asked;
            asked.kind = kind;
            asked.acquisitionFolder = folder.programFolder() / "14032026_1800";
            asked.programFolder = folder.programFolder();
            asked.groups.error = ErrorBand::StandardDeviation;  // a band reaching below the axis
            asked.output = stem.string() + extension;
            const FigureOutcome outcome = writeFigure(asked);
            ASSERT_TRUE(outcome.written) << outcome.message;
        }
        expectAlike(stem);
    }
}

TEST(FigureFormats, TheFiguresOfAScreenLookTheSameAsPdfSvgAndPng) {
    TempFolder temp;
    ScreeningRequest request;
    request.acquisitionFolder = writeScreenedPlate(temp.path());
    request.programFolder = temp.path();
    request.windowStartHours = 2;
    request.windowEndHours = 4;
    const ScreeningOutcome outcome = screenAcquisition(request);
    ASSERT_TRUE(outcome.results);
    for (FileFormat format : {FileFormat::Pdf, FileFormat::Svg, FileFormat::Png}) {
        const ScreeningFiguresOutcome figures =
            writeScreeningFigures(figureRequestOf(request, format), *outcome.plate, *outcome.results);
        ASSERT_EQ(figures.files.size(), 3u) << (figures.messages.empty() ? "" : figures.messages.front());
    }
    for (const char* name : {"dose_response", "percent_of_control", "plate_map"}) {
        expectAlike(request.acquisitionFolder / "screening" / name);
    }
}
