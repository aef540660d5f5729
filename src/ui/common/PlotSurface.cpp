#include "ui/common/PlotSurface.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

namespace zorvex {

PlotSurface::PlotSurface(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    image_ = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    image_.fill(background_);
    updateMapping();
}

void PlotSurface::setScale(double left, double top, double right, double bottom) {
    left_ = left;
    top_ = top;
    right_ = right;
    bottom_ = bottom;
    updateMapping();
}

void PlotSurface::setKeepAspect(bool keep) {
    keepAspect_ = keep;
    updateMapping();
}

void PlotSurface::setBackground(const QColor& colour) { background_ = colour; }

void PlotSurface::updateMapping() {
    const double width = image_.width();
    const double height = image_.height();
    const double spanX = right_ - left_;
    const double spanY = bottom_ - top_;
    // A scale of no extent would divide by zero; it maps everything to the corner.
    scaleX_ = spanX != 0.0 ? width / spanX : 0.0;
    scaleY_ = spanY != 0.0 ? height / spanY : 0.0;
    double usedWidth = width;
    double usedHeight = height;
    if (keepAspect_ && scaleX_ != 0.0 && scaleY_ != 0.0) {
        double scale = std::min(std::abs(scaleX_), std::abs(scaleY_));
        scaleX_ = std::copysign(scale, scaleX_);
        scaleY_ = std::copysign(scale, scaleY_);
        usedWidth = std::abs(spanX) * scale;
        usedHeight = std::abs(spanY) * scale;
    }
    originX_ = (width - usedWidth) / 2.0 - left_ * scaleX_;
    originY_ = (height - usedHeight) / 2.0 - top_ * scaleY_;
}

QPointF PlotSurface::toPixel(double x, double y) const { return {originX_ + x * scaleX_, originY_ + y * scaleY_}; }

QPointF PlotSurface::toUser(QPointF pixel) const {
    return {scaleX_ != 0.0 ? (pixel.x() - originX_) / scaleX_ : left_,
            scaleY_ != 0.0 ? (pixel.y() - originY_) / scaleY_ : top_};
}

QRectF PlotSurface::pixelBox(double x1, double y1, double x2, double y2) const {
    return QRectF(toPixel(x1, y1), toPixel(x2, y2)).normalized();
}

void PlotSurface::clear() {
    image_.fill(background_);
    update();
}

void PlotSurface::line(double x1, double y1, double x2, double y2, const QColor& colour) {
    QPainter painter(&image_);
    painter.setPen(colour);
    painter.drawLine(toPixel(x1, y1), toPixel(x2, y2));
    update();
}

void PlotSurface::polyline(const std::vector<QPointF>& points, const QColor& colour) {
    std::vector<QPointF> pixels;
    pixels.reserve(points.size());
    for (const QPointF& point : points) pixels.push_back(toPixel(point.x(), point.y()));
    QPainter painter(&image_);
    painter.setPen(colour);
    painter.drawPolyline(pixels.data(), static_cast<int>(pixels.size()));
    update();
}

void PlotSurface::box(double x1, double y1, double x2, double y2, const QColor& colour) {
    QPainter painter(&image_);
    painter.setPen(colour);
    // The right and bottom edges belong to the box, as its corners say.
    QRectF area = pixelBox(x1, y1, x2, y2);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    update();
}

void PlotSurface::filledBox(double x1, double y1, double x2, double y2, const QColor& colour) {
    QPainter painter(&image_);
    painter.fillRect(pixelBox(x1, y1, x2, y2), colour);
    update();
}

void PlotSurface::circle(double x, double y, double radius, const QColor& colour) {
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(colour);
    double pixels = std::abs(radius * scaleX_);
    painter.drawEllipse(toPixel(x, y), pixels, pixels);
    update();
}

void PlotSurface::text(double x, double y, const QString& text, const QColor& colour) {
    QPainter painter(&image_);
    painter.setFont(font());
    painter.setPen(colour);
    QPointF corner = toPixel(x, y);
    painter.drawText(QPointF(corner.x(), corner.y() + painter.fontMetrics().ascent()), text);
    update();
}

void PlotSurface::setOutline(std::optional<QRectF> userBox) {
    outline_ = userBox;
    update();
}

// Written beside and renamed, so a failed export never leaves half an earlier image.
bool PlotSurface::saveBmp(const QString& path) const {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && image_.save(&file, "BMP") && file.commit();
}

void PlotSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
    if (outline_) {
        QPen pen(Qt::black, 2, Qt::DashLine);
        painter.setPen(pen);
        painter.drawRect(pixelBox(outline_->left(), outline_->top(), outline_->right(), outline_->bottom()));
    }
}

void PlotSurface::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    image_ = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    image_.fill(background_);
    updateMapping();
    emit resized();
}

void PlotSurface::mousePressEvent(QMouseEvent* event) {
    QPointF at = toUser(event->position());
    emit pressed(at.x(), at.y(), event->button());
}

void PlotSurface::mouseMoveEvent(QMouseEvent* event) {
    QPointF at = toUser(event->position());
    emit moved(at.x(), at.y(), event->buttons());
}

void PlotSurface::mouseReleaseEvent(QMouseEvent* event) {
    QPointF at = toUser(event->position());
    emit released(at.x(), at.y(), event->button());
}

}  // namespace zorvex
