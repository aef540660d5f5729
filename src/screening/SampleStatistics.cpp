#include "screening/SampleStatistics.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace zorvex {

SampleSummary summarize(const std::vector<double>& values) {
    SampleSummary summary;
    summary.count = static_cast<int>(values.size());
    if (values.empty()) return summary;
    summary.mean = std::accumulate(values.begin(), values.end(), 0.0) / summary.count;
    if (summary.count < 2) return summary;
    double squares = 0;
    for (double v : values) squares += (v - summary.mean) * (v - summary.mean);
    summary.sd = std::sqrt(squares / (summary.count - 1));
    summary.se = summary.sd / std::sqrt(static_cast<double>(summary.count));
    return summary;
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    const std::size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(middle), values.end());
    const double upper = values[middle];
    if (values.size() % 2 == 1) return upper;
    const double lower = *std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(middle));
    return (lower + upper) / 2;
}

Percentage percentOf(const SampleSummary& sample, const SampleSummary& control) {
    const double ratio = sample.mean / control.mean;
    return {100 * ratio, 100 / std::abs(control.mean) * std::hypot(sample.se, ratio * control.se)};
}

}  // namespace zorvex
