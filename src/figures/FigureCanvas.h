#pragma once
// Painting a figure in millimetres on any paint device: the page sizes, the
// type sizes and line widths of each, the figure font, and drawing helpers
// that turn millimetres into the device's dots.

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "views/Colours.h"
#include "views/FigureRequest.h"

namespace zorvex {

/// Type sizes in points and lengths in millimetres of one page size.
struct FigureStyle {
    double widthMm = 85.0;
    double fixedHeightMm = 0.0;  ///< 0: the figure's content decides the height
    double tickPt = 6.5;
    double labelPt = 7.5;
    double notePt = 6.0;
    double marginMm = 2.0;
    double curveMm = 0.35;
    double axisMm = 0.2;
    double tickMm = 1.2;
};

/// The style of a page size: 85 mm wide for a column, 254 x 143 mm (16:9) for a slide.
FigureStyle styleOf(PageSize page);

/// The family every figure is set in; loaded from its font file when the
/// system has it, so that vector files carry the very font the text was set in.
QString figureFontFamily();

/// The font file behind figureFontFamily(); empty when it was not found.
QString figureFontFile();

/// Text advance and line height in millimetres, measured at print resolution.
double textWidthMm(const QString& text, double points);
double lineHeightMm(double points);

/// `text` broken into lines no wider than `widthMm` at the spaces (a longer word keeps its own line).
std::vector<QString> wrapText(const QString& text, double widthMm, double points);

/// Height of `text` wrapped to `widthMm`; 0 for no text.
double paragraphHeightMm(const std::string& text, double widthMm, double points);

QColor toQColor(Rgb colour);

/// A painter on a device of `dotsPerInch`, addressed in millimetres from the top left.
class FigureCanvas {
public:
    FigureCanvas(QPainter& painter, double dotsPerInch, const FigureStyle& style);

    const FigureStyle& style() const { return style_; }
    /// Dots of the device in `millimetres`.
    double dots(double millimetres) const { return millimetres * dotsPerMm_; }
    QPointF point(double xMm, double yMm) const { return {dots(xMm), dots(yMm)}; }

    void line(double x1, double y1, double x2, double y2, QColor colour, double widthMm, bool dashed = false);
    /// An open line through points given in millimetres.
    void polyline(const std::vector<QPointF>& pointsMm, QColor colour, double widthMm);
    /// The area between two lines through the same x positions (millimetres), without an outline.
    void band(const std::vector<QPointF>& upperMm, const std::vector<QPointF>& lowerMm, QColor fill);
    void fillRect(double left, double top, double width, double height, QColor fill);
    void strokeRect(double left, double top, double width, double height, QColor colour, double widthMm,
                    bool dashed = false);
    void fillEllipse(double left, double top, double width, double height, QColor fill);
    void strokeEllipse(double left, double top, double width, double height, QColor colour, double widthMm,
                       bool dashed = false);
    /// `text` placed by `alignment` relative to (x, y): Qt::AlignLeft/Right/HCenter and AlignTop/Bottom/VCenter.
    void text(double x, double y, const QString& text, double points, Qt::Alignment alignment,
              QColor colour = Qt::black);
    /// `text` wrapped to `widthMm`, its first line's top left at (x, y).
    void paragraph(double x, double y, const std::string& text, double widthMm, double points, QColor colour);
    /// Fills rectangles given in millimetres without smoothing their edges, so
    /// that bars side by side leave no seams.
    void fillRects(const std::vector<QRectF>& rectsMm, QColor fill);
    /// The same turned a quarter anticlockwise, read from bottom to top, centred on (x, y).
    void verticalText(double x, double y, const QString& text, double points, QColor colour = Qt::black);
    /// Limits the painting of lines and shapes (not text) to a rectangle in
    /// millimetres until unclip(); they are cut by geometry, so that every
    /// file format shows the same.
    void clip(double left, double top, double width, double height);
    void unclip();

private:
    QPen pen(QColor colour, double widthMm, bool dashed) const;
    QFont font(double points) const;
    /// A filled path, or the outline of a stroked one, cut to the clip.
    void drawClipped(const QPainterPath& path, const QPen& pen, const QBrush& brush);

    QPainter& painter_;
    bool raster_;  ///< painting pixels (PNG) rather than vectors
    double dotsPerMm_;
    FigureStyle style_;
    std::optional<QRectF> clip_;  ///< in dots
};

}  // namespace zorvex
