#pragma once
// A four-parameter log-logistic fit written for the tests alone, by another
// road than the program's solver: for a given log10 IC50 and slope the two
// plateaus are a linear least-squares problem solved exactly, and the two
// remaining parameters are found by a Nelder-Mead simplex on the residual
// sum of squares. Slow, simple and independent.

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace zorvex::test {

/// A fitted curve: bottom + (top - bottom) / (1 + (x / ic50)^hill).
struct PlainCurve {
    double bottom = 0, top = 0, ic50 = 0, hill = 0, residualSquares = 0;
};

/// The least-squares plateaus and residual sum of squares for fixed log10 IC50 and slope.
inline PlainCurve plateausFor(const std::vector<double>& x, const std::vector<double>& y, double logIc50, double hill) {
    // y = bottom * (1 - s) + top * s with s = 1 / (1 + 10^(hill (log10 x - logIc50))).
    double ss = 0, sr = 0, rr = 0, sy = 0, ry = 0;
    std::vector<double> share(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        share[i] = 1 / (1 + std::pow(10.0, hill * (std::log10(x[i]) - logIc50)));
        const double s = share[i], r = 1 - s;
        ss += s * s, sr += s * r, rr += r * r, sy += s * y[i], ry += r * y[i];
    }
    const double det = ss * rr - sr * sr;
    PlainCurve curve;
    curve.top = (sy * rr - ry * sr) / det;
    curve.bottom = (ry * ss - sy * sr) / det;
    curve.ic50 = std::pow(10.0, logIc50);
    curve.hill = hill;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double e = curve.bottom * (1 - share[i]) + curve.top * share[i] - y[i];
        curve.residualSquares += e * e;
    }
    return curve;
}

/// Fits from a start of log10 IC50 and slope; the simplex shrinks until it is far below any figure compared.
inline PlainCurve plainFit(const std::vector<double>& x, const std::vector<double>& y, double startLogIc50,
                           double startHill) {
    using Point = std::array<double, 2>;
    auto cost = [&](const Point& p) { return plateausFor(x, y, p[0], p[1]).residualSquares; };
    std::array<std::pair<double, Point>, 3> simplex;
    const std::array<Point, 3> corners = {Point{startLogIc50, startHill}, Point{startLogIc50 + 0.5, startHill},
                                          Point{startLogIc50, startHill + 0.5}};
    for (std::size_t k = 0; k < 3; ++k) simplex[k] = {cost(corners[k]), corners[k]};
    auto mix = [](const Point& a, const Point& b, double t) { return Point{a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1])}; };
    for (int step = 0; step < 5000; ++step) {
        std::sort(simplex.begin(), simplex.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        const Point& best = simplex[0].second;
        const Point& worst = simplex[2].second;
        if (std::abs(worst[0] - best[0]) + std::abs(worst[1] - best[1]) < 1e-11) break;
        const Point centre = mix(simplex[0].second, simplex[1].second, 0.5);
        const Point reflected = mix(centre, worst, -1);
        const double reflectedCost = cost(reflected);
        if (reflectedCost < simplex[0].first) {
            const Point expanded = mix(centre, worst, -2);
            const double expandedCost = cost(expanded);
            simplex[2] = expandedCost < reflectedCost ? std::pair{expandedCost, expanded} : std::pair{reflectedCost, reflected};
        } else if (reflectedCost < simplex[1].first) {
            simplex[2] = {reflectedCost, reflected};
        } else {
            const Point contracted = mix(centre, worst, 0.5);
            const double contractedCost = cost(contracted);
            if (contractedCost < simplex[2].first) {
                simplex[2] = {contractedCost, contracted};
            } else {
                for (std::size_t k = 1; k < 3; ++k) {
                    const Point shrunk = mix(simplex[0].second, simplex[k].second, 0.5);
                    simplex[k] = {cost(shrunk), shrunk};
                }
            }
        }
    }
    std::sort(simplex.begin(), simplex.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    PlainCurve curve = plateausFor(x, y, simplex[0].second[0], simplex[0].second[1]);
    // The same curve with the plateaus exchanged and the slope negated: keep top the upper one.
    if (curve.top < curve.bottom) {
        std::swap(curve.top, curve.bottom);
        curve.hill = -curve.hill;
    }
    return curve;
}

}  // namespace zorvex::test
