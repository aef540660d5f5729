#pragma once
// The drawing surface of every plot and map: a user coordinate system over a
// persistent image. What is drawn stays in the image until the next clear, so
// it repaints by itself, can be saved as a bitmap and read back in tests. The
// pointer is reported in user coordinates.

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

namespace zorvex {

class PlotSurface : public QWidget {
    Q_OBJECT
public:
    explicit PlotSurface(QWidget* parent = nullptr);

    /// Sets the user coordinates of the left, top, right and bottom edges; a
    /// top above the bottom makes y grow upwards.
    void setScale(double left, double top, double right, double bottom);

    /// Keeps one user unit as wide as it is high, centring the picture and
    /// leaving the background around it.
    void setKeepAspect(bool keep);

    /// Colour that clear() fills with.
    void setBackground(const QColor& colour);

    /// Fills the whole surface with the background colour.
    void clear();

    /// A line between two user points.
    void line(double x1, double y1, double x2, double y2, const QColor& colour);

    /// Connected lines through user points, drawn in one go: a signal trace of
    /// thousands of samples costs one painter instead of one per segment.
    void polyline(const std::vector<QPointF>& points, const QColor& colour);

    /// The outline of the box with opposite corners (x1, y1) and (x2, y2).
    void box(double x1, double y1, double x2, double y2, const QColor& colour);

    /// The box with opposite corners (x1, y1) and (x2, y2), filled.
    void filledBox(double x1, double y1, double x2, double y2, const QColor& colour);

    /// A circle around (x, y); the radius is in units of the x axis.
    void circle(double x, double y, double radius, const QColor& colour);

    /// Text whose top left corner is at (x, y), in the surface's font.
    void text(double x, double y, const QString& text, const QColor& colour);

    /// A dashed frame around the box of user corners (x1, y1) and (x2, y2),
    /// shown over the drawing without becoming part of it; nullopt removes it.
    void setOutline(std::optional<QRectF> userBox);

    /// Widget position of a user point.
    QPointF toPixel(double x, double y) const;

    /// User point of a widget position.
    QPointF toUser(QPointF pixel) const;

    /// The drawing as it stands.
    const QImage& image() const { return image_; }

    /// Saves the drawing as a BMP file; false when it could not be written.
    bool saveBmp(const QString& path) const;

signals:
    /// A mouse button went down at user point (x, y).
    void pressed(double x, double y, Qt::MouseButton button);
    /// The pointer moved to user point (x, y) with these buttons held.
    void moved(double x, double y, Qt::MouseButtons buttons);
    /// A mouse button came up at user point (x, y).
    void released(double x, double y, Qt::MouseButton button);
    /// The surface changed size and its drawing was cleared: draw it again.
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void updateMapping();
    QRectF pixelBox(double x1, double y1, double x2, double y2) const;

    double left_ = 0.0, top_ = 0.0, right_ = 1.0, bottom_ = 1.0;
    bool keepAspect_ = false;
    double scaleX_ = 1.0, scaleY_ = 1.0;    ///< pixels per user unit, signed
    double originX_ = 0.0, originY_ = 0.0;  ///< pixel position of user (0, 0)
    QColor background_ = Qt::white;
    QImage image_;
    std::optional<QRectF> outline_;
};

}  // namespace zorvex
