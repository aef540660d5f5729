#pragma once
// The statistics of a screen's samples of wells: mean, SD and SE, median,
// and a ratio of means with its error carried through.

#include <vector>

namespace zorvex {

/// Count, mean, sample SD (n - 1) and SE of the mean; SD and SE are 0 below two values.
struct SampleSummary {
    int count = 0;
    double mean = 0;
    double sd = 0;
    double se = 0;
};

/// The summary of `values`.
SampleSummary summarize(const std::vector<double>& values);

/// The median; 0 for no values.
double median(std::vector<double> values);

/// A percentage of a control mean with its SE.
struct Percentage {
    double percent = 0;
    double se = 0;
};

/// 100 x sample mean / control mean, the SE carried through to first order
/// for independent samples: 100 / |c| x sqrt(se_s^2 + (s / c)^2 se_c^2).
/// The control mean must not be 0.
Percentage percentOf(const SampleSummary& sample, const SampleSummary& control);

}  // namespace zorvex
