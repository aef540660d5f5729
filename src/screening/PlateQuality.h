#pragma once
// How well a plate's controls separate (Z' and signal-to-background) and
// which wells stand far from the rest of their group.

#include <optional>
#include <string_view>
#include <vector>

namespace zorvex {

/// The reading of a plate's Z', or why there is none.
enum class QualityStatus { Excellent, Marginal, Unusable, MissingControls, TooFewControls, NoSeparation };

/// The status as plate_quality.csv writes it ("excellent", "marginal", ...).
std::string_view qualityStatusText(QualityStatus status);

/// Z' and signal-to-background of the control wells.
struct PlateQuality {
    QualityStatus status = QualityStatus::MissingControls;
    std::optional<double> zPrime;              ///< 1 - 3 (sd_p + sd_n) / |mean_p - mean_n|
    std::optional<double> signalToBackground;  ///< higher control mean over the lower one
    int negativeWells = 0;
    int positiveWells = 0;
};

/// The quality of a plate from its negative and positive control wells:
/// Z' of 0.5 and above excellent, 0 to 0.5 marginal, below 0 unusable; each control
/// needs two wells and their means must differ. Signal-to-background is left
/// out when the lower mean is 0.
PlateQuality plateQuality(const std::vector<double>& negatives, const std::vector<double>& positives);

/// Groups smaller than this are not searched for outliers: below it the
/// rest of a group says too little of its spread.
constexpr int FewestWellsForOutliers = 5;

/// The chance that a well of a clean group (normal activities) is flagged.
constexpr double OutlierFalseFlagRate = 0.001;

/// Indices of the values outside the 99.9 % prediction interval of the
/// other values of their group: mean +- t SD sqrt(1 + 1/m) of the m others,
/// Student's t of m - 1 degrees of freedom. When the others are all equal,
/// any value that differs from them. None for fewer than five values.
std::vector<std::size_t> outlierIndices(const std::vector<double>& values);

}  // namespace zorvex
