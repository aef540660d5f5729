#pragma once
// The report's statistics: the stored records re-binned into bins of J
// minutes, summed per channel and well, averaged per group with SD, and the
// records and mean temperature of each bin. Every rounding halves to even.
// A well's bin is the exact sum of its records' beam means, rounded once at
// the end of the bin, so sparse crossings still count.

#include <cstdint>
#include <utility>
#include <vector>

#include "reports/ReportInputs.h"

namespace zorvex {

/// The bin size after the adjustments for tiny sizes and short acquisitions.
struct BinSize {
    std::int16_t minutes = 0;  ///< J, which the bin-size box shows afterwards
};

/// J from the requested size and the span K: at least 1; an acquisition
/// shorter than one bin becomes one bin (whole quarter hours above 30 minutes).
/// Throws OverflowError when J leaves 16 bits.
BinSize adjustBinSize(long long requestedMinutes, std::int32_t span);

/// Number of reported bins P: K / J rounded half to even, at least 1.
std::int32_t reportedBinCount(std::int32_t span, std::int16_t binMinutes);

/// Every per-bin table of a report; bins 0..P+1, of which 1..P are reported.
struct ReportTables {
    std::int16_t binMinutes = 0;  ///< J
    std::int32_t binCount = 0;    ///< P
    int maxGroup = 0;             ///< Gmax
    std::vector<std::vector<std::int32_t>> channelSum;    ///< [bin][channel 0..383]
    std::vector<std::vector<std::int32_t>> wellActivity;  ///< [bin][well 0..Wmax], crossings per beam, rounded once
    std::vector<std::vector<std::int32_t>> groupAverage;  ///< [bin][group 0..Gmax], of the rounded well values
    std::vector<std::vector<std::int32_t>> groupSd;       ///< [bin][group 0..Gmax], of the rounded well values
    /// [bin][well]: the well's crossings per beam before any rounding.
    std::vector<std::vector<double>> wellActivityExact;
    /// [bin][group]: mean and sample SD of the members' unrounded values, for figures.
    std::vector<std::vector<double>> groupMeanExact;
    std::vector<std::vector<double>> groupSdExact;
    std::vector<std::int32_t> wellsPerGroup;              ///< [group 0..Gmax]
    std::vector<std::int32_t> recordsPerBin;
    std::vector<std::int32_t> temperatureTenths;
    std::vector<bool> hasData;
    /// Bins 1..P holding records, in order.
    std::vector<std::int32_t> reportedBins() const;
};

/// The standard error the report gives for a group bin: SD / sqrt(wells), 0
/// for groups without wells and for SD below 1.
double standardErrorOf(std::int32_t sd, std::int32_t wells);

/// SD / sqrt(wells) of unrounded values; 0 for groups without wells.
double exactStandardErrorOf(double sd, std::int32_t wells);

/// Mean and sample SD (n - 1; 0 below two values) of `values`, unrounded;
/// mean 0 without values.
std::pair<double, double> meanAndSd(const std::vector<double>& values);

/// Gmax: the largest group of channels 0..383, 0 when none is positive.
int maxGroupOf(const ReportPlate& plate);

/// Moves a running bin end, which never moves back, past minute `t` in steps
/// of `binMinutes` and gives the record's bin (end / binMinutes): a record at
/// or before the first end is in bin 1.
long long advanceBinEnd(long long& binEnd, std::int32_t t, int binMinutes);

/// The number of mapped beams of each well 0..Wmax; 0 for a well without a channel.
std::vector<int> beamsPerWell(const ReportPlate& plate);

/// Adds one record's counts on each well's mapped beams to `crossings` [well 0..Wmax].
void addWellCrossings(const ReportPlate& plate, const std::array<std::int16_t, ChannelCount>& counts,
                      std::vector<long long>& crossings);

/// A well's activity: its summed crossings over its number of beams,
/// unrounded; 0 for a well without beams.
double crossingsPerBeam(long long crossings, int beams);

/// Fills `tables` from the series with bin size J over span K. Throws
/// OverflowError (16-bit bin end, 32-bit sums) or std::out_of_range (a record
/// past bin P+1); the tables then keep what was filled so far.
void computeReport(const ReportPlate& plate, const LoadedSeries& series, std::int16_t binMinutes,
                   std::int32_t span, ReportTables& tables);

}  // namespace zorvex
