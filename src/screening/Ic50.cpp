#include "screening/Ic50.h"

#include <gsl/gsl_cdf.h>

#include <array>
#include <cmath>

#include "screening/CsvRecords.h"

namespace zorvex {

namespace {

constexpr std::size_t Bottom = 0, Top = 1, LogIc50 = 2, Hill = 3;
constexpr double IntervalLevel = 0.95;
const double Ln10 = std::log(10.0);

// Interval and status of an IC50 from its log10 and that log's SE.
Ic50Estimate estimateOf(const DoseFit& fit, double logIc50, double log10Se) {
    const double t = gsl_cdf_tdist_Pinv(0.5 + IntervalLevel / 2, fit.degreesOfFreedom);
    Ic50Estimate estimate;
    estimate.ic50 = std::pow(10.0, logIc50);
    estimate.log10Se = log10Se;
    estimate.low = std::pow(10.0, logIc50 - t * log10Se);
    estimate.high = std::pow(10.0, logIc50 + t * log10Se);
    const bool inRange = estimate.ic50 >= fit.lowestConcentration && estimate.ic50 <= fit.highestConcentration;
    estimate.status = inRange ? ScreenStatus::Ok : ScreenStatus::OutsideRange;
    return estimate;
}

}  // namespace

std::string_view ic50KindText(Ic50Kind kind) { return kind == Ic50Kind::Absolute ? "absolute" : "relative"; }

Ic50Estimate estimateIc50(const DoseFit& fit, Ic50Kind kind) {
    const bool curveFitted = fit.status == ScreenStatus::Ok || fit.status == ScreenStatus::OutsideRange;
    if (!curveFitted) return {fit.status};
    const DoseCurve& curve = fit.curve;
    if (kind == Ic50Kind::Relative) return estimateOf(fit, std::log10(curve.ic50), fit.log10Ic50Se);
    // (x / ic50)^hill = (top - 50) / (50 - bottom): a crossing exists only between the plateaus.
    const double level = HalfOfControlPercent;
    if (!(curve.bottom < level && level < curve.top)) return {ScreenStatus::NoHalfResponse};
    const double ratio = std::log10((curve.top - level) / (level - curve.bottom));
    const double logIc50 = std::log10(curve.ic50) + ratio / curve.hill;
    // First-order error: the gradient of log10 IC50_abs in (bottom, top, log10 IC50, hill).
    std::array<double, 4> gradient{};
    gradient[Bottom] = 1 / (curve.hill * Ln10 * (level - curve.bottom));
    gradient[Top] = 1 / (curve.hill * Ln10 * (curve.top - level));
    gradient[LogIc50] = 1;
    gradient[Hill] = -ratio / (curve.hill * curve.hill);
    double variance = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        for (std::size_t k = 0; k < 4; ++k) variance += gradient[i] * fit.covariance[i][k] * gradient[k];
    }
    if (!(variance >= 0) || !std::isfinite(logIc50)) return {ScreenStatus::Undetermined};
    return estimateOf(fit, logIc50, std::sqrt(variance));
}

std::string ic50StatusText(const DoseFit& fit, const Ic50Estimate& estimate, const std::string& unit) {
    if (estimate.status != ScreenStatus::OutsideRange) return std::string(screenStatusText(estimate.status));
    const bool above = estimate.ic50 > fit.highestConcentration;
    std::string text = (above ? "above " : "below ") + csvNumber(above ? fit.highestConcentration : fit.lowestConcentration);
    return unit.empty() ? text : text + " " + unit;
}

}  // namespace zorvex
