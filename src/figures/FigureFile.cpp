#include "figures/FigureFile.h"

#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <random>

#include "common/Files.h"

namespace zorvex {

namespace {

constexpr double MmPerInch = 25.4;
// Vector coordinates are device dots: fine enough that no rounding shows.
constexpr int PdfDotsPerInch = 1200;
constexpr int SvgDotsPerInch = 300;
constexpr qint64 LargestFontBytes = 32 << 20;

int dotsOf(double millimetres, double dotsPerInch) {
    return static_cast<int>(std::lround(millimetres / MmPerInch * dotsPerInch));
}

QString qPath(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

// A vector page is see-through where nothing is painted; the figure is on white as its PNG is.
void paintOnWhite(FigureCanvas& canvas, double widthMm, double heightMm, const PaintFigure& paint) {
    canvas.fillRect(0.0, 0.0, widthMm, heightMm, Qt::white);
    paint(canvas);
}

bool paintPdf(const std::filesystem::path& file, double widthMm, double heightMm, const FigureStyle& style,
              const PaintFigure& paint) {
    QPdfWriter writer(qPath(file));
    writer.setCreator("Zorvex");
    writer.setResolution(PdfDotsPerInch);
    writer.setPageSize(QPageSize(QSizeF(widthMm, heightMm), QPageSize::Millimeter, "Figure", QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    FigureCanvas canvas(painter, PdfDotsPerInch, style);
    paintOnWhite(canvas, widthMm, heightMm, paint);
    return painter.end();
}

// The font of the text as an @font-face rule, so the SVG shows the very
// glyphs it was laid out with wherever it is opened.
QByteArray embeddedFontStyle() {
    QFile font(figureFontFile());
    if (figureFontFile().isEmpty() || font.size() > LargestFontBytes || !font.open(QIODevice::ReadOnly)) return {};
    return "<style type=\"text/css\">@font-face { font-family: '" + figureFontFamily().toUtf8() +
           "'; src: url(data:font/ttf;base64," + font.readAll().toBase64() + ") format('truetype'); }</style>\n";
}

bool paintSvg(const std::filesystem::path& file, double widthMm, double heightMm, const FigureStyle& style,
              const PaintFigure& paint) {
    QSvgGenerator generator;
    generator.setFileName(qPath(file));
    generator.setResolution(SvgDotsPerInch);
    const QSize size(dotsOf(widthMm, SvgDotsPerInch), dotsOf(heightMm, SvgDotsPerInch));
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle("Zorvex figure");
    QPainter painter;
    if (!painter.begin(&generator)) return false;
    FigureCanvas canvas(painter, SvgDotsPerInch, style);
    paintOnWhite(canvas, widthMm, heightMm, paint);
    if (!painter.end()) return false;

    QFile svg(qPath(file));
    if (!svg.open(QIODevice::ReadOnly)) return false;
    QByteArray text = svg.readAll();
    svg.close();
    const qsizetype rootEnd = text.indexOf('>', text.indexOf("<svg"));
    if (rootEnd < 0) return false;
    text.insert(rootEnd + 1, "\n" + embeddedFontStyle());
    return writeFile(file, std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
}

bool paintPng(const std::filesystem::path& file, double widthMm, double heightMm, const FigureStyle& style,
              const PaintFigure& paint) {
    const QImage image = paintFigureImage(widthMm, heightMm, style, paint, PngDotsPerInch);
    return !image.isNull() && image.save(qPath(file), "PNG");
}

// A name beside `file` that no other writer uses.
std::filesystem::path partialName(const std::filesystem::path& file) {
    std::random_device seed;
    return file.parent_path() / ("." + file.stem().string() + "-" + std::to_string(seed()) + ".part" +
                                 file.extension().string());
}

}  // namespace

QImage paintFigureImage(double widthMm, double heightMm, const FigureStyle& style, const PaintFigure& paint,
                        double dotsPerInch) {
    QImage image(dotsOf(widthMm, dotsPerInch), dotsOf(heightMm, dotsPerInch), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return image;
    const int dotsPerMetre = static_cast<int>(std::lround(dotsPerInch / MmPerInch * 1000.0));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        FigureCanvas canvas(painter, dotsPerInch, style);
        paint(canvas);
    }
    return image;
}

std::optional<FileFormat> formatOfFile(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    if (extension == ".pdf") return FileFormat::Pdf;
    if (extension == ".svg") return FileFormat::Svg;
    if (extension == ".png") return FileFormat::Png;
    return std::nullopt;
}

std::optional<std::string> writeFigureFile(const std::filesystem::path& file, double widthMm, double heightMm,
                                           const FigureStyle& style, const PaintFigure& paint) {
    const auto format = formatOfFile(file);
    if (!format) return "The figure file must end in .pdf, .svg or .png: " + file.string();
    const std::filesystem::path partial = partialName(file);
    bool painted = false;
    switch (*format) {
        case FileFormat::Pdf: painted = paintPdf(partial, widthMm, heightMm, style, paint); break;
        case FileFormat::Svg: painted = paintSvg(partial, widthMm, heightMm, style, paint); break;
        case FileFormat::Png: painted = paintPng(partial, widthMm, heightMm, style, paint); break;
    }
    std::error_code error;
    if (painted && fileExists(partial)) std::filesystem::rename(partial, file, error);
    if (!painted || error || !fileExists(file)) {
        std::filesystem::remove(partial, error);
        return "The figure could not be written to " + file.string() + ": check that its folder exists and can be written.";
    }
    return std::nullopt;
}

}  // namespace zorvex
