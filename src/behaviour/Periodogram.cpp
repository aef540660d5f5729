#include "behaviour/Periodogram.h"

#include <gsl/gsl_cdf.h>

#include <cmath>
#include <numbers>

#include "common/Numbers.h"
#include "common/Text.h"

namespace zorvex {

namespace {

constexpr int MaxPeriods = 100000;
constexpr int MaxResampleMinutes = MinutesPerDay;
// Periods are kept to a millionth of an hour so that 16 + 3 x 0.1 writes as 16.3.
constexpr double PeriodResolution = 1e6;

// 1 - (1 - alpha)^(1/n), without losing the small result to rounding.
double correctedAlpha(double alpha, std::size_t tests) {
    return -std::expm1(std::log1p(-alpha) / static_cast<double>(tests));
}

int columnsOf(double periodHours, int binMinutes) {
    return static_cast<int>(roundHalfEven(periodHours * 60.0 / binMinutes));
}

struct Readings {
    std::vector<double> times;  ///< bin index of each reading
    std::vector<double> values;
    std::vector<double> dense;          ///< [bin]: its value, 0 without one
    std::vector<unsigned char> present;  ///< [bin]: 1 when it has a value
    double mean = 0.0;
    double squares = 0.0;  ///< sum of squared deviations from the mean
};

Readings readingsOf(const BinnedSeries& series) {
    Readings readings;
    readings.dense.assign(series.values.size(), 0.0);
    readings.present.assign(series.values.size(), 0);
    for (std::size_t i = 0; i < series.values.size(); ++i) {
        if (!series.values[i]) continue;
        readings.times.push_back(static_cast<double>(i));
        readings.values.push_back(*series.values[i]);
        readings.dense[i] = *series.values[i];
        readings.present[i] = 1;
    }
    if (readings.values.empty()) return readings;
    double sum = 0.0;
    for (double value : readings.values) sum += value;
    readings.mean = sum / static_cast<double>(readings.values.size());
    for (double value : readings.values) readings.squares += (value - readings.mean) * (value - readings.mean);
    return readings;
}

std::optional<double> chiSquarePower(const Readings& readings, int columns) {
    const auto n = static_cast<double>(readings.values.size());
    if (columns < 1 || readings.values.size() < 2 || readings.squares <= 0.0) return std::nullopt;
    std::vector<double> sums(static_cast<std::size_t>(columns), 0.0);
    std::vector<int> counts(static_cast<std::size_t>(columns), 0);
    // Bins in time order fill the columns in turn; a bin without a value adds nothing.
    std::size_t column = 0;
    for (std::size_t i = 0; i < readings.dense.size(); ++i) {
        sums[column] += readings.dense[i];
        counts[column] += readings.present[i];
        if (++column == sums.size()) column = 0;
    }
    double between = 0.0;
    for (std::size_t h = 0; h < sums.size(); ++h) {
        if (counts[h] == 0) continue;
        const double deviation = sums[h] / counts[h] - readings.mean;
        between += deviation * deviation;
    }
    return between * n * (n / columns) / readings.squares;
}

std::optional<double> lombScarglePower(const Readings& readings, double periodBins) {
    const std::size_t n = readings.values.size();
    if (n < 3 || readings.squares <= 0.0) return std::nullopt;
    const double omega = 2.0 * std::numbers::pi / periodBins;
    double sin2 = 0.0, cos2 = 0.0;
    for (double t : readings.times) {
        sin2 += std::sin(2.0 * omega * t);
        cos2 += std::cos(2.0 * omega * t);
    }
    const double tau = std::atan2(sin2, cos2) / (2.0 * omega);
    double yc = 0.0, ys = 0.0, cc = 0.0, ss = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
        const double phase = omega * (readings.times[k] - tau);
        const double y = readings.values[k] - readings.mean;
        const double c = std::cos(phase), s = std::sin(phase);
        yc += y * c;
        ys += y * s;
        cc += c * c;
        ss += s * s;
    }
    const double variance = readings.squares / static_cast<double>(n - 1);
    double power = 0.0;
    if (cc > 0.0) power += yc * yc / cc;
    if (ss > 0.0) power += ys * ys / ss;
    return power / (2.0 * variance);
}

}  // namespace

std::string_view periodMethodName(PeriodMethod method) {
    return method == PeriodMethod::LombScargle ? "lomb-scargle" : "chi-square";
}

std::string periodogramOptionsProblem(const PeriodogramOptions& options) {
    if (options.resampleMinutes < 1 || options.resampleMinutes > MaxResampleMinutes) {
        return "The resampling bin must be 1 to " + std::to_string(MaxResampleMinutes) + " minutes.";
    }
    if (!(options.alpha > 0.0 && options.alpha < 1.0)) return "Alpha must lie between 0 and 1.";
    if (!(options.stepHours > 0.0)) return "The step between periods must be above 0 h.";
    if (!(options.fromHours > 0.0 && options.toHours >= options.fromHours)) {
        return "The periods must run from above 0 h to a longer period.";
    }
    if (columnsOf(options.fromHours, options.resampleMinutes) < 2) {
        return "The shortest period, " + formatShortest(options.fromHours) + " h, must span at least two bins of " +
               std::to_string(options.resampleMinutes) + " minutes.";
    }
    if ((options.toHours - options.fromHours) / options.stepHours >= MaxPeriods) {
        return "At most " + std::to_string(MaxPeriods) + " periods can be tested; take a larger step.";
    }
    return "";
}

std::vector<double> periodsTested(const PeriodogramOptions& options) {
    std::vector<double> periods;
    const auto steps = static_cast<int>(std::floor((options.toHours - options.fromHours) / options.stepHours + 1e-9));
    for (int i = 0; i <= steps; ++i) {
        periods.push_back(std::round((options.fromHours + i * options.stepHours) * PeriodResolution) /
                          PeriodResolution);
    }
    return periods;
}

BinnedSeries resampleCounts(const std::vector<std::int32_t>& counts, const std::vector<bool>& reading,
                            const MinuteSpan& span, int binMinutes) {
    BinnedSeries series;
    series.binMinutes = binMinutes;
    for (int first = span.first; first < span.end; first += binMinutes) {
        long long sum = 0;
        int minutes = 0;
        for (int m = first; m < std::min(first + binMinutes, span.end); ++m) {
            const auto slot = static_cast<std::size_t>(m);
            if (!reading[slot]) continue;
            sum += counts[slot];
            ++minutes;
        }
        series.values.push_back(minutes > 0 ? std::optional<double>(static_cast<double>(sum) / minutes)
                                            : std::nullopt);
    }
    return series;
}

std::vector<PeriodPower> periodogram(const BinnedSeries& series, const std::vector<double>& periods,
                                     const PeriodogramOptions& options) {
    const Readings readings = readingsOf(series);
    const double alpha = correctedAlpha(options.alpha, periods.size());
    const auto tests = static_cast<double>(periods.size());
    std::vector<PeriodPower> powers;
    powers.reserve(periods.size());
    for (double period : periods) {
        PeriodPower point;
        point.periodHours = period;
        if (options.method == PeriodMethod::ChiSquare) {
            const int columns = columnsOf(period, series.binMinutes);
            // Neighbouring periods often round to the same columns, and so to the same power.
            if (!powers.empty() && columnsOf(powers.back().periodHours, series.binMinutes) == columns) {
                PeriodPower same = powers.back();
                same.periodHours = period;
                powers.push_back(same);
                continue;
            }
            point.power = chiSquarePower(readings, columns);
            point.threshold = gsl_cdf_chisq_Qinv(alpha, columns);
            if (point.power) point.pValue = gsl_cdf_chisq_Q(*point.power, columns);
        } else {
            point.power = lombScarglePower(readings, period * 60.0 / series.binMinutes);
            point.threshold = -std::log(alpha);
            // The chance that noise alone gives this power at any of the periods tested.
            if (point.power) point.pValue = -std::expm1(tests * std::log1p(-std::exp(-*point.power)));
        }
        powers.push_back(point);
    }
    return powers;
}

std::optional<std::size_t> peakOf(const std::vector<PeriodPower>& powers) {
    std::optional<std::size_t> peak;
    for (std::size_t k = 0; k < powers.size(); ++k) {
        const auto& power = powers[k].power;
        if (!power || *power <= powers[k].threshold) continue;
        if (!peak || *power > *powers[*peak].power) peak = k;
    }
    if (!peak) return peak;
    // Neighbouring periods of the same columns share the power: the middle
    // of that run is the best guess of the period, not its first.
    std::size_t last = *peak;
    while (last + 1 < powers.size() && powers[last + 1].power == powers[*peak].power) ++last;
    return *peak + (last - *peak) / 2;
}

}  // namespace zorvex
