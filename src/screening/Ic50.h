#pragma once
// The IC50 a screen reports of a fitted curve: the curve's own midpoint
// between its plateaus (relative), or the concentration at which it crosses
// 50 % of control (absolute), each with its 95 % interval.

#include <string>
#include <string_view>

#include "screening/DoseResponseFit.h"

namespace zorvex {

/// Which IC50 a screen reports.
enum class Ic50Kind {
    Relative,  ///< halfway between the fitted plateaus
    Absolute,  ///< where the curve crosses 50 % of the negative control
};

/// "relative" or "absolute", as results.csv writes it.
std::string_view ic50KindText(Ic50Kind kind);

/// An IC50 with its 95 % interval and the SE of its log10.
struct Ic50Estimate {
    ScreenStatus status = ScreenStatus::NoConvergence;  ///< the numbers hold for Ok only
    double ic50 = 0;
    double low = 0;
    double high = 0;
    double log10Se = 0;
};

/// Response level of an absolute IC50: half the negative control.
constexpr double HalfOfControlPercent = 50.0;

/// The IC50 of `fit` of the kind asked. An absolute one needs responses in
/// percent of control; its error comes from the fit's covariance to first
/// order. A curve that never crosses 50 % has status NoHalfResponse; one
/// crossing outside the tested range OutsideRange.
Ic50Estimate estimateIc50(const DoseFit& fit, Ic50Kind kind);

/// The status as results.csv writes it: an IC50 outside the tested range
/// gives its bound ("above 100 uM", "below 0.005 uM").
std::string ic50StatusText(const DoseFit& fit, const Ic50Estimate& estimate, const std::string& unit);

}  // namespace zorvex
