#pragma once
// The four-parameter log-logistic dose-response curve fitted by nonlinear
// least squares (GSL's trust-region solver), with standard errors from its
// covariance, the 95 % interval of the IC50 from Student's t, and R2. Data
// that give no curve get a status instead of numbers.

#include <array>
#include <string_view>
#include <vector>

namespace zorvex {

/// One well: its concentration and its response (activity or percent of control).
struct DosePoint {
    double concentration = 0;
    double response = 0;
};

/// What became of a compound's curve or of a percent of control.
enum class ScreenStatus {
    Ok,
    NoConvergence,         ///< the solver found no single curve
    Undetermined,          ///< the solver settled, but a parameter is not determined by the data
    NoHalfResponse,        ///< the curve never crosses 50 % of control, so no absolute IC50 exists
    OutsideRange,          ///< the IC50 lies outside the tested concentrations
    Flat,                  ///< a curve explains the responses no better than their mean
    SingleConcentration,   ///< every well had the same concentration
    TooFewConcentrations,  ///< fewer than the four a four-parameter curve needs
    TooFewWells,           ///< no degrees of freedom left for the errors
    MissingControls,       ///< percent of control asked for, no negative control on the plate
    ZeroControl,           ///< percent of control asked for, negative controls without activity
    MixedUnits,            ///< the compound's groups give their concentrations in different units
};

/// The status as the result files write it ("ok", "no convergence", ...).
std::string_view screenStatusText(ScreenStatus status);

/// The curve: response = bottom + (top - bottom) / (1 + (concentration / ic50)^hill).
struct DoseCurve {
    double bottom = 0;
    double top = 0;
    double ic50 = 0;
    double hill = 0;
};

/// The curve's response at a concentration above 0.
double curveResponse(const DoseCurve& curve, double concentration);

/// A fit. With status Ok every number holds; otherwise only `points`.
struct DoseFit {
    ScreenStatus status = ScreenStatus::NoConvergence;
    DoseCurve curve;  ///< top the upper plateau, so hill > 0 when the response falls with dose
    double bottomSe = 0;
    double topSe = 0;
    double log10Ic50Se = 0;  ///< the IC50's error is estimated on the log scale
    double hillSe = 0;
    double ic50Low = 0;  ///< 95 % interval of the IC50
    double ic50High = 0;
    double r2 = 0;
    double residualSumOfSquares = 0;
    /// Covariance of (bottom, top, log10 IC50, hill) of `curve`.
    std::array<std::array<double, 4>, 4> covariance{};
    int points = 0;
    int concentrations = 0;  ///< distinct concentrations fitted
    double lowestConcentration = 0;  ///< the tested range
    double highestConcentration = 0;
    int degreesOfFreedom = 0;
    int iterations = 0;
};

/// Limits of a fit.
struct FitSettings {
    int maxIterations = 500;
    double flatSignificance = 0.05;  ///< a curve that improves on the mean less significantly is flat
};

/// Fits the curve to points of concentrations above 0.
DoseFit fitDoseResponse(const std::vector<DosePoint>& points, const FitSettings& settings = {});

}  // namespace zorvex
