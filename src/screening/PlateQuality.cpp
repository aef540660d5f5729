#include "screening/PlateQuality.h"

#include <algorithm>
#include <cmath>

#include "screening/SampleStatistics.h"

namespace zorvex {

namespace {
constexpr double ExcellentAbove = 0.5;
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
    quality.status = *quality.zPrime > ExcellentAbove ? QualityStatus::Excellent
                     : *quality.zPrime >= 0        ? QualityStatus::Marginal
                                                   : QualityStatus::Unusable;
    return quality;
}

std::vector<std::size_t> outlierIndices(const std::vector<double>& values) {
    std::vector<std::size_t> outliers;
    if (static_cast<int>(values.size()) < FewestWellsForOutliers) return outliers;
    const double centre = median(values);
    const double spread = robustSd(values);
    if (spread <= 0) return outliers;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (std::abs(values[i] - centre) > OutlierRobustSds * spread) outliers.push_back(i);
    }
    return outliers;
}

}  // namespace zorvex
