// Every raw block an acquisition recorded is on exactly one page of the
// channel view: drawn there and written to datafile.txt, under labels that
// name the samples shown.

#include <map>
#include <sstream>

#include "OfflineWindow.h"
#include "common/Files.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {

constexpr int DumpsPerFile = 11;
constexpr int SamplesPerDump = 500;
const QColor BeamZeroRed(255, 0, 0);

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0, next; (next = text.find("\r\n", at)) != std::string::npos; at = next + 2) {
        lines.push_back(text.substr(at, next - at));
    }
    return lines;
}

// Red pixels of the picture between two x positions of the view's user units.
int redPixelsBetween(const PlotSurface& picture, double fromX, double toX) {
    const QImage& image = picture.image();
    const int left = static_cast<int>(picture.toPixel(fromX, 0).x()) + 1;
    const int right = std::min(static_cast<int>(picture.toPixel(toX, 0).x()), image.width());
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = std::max(left, 0); x < right; ++x) count += QColor(image.pixel(x, y)) == BeamZeroRed;
    }
    return count;
}

struct PageExport {
    std::string labelLine;
    std::map<int, int> blocks;  ///< 100 x file + dump -> times found whole
};

// datafile.txt of well A1 of a single-beam plate (channel 0): each block of 500 lines holds the
// marked samples 100 x file + dump + sample.
PageExport readExport(const std::filesystem::path& file) {
    PageExport page;
    const std::vector<std::string> lines = linesOf(readFile(file).value_or(""));
    if (lines.size() < 6) return page;
    page.labelLine = lines[3];
    for (std::size_t first = 6; first + SamplesPerDump <= lines.size(); first += SamplesPerDump) {
        const int mark = std::stoi(lines[first]);
        bool whole = true;
        for (int i = 0; i < SamplesPerDump; ++i) {
            whole = whole && lines[first + static_cast<std::size_t>(i)] == std::to_string(mark + i) + " ";
        }
        if (whole) ++page.blocks[mark];
    }
    return page;
}

void expectEveryBlockOnOnePage(int files, const std::vector<std::string>& labelLines) {
    OfflineWindow offline;
    auto acquisition = offline.acquisition("01022023_1015", "z96u");
    writeMarkedFiles(acquisition.folder(), files, DumpsPerFile);
    offline.openAcquisition("01022023_1015");
    Frm_offline& window = *offline.window;
    const int pages = static_cast<int>(labelLines.size());
    ASSERT_EQ(window.Txtpage->text().toStdString(), "1/" + std::to_string(pages));
    window.cmdchannels->click();

    std::map<int, int> found;
    for (int page = 1; page <= pages; ++page) {
        window.scrollpage->setValue(page);
        ASSERT_EQ(window.currentPage(), page);
        const int loaded = std::min(files - 5 * (page - 1), 5) * DumpsPerFile;
        // The last block of the page is drawn, and nothing after it.
        EXPECT_GT(redPixelsBetween(*window.Picreal, 500.0 * (loaded - 1), 500.0 * loaded), 0) << "page " << page;
        EXPECT_EQ(redPixelsBetween(*window.Picreal, 500.0 * loaded + 10, 500.0 * 55), 0) << "page " << page;

        window.asciiexporta->trigger();
        PageExport exported = readExport(offline.folder / "datafile.txt");
        EXPECT_EQ(exported.labelLine, labelLines[static_cast<std::size_t>(page - 1)]);
        for (const auto& [mark, times] : exported.blocks) found[mark] += times;
    }
    std::map<int, int> recorded;
    for (int file = 0; file < files; ++file) {
        for (int dump = 0; dump < DumpsPerFile; ++dump) recorded[100 * file + dump] = 1;
    }
    EXPECT_EQ(found, recorded);
}

}  // namespace

TEST(OfflinePaging, SevenFilesShowEveryBlockOnTwoPages) {
    expectEveryBlockOnOnePage(7, {"Well: A1 Page[1/2] [#0k-27.5k]", "Well: A1 Page[2/2] [#27.5k-38.5k]"});
}

TEST(OfflinePaging, TwelveFilesShowEveryBlockOnThreePages) {
    expectEveryBlockOnOnePage(12, {"Well: A1 Page[1/3] [#0k-27.5k]", "Well: A1 Page[2/3] [#27.5k-55k]",
                                   "Well: A1 Page[3/3] [#55k-66k]"});
}
