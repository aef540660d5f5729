#include "figures/Clipping.h"

#include <array>
#include <functional>

namespace zorvex {

std::optional<QLineF> clipSegment(const QLineF& segment, const QRectF& rect) {
    // Liang and Barsky: the segment as p1 + t * (p2 - p1), t narrowed by each side.
    const double dx = segment.dx(), dy = segment.dy();
    const std::array<double, 4> towards = {-dx, dx, -dy, dy};
    const std::array<double, 4> room = {segment.x1() - rect.left(), rect.right() - segment.x1(),
                                        segment.y1() - rect.top(), rect.bottom() - segment.y1()};
    double enter = 0.0, leave = 1.0;
    for (std::size_t side = 0; side < 4; ++side) {
        if (towards[side] == 0.0) {
            if (room[side] < 0.0) return std::nullopt;
            continue;
        }
        const double t = room[side] / towards[side];
        if (towards[side] < 0.0) {
            enter = std::max(enter, t);
        } else {
            leave = std::min(leave, t);
        }
        if (enter > leave) return std::nullopt;
    }
    return QLineF(segment.pointAt(enter), segment.pointAt(leave));
}

std::vector<std::vector<QPointF>> clipPolyline(const std::vector<QPointF>& points, const QRectF& rect) {
    std::vector<std::vector<QPointF>> runs;
    bool open = false;  // the last run ends where the next segment starts
    for (std::size_t i = 1; i < points.size(); ++i) {
        const auto inside = clipSegment(QLineF(points[i - 1], points[i]), rect);
        if (!inside) {
            open = false;
            continue;
        }
        if (!open) runs.push_back({inside->p1()});
        runs.back().push_back(inside->p2());
        // A segment cut at its end leaves the rectangle there: the next one starts a new run.
        open = inside->p2() == points[i];
    }
    return runs;
}

std::vector<QPointF> clipPolygon(const std::vector<QPointF>& points, const QRectF& rect) {
    // Sutherland and Hodgman: the polygon cut by each side's half-plane in turn.
    using Inside = std::function<bool(const QPointF&)>;
    using Cross = std::function<QPointF(const QPointF&, const QPointF&)>;
    auto atX = [](double x) {
        return [x](const QPointF& a, const QPointF& b) {
            return QPointF(x, a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x()));
        };
    };
    auto atY = [](double y) {
        return [y](const QPointF& a, const QPointF& b) {
            return QPointF(a.x() + (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y()), y);
        };
    };
    const std::array<std::pair<Inside, Cross>, 4> sides = {{
        {[&](const QPointF& p) { return p.x() >= rect.left(); }, atX(rect.left())},
        {[&](const QPointF& p) { return p.x() <= rect.right(); }, atX(rect.right())},
        {[&](const QPointF& p) { return p.y() >= rect.top(); }, atY(rect.top())},
        {[&](const QPointF& p) { return p.y() <= rect.bottom(); }, atY(rect.bottom())},
    }};
    std::vector<QPointF> polygon = points;
    for (const auto& [inside, cross] : sides) {
        if (polygon.empty()) break;
        std::vector<QPointF> kept;
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            const QPointF& from = polygon[(i + polygon.size() - 1) % polygon.size()];
            const QPointF& to = polygon[i];
            if (inside(to)) {
                if (!inside(from)) kept.push_back(cross(from, to));
                kept.push_back(to);
            } else if (inside(from)) {
                kept.push_back(cross(from, to));
            }
        }
        polygon = std::move(kept);
    }
    return polygon.size() < 3 ? std::vector<QPointF>{} : polygon;
}

}  // namespace zorvex
