#pragma once
// Cutting lines and filled shapes at a rectangle by geometry rather than by
// the paint device, so that a figure is clipped alike in PDF, SVG and PNG:
// an SVG viewer is free to ignore a clip path, a shape already cut is not.

#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <optional>
#include <vector>

namespace zorvex {

/// The part of `segment` inside `rect`; nothing when none is.
std::optional<QLineF> clipSegment(const QLineF& segment, const QRectF& rect);

/// The runs of the open line through `points` that lie inside `rect`, each
/// to be drawn as one line.
std::vector<std::vector<QPointF>> clipPolyline(const std::vector<QPointF>& points, const QRectF& rect);

/// The closed polygon through `points` cut to `rect`; empty when nothing of it is inside.
std::vector<QPointF> clipPolygon(const std::vector<QPointF>& points, const QRectF& rect);

}  // namespace zorvex
