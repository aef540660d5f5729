#include "figures/FigureCanvas.h"

#include <QDirIterator>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QStandardPaths>

#include "figures/Clipping.h"

namespace zorvex {

namespace {

constexpr double MmPerInch = 25.4;
constexpr double MeasureDpi = 1200.0;
// Points of one piece of a band painted as pixels: quick to fill, few seams.
constexpr std::size_t RasterBandPoints = 32;
// DejaVu Sans: free to embed, covers the symbols the figures use (±, µ, –),
// and part of every Debian desktop.
constexpr const char* FontFileName = "DejaVuSans.ttf";
constexpr const char* FallbackFamily = "DejaVu Sans";

struct FigureFont {
    QString family = FallbackFamily;
    QString file;
};

const FigureFont& figureFont() {
    static const FigureFont font = [] {
        FigureFont found;
        for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::FontsLocation)) {
            QDirIterator files(folder, {FontFileName}, QDir::Files, QDirIterator::Subdirectories);
            if (!files.hasNext()) continue;
            const QString file = files.next();
            const int id = QFontDatabase::addApplicationFont(file);
            const QStringList families = QFontDatabase::applicationFontFamilies(id);
            if (id < 0 || families.isEmpty()) continue;
            found.family = families.front();
            found.file = file;
            break;
        }
        return found;
    }();
    return font;
}

// A device at print resolution for measuring text before the page exists.
const QImage& measuringDevice() {
    static const QImage image = [] {
        QImage device(1, 1, QImage::Format_ARGB32);
        const int dotsPerMetre = static_cast<int>(MeasureDpi / MmPerInch * 1000.0);
        device.setDotsPerMeterX(dotsPerMetre);
        device.setDotsPerMeterY(dotsPerMetre);
        return device;
    }();
    return image;
}

QFont fontOf(double points) {
    QFont font(figureFontFamily());
    font.setPointSizeF(points);
    font.setKerning(true);
    return font;
}

}  // namespace

FigureStyle styleOf(PageSize page) {
    if (page == PageSize::Column) return FigureStyle{};
    FigureStyle slide;
    slide.widthMm = 254.0;
    slide.fixedHeightMm = 143.0;
    slide.tickPt = 14.0;
    slide.labelPt = 16.0;
    slide.notePt = 12.0;
    slide.marginMm = 5.0;
    slide.curveMm = 0.8;
    slide.axisMm = 0.4;
    slide.tickMm = 2.5;
    return slide;
}

QString figureFontFamily() { return figureFont().family; }
QString figureFontFile() { return figureFont().file; }

double textWidthMm(const QString& text, double points) {
    const QImage& device = measuringDevice();
    return QFontMetricsF(fontOf(points), &device).horizontalAdvance(text) * MmPerInch / MeasureDpi;
}

double lineHeightMm(double points) {
    const QImage& device = measuringDevice();
    return QFontMetricsF(fontOf(points), &device).height() * MmPerInch / MeasureDpi;
}

std::vector<QString> wrapText(const QString& text, double widthMm, double points) {
    std::vector<QString> lines;
    QString line;
    for (const QString& word : text.split(' ', Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + ' ' + word;
        if (!line.isEmpty() && textWidthMm(longer, points) > widthMm) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.isEmpty()) lines.push_back(line);
    return lines;
}

double paragraphHeightMm(const std::string& text, double widthMm, double points) {
    return static_cast<double>(wrapText(QString::fromStdString(text), widthMm, points).size()) * lineHeightMm(points);
}

QColor toQColor(Rgb colour) { return QColor(colour.red, colour.green, colour.blue); }

FigureCanvas::FigureCanvas(QPainter& painter, double dotsPerInch, const FigureStyle& style)
    : painter_(painter),
      raster_(painter.device() != nullptr && painter.device()->devType() == QInternal::Image),
      dotsPerMm_(dotsPerInch / MmPerInch),
      style_(style) {
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::TextAntialiasing);
}

QPen FigureCanvas::pen(QColor colour, double widthMm, bool dashed) const {
    QPen pen(colour, dots(widthMm));
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::RoundJoin);
    if (dashed) pen.setStyle(Qt::DashLine);
    return pen;
}

QFont FigureCanvas::font(double points) const { return fontOf(points); }

void FigureCanvas::line(double x1, double y1, double x2, double y2, QColor colour, double widthMm, bool dashed) {
    QLineF segment(point(x1, y1), point(x2, y2));
    if (clip_) {
        const auto inside = clipSegment(segment, *clip_);
        if (!inside) return;
        segment = *inside;
    }
    painter_.setPen(pen(colour, widthMm, dashed));
    painter_.drawLine(segment);
}

// Qt's rasterizer slows down sharply on one long path that crosses itself
// often, as a week of 5-minute bins does; pixels are painted in short pieces
// instead (whose seams do not show), vectors keep one path.
void FigureCanvas::polyline(const std::vector<QPointF>& pointsMm, QColor colour, double widthMm) {
    std::vector<QPointF> points;
    points.reserve(pointsMm.size());
    for (const QPointF& p : pointsMm) points.push_back(point(p.x(), p.y()));
    std::vector<std::vector<QPointF>> runs;
    if (clip_) {
        runs = clipPolyline(points, *clip_);
    } else {
        runs.push_back(std::move(points));
    }
    QPen stroke = pen(colour, widthMm, false);
    painter_.setBrush(Qt::NoBrush);
    if (!raster_) {
        painter_.setPen(stroke);
        for (const auto& run : runs) painter_.drawPolyline(run.data(), static_cast<int>(run.size()));
        return;
    }
    // Round caps join the segments as round joins would.
    stroke.setCapStyle(Qt::RoundCap);
    painter_.setPen(stroke);
    std::vector<QLineF> segments;
    for (const auto& run : runs) {
        for (std::size_t i = 1; i < run.size(); ++i) segments.emplace_back(run[i - 1], run[i]);
    }
    painter_.drawLines(segments.data(), static_cast<int>(segments.size()));
}

void FigureCanvas::band(const std::vector<QPointF>& upperMm, const std::vector<QPointF>& lowerMm, QColor fill) {
    const std::size_t count = std::min(upperMm.size(), lowerMm.size());
    if (count < 2) return;
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(fill);
    const std::size_t piece = raster_ ? RasterBandPoints : count;
    std::vector<QPointF> outline;
    for (std::size_t first = 0; first + 1 < count; first += piece) {
        const std::size_t last = std::min(count - 1, first + piece);
        outline.clear();
        for (std::size_t i = first; i <= last; ++i) outline.push_back(point(upperMm[i].x(), upperMm[i].y()));
        for (std::size_t i = last + 1; i-- > first;) outline.push_back(point(lowerMm[i].x(), lowerMm[i].y()));
        if (clip_) outline = clipPolygon(outline, *clip_);
        if (!outline.empty()) painter_.drawPolygon(outline.data(), static_cast<int>(outline.size()));
    }
}

void FigureCanvas::fillRect(double left, double top, double width, double height, QColor fill) {
    QRectF rect(point(left, top), point(left + width, top + height));
    if (clip_) rect = rect.intersected(*clip_);
    if (!rect.isEmpty()) painter_.fillRect(rect, fill);
}

void FigureCanvas::drawClipped(const QPainterPath& path, const QPen& pen, const QBrush& brush) {
    if (!clip_) {
        painter_.setPen(pen);
        painter_.setBrush(brush);
        painter_.drawPath(path);
        return;
    }
    QPainterPath area;
    area.addRect(*clip_);
    painter_.setPen(Qt::NoPen);
    if (brush.style() != Qt::NoBrush) painter_.fillPath(path.intersected(area), brush);
    if (pen.style() == Qt::NoPen) return;
    QPainterPathStroker stroker(pen);
    painter_.fillPath(stroker.createStroke(path).intersected(area), pen.color());
}

void FigureCanvas::strokeRect(double left, double top, double width, double height, QColor colour, double widthMm,
                              bool dashed) {
    QPainterPath path;
    path.addRect(QRectF(point(left, top), point(left + width, top + height)));
    drawClipped(path, pen(colour, widthMm, dashed), Qt::NoBrush);
}

void FigureCanvas::fillEllipse(double left, double top, double width, double height, QColor fill) {
    QPainterPath path;
    path.addEllipse(QRectF(point(left, top), point(left + width, top + height)));
    drawClipped(path, Qt::NoPen, fill);
}

void FigureCanvas::strokeEllipse(double left, double top, double width, double height, QColor colour, double widthMm,
                                 bool dashed) {
    QPainterPath path;
    path.addEllipse(QRectF(point(left, top), point(left + width, top + height)));
    drawClipped(path, pen(colour, widthMm, dashed), Qt::NoBrush);
}

void FigureCanvas::text(double x, double y, const QString& text, double points, Qt::Alignment alignment, QColor colour) {
    const double width = textWidthMm(text, points);
    const double height = lineHeightMm(points);
    double left = x;
    if (alignment & Qt::AlignRight) left = x - width;
    if (alignment & Qt::AlignHCenter) left = x - width / 2.0;
    double top = y;
    if (alignment & Qt::AlignBottom) top = y - height;
    if (alignment & Qt::AlignVCenter) top = y - height / 2.0;
    painter_.setFont(font(points));
    painter_.setPen(colour);
    // A box wider than the measured text: another device's rounding must not wrap or clip it.
    painter_.drawText(QRectF(point(left - width, top), point(left + 2.0 * width, top + height)),
                      Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextDontClip, text);
}

void FigureCanvas::paragraph(double x, double y, const std::string& text, double widthMm, double points, QColor colour) {
    for (const QString& line : wrapText(QString::fromStdString(text), widthMm, points)) {
        this->text(x, y, line, points, Qt::AlignLeft | Qt::AlignTop, colour);
        y += lineHeightMm(points);
    }
}

void FigureCanvas::fillRects(const std::vector<QRectF>& rectsMm, QColor fill) {
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing, false);
    for (const QRectF& rectMm : rectsMm) {
        QRectF rect(point(rectMm.left(), rectMm.top()), point(rectMm.right(), rectMm.bottom()));
        if (clip_) rect = rect.intersected(*clip_);
        if (!rect.isEmpty()) painter_.fillRect(rect, fill);
    }
    painter_.restore();
}

void FigureCanvas::verticalText(double x, double y, const QString& text, double points, QColor colour) {
    painter_.save();
    painter_.translate(point(x, y));
    painter_.rotate(-90.0);
    painter_.translate(-point(x, y));
    this->text(x, y, text, points, Qt::AlignHCenter | Qt::AlignVCenter, colour);
    painter_.restore();
}

void FigureCanvas::clip(double left, double top, double width, double height) {
    clip_ = QRectF(point(left, top), point(left + width, top + height));
}

void FigureCanvas::unclip() { clip_.reset(); }

}  // namespace zorvex
