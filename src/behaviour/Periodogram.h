#pragma once
// Periodograms of one well's activity, resampled into bins of M minutes
// counted from the window's start. The chi-square periodogram is computed as
// the R rhythm tools compute it, so that the numbers agree: every reading is
// used, a partial last cycle included; Qp = N K sum_h (M_h - M)^2 /
// sum_i (X_i - M)^2 with N readings, P = round(period / M) columns (each
// column's mean over the values it has) and K = N / P; the threshold is the
// chi-square quantile with P degrees of freedom at alpha corrected for the
// number of periods tested, 1 - (1 - alpha)^(1/n). The Lomb-Scargle
// periodogram is normalised by the variance, and its false-alarm probability
// is corrected for the same n.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "behaviour/BehaviourGrid.h"

namespace zorvex {

enum class PeriodMethod { ChiSquare, LombScargle };

/// "chi-square", "lomb-scargle".
std::string_view periodMethodName(PeriodMethod method);

struct PeriodogramOptions {
    int resampleMinutes = 15;
    double fromHours = 16.0;
    double toHours = 32.0;
    double stepHours = 0.1;
    PeriodMethod method = PeriodMethod::ChiSquare;
    double alpha = 0.01;
};

/// What is wrong with `options` ("" when nothing): the bin 1..1440 minutes,
/// alpha inside 0..1, a step above 0, a range whose shortest period spans at
/// least two bins, at most 100000 periods.
std::string periodogramOptionsProblem(const PeriodogramOptions& options);

/// The periods tested, in hours: from, from + step, ... up to to.
std::vector<double> periodsTested(const PeriodogramOptions& options);

/// A well's activity in bins: the mean count per minute over each bin's
/// minutes with readings; a bin without one has no value.
struct BinnedSeries {
    int binMinutes = 15;
    std::vector<std::optional<double>> values;
};

/// The bins of `counts` over `span`, counted from its first minute; the last may be partial.
BinnedSeries resampleCounts(const std::vector<std::int32_t>& counts, const std::vector<bool>& reading,
                            const MinuteSpan& span, int binMinutes);

/// The power at one period, with its threshold and p value; no power where
/// the series has no variance or too few readings.
struct PeriodPower {
    double periodHours = 0.0;
    std::optional<double> power;
    double threshold = 0.0;
    std::optional<double> pValue;
};

/// The periodogram of `series` at `periods` by `options.method`.
std::vector<PeriodPower> periodogram(const BinnedSeries& series, const std::vector<double>& periods,
                                     const PeriodogramOptions& options);

/// The highest power above its threshold (the middle of a run of periods
/// that share it); nothing for an arrhythmic series.
std::optional<std::size_t> peakOf(const std::vector<PeriodPower>& powers);

}  // namespace zorvex
