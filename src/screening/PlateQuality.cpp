#include "screening/PlateQuality.h"

#include <gsl/gsl_cdf.h>

#include <algorithm>
#include <cmath>

#include "screening/SampleStatistics.h"

namespace zorvex {

namespace {
constexpr double ExcellentFrom = 0.5;
constexpr int FewestControlWells = 2;
}  // namespace

std::string_view qualityStatusText(QualityStatus status) {
    switch (status) {
        case QualityStatus::Excellent: return "excellent";
        case QualityStatus::Marginal: return "marginal";
        case QualityStatus::Unusable: return "unusable";
        case QualityStatus::MissingControls: return "missing controls";
        case QualityStatus::TooFewControls: return "too few control wells";
        case QualityStatus::NoSeparation: return "no separation";
    }
    return "";
}

PlateQuality plateQuality(const std::vector<double>& negatives, const std::vector<double>& positives) {
    PlateQuality quality;
    quality.negativeWells = static_cast<int>(negatives.size());
    quality.positiveWells = static_cast<int>(positives.size());
    if (negatives.empty() || positives.empty()) return quality;
    const SampleSummary n = summarize(negatives);
    const SampleSummary p = summarize(positives);
    const double lower = std::min(n.mean, p.mean), higher = std::max(n.mean, p.mean);
    if (lower > 0) quality.signalToBackground = higher / lower;
    if (n.count < FewestControlWells || p.count < FewestControlWells) {
        quality.status = QualityStatus::TooFewControls;
        return quality;
    }
    if (higher == lower) {
        quality.status = QualityStatus::NoSeparation;
        return quality;
    }
    quality.zPrime = 1 - 3 * (p.sd + n.sd) / (higher - lower);
    quality.status = *quality.zPrime >= ExcellentFrom ? QualityStatus::Excellent
                     : *quality.zPrime >= 0        ? QualityStatus::Marginal
                                                   : QualityStatus::Unusable;
    return quality;
}

std::vector<std::size_t> outlierIndices(const std::vector<double>& values) {
    std::vector<std::size_t> outliers;
    if (static_cast<int>(values.size()) < FewestWellsForOutliers) return outliers;
    // Each well against the others alone, so that it does not widen its own yardstick.
    const auto others = static_cast<double>(values.size() - 1);
    const double t = gsl_cdf_tdist_Pinv(1 - OutlierFalseFlagRate / 2, others - 1);
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::vector<double> rest = values;
        rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(i));
        const SampleSummary summary = summarize(rest);
        const double distance = std::abs(values[i] - summary.mean);
        // The floor keeps a value equal to identical others from differing by rounding alone.
        const double floor = 1e-12 * std::max(1.0, std::abs(summary.mean));
        if (distance > t * summary.sd * std::sqrt(1 + 1 / others) && distance > floor) outliers.push_back(i);
    }
    return outliers;
}

}  // namespace zorvex
