#include "views/Chart.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "common/Text.h"

namespace zorvex {

namespace {

constexpr std::array<double, 8> HourSteps = {0.25, 0.5, 1, 2, 3, 4, 6, 12};
constexpr std::array<double, 10> MinuteSteps = {1, 2, 5, 10, 15, 20, 30, 60, 120, 240};
constexpr int ReadableDigits = 3;
constexpr double HoursPerDay = 24.0;
// Ticks within this fraction of a step of an end still count as inside.
constexpr double TickTolerance = 1e-9;

// 1, 2 or 5 times a power of ten, the smallest such not below `rough`.
double niceStep(double rough) {
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    const double residual = rough / magnitude;
    if (residual <= 1.0) return magnitude;
    if (residual <= 2.0) return 2.0 * magnitude;
    if (residual <= 5.0) return 5.0 * magnitude;
    return 10.0 * magnitude;
}

// Every multiple of `step` within low..high.
void placeTicks(Axis& axis, double step) {
    const double first = std::ceil(axis.min / step - TickTolerance);
    for (double k = first; k * step <= axis.max + step * TickTolerance; k += 1.0) {
        const double value = k == 0.0 ? 0.0 : k * step;
        axis.ticks.push_back(value);
        axis.labels.push_back(tickLabel(value, step));
    }
}

bool validRange(double low, double high) { return std::isfinite(low) && std::isfinite(high) && high > low; }

// Decades spanned by a log axis at which every 2..9 times the decade is still worth a tick.
constexpr int MostDecadesWithMinorTicks = 4;
// Decimal labels within these powers of ten; "1e-6" style beyond.
constexpr int FewestDecimalPower = -4;
constexpr int MostDecimalPower = 5;

std::string decadeLabel(int power) {
    if (power < FewestDecimalPower || power > MostDecimalPower) return "1e" + std::to_string(power);
    return formatFixed(std::pow(10.0, power), std::max(0, -power));
}

}  // namespace

std::string tickLabel(double value, double step) {
    const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - TickTolerance));
    std::string text = formatFixed(value, decimals);
    return text.find_first_not_of("-0.") == std::string::npos ? formatFixed(0.0, decimals) : text;
}

std::string readableNumber(double value) {
    if (!std::isfinite(value) || value == 0.0) return formatShortest(std::isfinite(value) ? 0.0 : value);
    const int wholeDigits = static_cast<int>(std::floor(std::log10(std::fabs(value)))) + 1;
    const int decimals = std::max(0, ReadableDigits - wholeDigits);
    // Scaled by an exact power of ten and divided back: the nearest double to the rounded decimal.
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(value * scale) / scale;
    return formatShortest(rounded == 0.0 ? 0.0 : rounded);
}

std::string spanText(double fromHours, double toHours) {
    if (toHours < LongestMinuteSpanHours) {
        return readableNumber(fromHours * 60.0) + "\u2013" + readableNumber(toHours * 60.0) + " min";
    }
    return readableNumber(fromHours) + "\u2013" + readableNumber(toHours) + " h";
}

Axis niceAxis(double low, double high, int wanted, std::string title) {
    if (!std::isfinite(low)) low = 0.0;
    if (!validRange(low, high)) high = low + 1.0;
    const double step = niceStep((high - low) / std::max(wanted, 1));
    Axis axis;
    axis.title = std::move(title);
    axis.min = std::floor(low / step + TickTolerance) * step;
    axis.max = std::ceil(high / step - TickTolerance) * step;
    placeTicks(axis, step);
    return axis;
}

double axisFraction(const Axis& axis, double value) {
    if (axis.scale == AxisScale::Log10) {
        return (std::log10(value) - std::log10(axis.min)) / (std::log10(axis.max) - std::log10(axis.min));
    }
    return (value - axis.min) / (axis.max - axis.min);
}

Axis logAxis(double low, double high, int wanted, std::string title) {
    if (!(low > 0.0) || !std::isfinite(low) || !std::isfinite(high) || high < low) {
        low = 0.1;
        high = 10.0;
    }
    const int first = static_cast<int>(std::floor(std::log10(low) + TickTolerance));
    int last = static_cast<int>(std::ceil(std::log10(high) - TickTolerance));
    if (last <= first) last = first + 1;
    const int decades = last - first;
    int step = 1;
    for (int candidate : {1, 2, 5, 10, 20, 50}) {
        step = candidate;
        if (decades / candidate <= std::max(wanted, 1)) break;
    }
    Axis axis;
    axis.title = std::move(title);
    axis.scale = AxisScale::Log10;
    axis.min = std::pow(10.0, first);
    axis.max = std::pow(10.0, last);
    for (int power = first; power <= last; ++power) {
        if ((power - first) % step == 0) {
            axis.ticks.push_back(std::pow(10.0, power));
            axis.labels.push_back(decadeLabel(power));
        } else {
            axis.minorTicks.push_back(std::pow(10.0, power));
        }
        if (decades > MostDecadesWithMinorTicks || power == last) continue;
        for (int multiple = 2; multiple <= 9; ++multiple) axis.minorTicks.push_back(multiple * std::pow(10.0, power));
    }
    return axis;
}

Axis minuteAxis(double low, double high, int wanted, std::string title) {
    if (!validRange(low, high)) return niceAxis(low, high, wanted, std::move(title));
    const double range = high - low;
    wanted = std::max(wanted, 1);
    double step = MinuteSteps.back();
    for (double minutes : MinuteSteps) {
        if (range / minutes <= wanted) {
            step = minutes;
            break;
        }
    }
    Axis axis;
    axis.title = std::move(title);
    axis.min = low;
    axis.max = high;
    placeTicks(axis, step);
    return axis;
}

Axis hourAxis(double low, double high, int wanted, std::string title) {
    if (!validRange(low, high)) return niceAxis(low, high, wanted, std::move(title));
    const double range = high - low;
    wanted = std::max(wanted, 1);
    double step = 0.0;
    if (range / HourSteps.front() < 2.0) {
        step = niceStep(range / wanted);
    } else {
        for (double hours : HourSteps) {
            if (range / hours <= wanted) {
                step = hours;
                break;
            }
        }
        if (step == 0.0) step = HoursPerDay * niceStep(range / HoursPerDay / wanted);
    }
    Axis axis;
    axis.title = std::move(title);
    axis.min = low;
    axis.max = high;
    placeTicks(axis, step);
    return axis;
}

}  // namespace zorvex
