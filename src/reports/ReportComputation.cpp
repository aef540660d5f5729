#include "reports/ReportComputation.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "common/Numbers.h"

namespace zorvex {

namespace {

// A minute is the finest bin the records' minute stamps tell apart.
constexpr std::int16_t MinBinMinutes = 1;
constexpr std::int32_t ShortRunMinutes = 30;
constexpr std::int32_t QuarterHour = 15;

void add32(std::int32_t& total, long long value) {
    long long sum = static_cast<long long>(total) + value;
    if (sum < INT32_MIN || sum > INT32_MAX) throw OverflowError("Overflow: value does not fit 32 bits");
    total = static_cast<std::int32_t>(sum);
}

// The record's bin by the running bin end, which must stay 16-bit.
std::int32_t binOf(std::int32_t t, std::int16_t binMinutes, std::int32_t binCount, std::int16_t& binEnd) {
    long long end = binEnd;
    const long long bin = advanceBinEnd(end, t, binMinutes);
    binEnd = checkedInt16(end);
    if (bin > binCount + 1) throw std::out_of_range("record beyond the last bin");
    return static_cast<std::int32_t>(bin);
}

}  // namespace

long long advanceBinEnd(long long& binEnd, std::int32_t t, int binMinutes) {
    while (binEnd < t) binEnd += binMinutes;
    return binEnd / binMinutes;
}

std::vector<int> beamsPerWell(const ReportPlate& plate) {
    std::vector<int> beams(static_cast<std::size_t>(std::max(plate.maxWell + 1, 0)), 0);
    for (const auto& beamRow : plate.channelMap) {
        for (std::size_t w = 0; w < beams.size() && w < beamRow.size(); ++w) {
            if (beamRow[w] >= 0) ++beams[w];
        }
    }
    return beams;
}

void addWellCrossings(const ReportPlate& plate, const std::array<std::int16_t, ChannelCount>& counts,
                      std::vector<long long>& crossings) {
    for (const auto& beamRow : plate.channelMap) {
        for (std::size_t w = 0; w < crossings.size() && w < beamRow.size(); ++w) {
            const int c = beamRow[w];
            if (c >= 0) crossings[w] += counts[static_cast<std::size_t>(c)];
        }
    }
}

double crossingsPerBeam(long long crossings, int beams) {
    return beams > 0 ? static_cast<double>(crossings) / beams : 0.0;
}

std::pair<double, double> meanAndSd(const std::vector<double>& values) {
    if (values.empty()) return {0.0, 0.0};
    double sum = 0;
    for (double v : values) sum += v;
    const double mean = sum / static_cast<double>(values.size());
    if (values.size() < 2) return {mean, 0.0};
    double squares = 0;
    for (double v : values) squares += (v - mean) * (v - mean);
    return {mean, std::sqrt(squares / static_cast<double>(values.size() - 1))};
}

namespace {

// Each well's bins: the crossings of its beams summed over the bin's
// records, divided by its beams and only then rounded.
void computeWells(const ReportPlate& plate, const LoadedSeries& series, const std::vector<std::int32_t>& bins,
                  ReportTables& tables) {
    const std::vector<int> beams = beamsPerWell(plate);
    std::vector<std::vector<long long>> crossings(tables.wellActivity.size(), std::vector<long long>(beams.size(), 0));
    for (std::size_t n = 0; n < bins.size(); ++n) {
        addWellCrossings(plate, series.counts[n], crossings[static_cast<std::size_t>(bins[n])]);
    }
    for (std::size_t b = 0; b < crossings.size(); ++b) {
        for (std::size_t w = 0; w < beams.size(); ++w) {
            const double exact = crossingsPerBeam(crossings[b][w], beams[w]);
            tables.wellActivityExact[b][w] = exact;
            tables.wellActivity[b][w] = toInt32(exact);
        }
    }
}

void computeGroups(const ReportPlate& plate, ReportTables& tables) {
    // Each group's wells in well order, from one pass over the plate.
    std::vector<std::vector<int>> membersOf(static_cast<std::size_t>(std::max(tables.maxGroup + 1, 0)));
    for (int w = 0; w <= plate.maxWell; ++w) {
        const int g = plate.groupOfWell(w);
        if (g >= 0 && g <= tables.maxGroup) membersOf[static_cast<std::size_t>(g)].push_back(w);
    }
    for (int g = 0; g <= tables.maxGroup; ++g) {
        const std::vector<int>& members = membersOf[static_cast<std::size_t>(g)];
        if (members.empty()) continue;
        const auto n = static_cast<std::int32_t>(members.size());
        tables.wellsPerGroup[static_cast<std::size_t>(g)] = n;
        for (std::int32_t b = 1; b <= tables.binCount; ++b) {
            const auto& wells = tables.wellActivity[static_cast<std::size_t>(b)];
            double sum = 0;
            for (int w : members) sum += wells[static_cast<std::size_t>(w)];
            std::int32_t average = toInt32(sum / n);
            tables.groupAverage[static_cast<std::size_t>(b)][static_cast<std::size_t>(g)] = average;
            std::int32_t sd = 0;
            if (n > 1) {
                for (int w : members) {
                    double deviation = static_cast<double>(wells[static_cast<std::size_t>(w)]) - average;
                    sd = toInt32(deviation * deviation + sd);
                }
                sd = toInt32(std::sqrt(static_cast<double>(sd) / (n - 1)));
            }
            tables.groupSd[static_cast<std::size_t>(b)][static_cast<std::size_t>(g)] = sd;
            std::vector<double> exact;
            exact.reserve(members.size());
            for (int w : members) exact.push_back(tables.wellActivityExact[static_cast<std::size_t>(b)][static_cast<std::size_t>(w)]);
            const auto [mean, spread] = meanAndSd(exact);
            tables.groupMeanExact[static_cast<std::size_t>(b)][static_cast<std::size_t>(g)] = mean;
            tables.groupSdExact[static_cast<std::size_t>(b)][static_cast<std::size_t>(g)] = spread;
        }
    }
}

}  // namespace

BinSize adjustBinSize(long long requestedMinutes, std::int32_t span) {
    long long j = std::max<long long>(requestedMinutes, MinBinMinutes);
    if (static_cast<long long>(span) + 1 < j) {
        j = span > ShortRunMinutes ? (static_cast<long long>(span) + 1) / QuarterHour * QuarterHour
                                   : static_cast<long long>(span) + 1;
    }
    return {checkedInt16(j)};
}

std::int32_t reportedBinCount(std::int32_t span, std::int16_t binMinutes) {
    std::int32_t bins = toInt32(static_cast<double>(span) / binMinutes);
    return bins == 0 ? 1 : bins;
}

std::vector<std::int32_t> ReportTables::reportedBins() const {
    std::vector<std::int32_t> bins;
    for (std::int32_t b = 1; b <= binCount && static_cast<std::size_t>(b) < hasData.size(); ++b) {
        if (hasData[static_cast<std::size_t>(b)]) bins.push_back(b);
    }
    return bins;
}

double standardErrorOf(std::int32_t sd, std::int32_t wells) {
    if (wells < 1 || sd < 1) return 0.0;
    return sd / std::sqrt(static_cast<double>(wells));
}

double exactStandardErrorOf(double sd, std::int32_t wells) {
    return wells < 1 ? 0.0 : sd / std::sqrt(static_cast<double>(wells));
}

int maxGroupOf(const ReportPlate& plate) {
    int gmax = 0;
    for (int c = 0; c < ChannelCount; ++c) gmax = std::max<int>(gmax, plate.channelGroup[static_cast<std::size_t>(c)]);
    return gmax;
}

void computeReport(const ReportPlate& plate, const LoadedSeries& series, std::int16_t binMinutes,
                   std::int32_t span, ReportTables& tables) {
    tables = ReportTables{};
    tables.binMinutes = binMinutes;
    std::int32_t binCount = reportedBinCount(span, binMinutes);
    // Bin numbers are 16-bit; a larger P would not be addressable.
    checkedInt16(static_cast<long long>(binCount) + 1);
    tables.binCount = binCount;
    tables.maxGroup = maxGroupOf(plate);
    const auto slots = static_cast<std::size_t>(binCount) + 2;
    const auto groups = static_cast<std::size_t>(tables.maxGroup) + 1;
    tables.channelSum.assign(slots, std::vector<std::int32_t>(ChannelCount, 0));
    tables.wellActivity.assign(slots, std::vector<std::int32_t>(static_cast<std::size_t>(plate.maxWell) + 1, 0));
    tables.groupAverage.assign(slots, std::vector<std::int32_t>(groups, 0));
    tables.groupSd.assign(slots, std::vector<std::int32_t>(groups, 0));
    tables.wellActivityExact.assign(slots, std::vector<double>(static_cast<std::size_t>(plate.maxWell) + 1, 0.0));
    tables.groupMeanExact.assign(slots, std::vector<double>(groups, 0.0));
    tables.groupSdExact.assign(slots, std::vector<double>(groups, 0.0));
    tables.wellsPerGroup.assign(groups, 0);
    tables.recordsPerBin.assign(slots, 0);
    tables.temperatureTenths.assign(slots, 0);
    tables.hasData.assign(slots, false);

    std::vector<std::int32_t> bins;
    bins.reserve(series.minutes.size());
    std::vector<std::int16_t> validTemperatures(slots, 0);
    std::int16_t binEnd = binMinutes;
    for (std::size_t n = 0; n < series.minutes.size(); ++n) {
        bins.push_back(binOf(series.minutes[n], binMinutes, binCount, binEnd));
        const auto b = static_cast<std::size_t>(bins.back());
        auto& sums = tables.channelSum[b];
        for (int c = 0; c < ChannelCount; ++c) add32(sums[static_cast<std::size_t>(c)], series.counts[n][static_cast<std::size_t>(c)]);
        tables.hasData[b] = true;
        add32(tables.recordsPerBin[b], 1);
        std::int16_t temperature = series.temperatureTenths[n];
        if (isValidTemperature(temperature)) {
            add32(tables.temperatureTenths[b], temperature);
            validTemperatures[b] = checkedInt16(validTemperatures[b] + 1);
        }
    }
    // The mean divides by every record of the bin, valid temperature or not.
    for (std::size_t b = 0; b < slots; ++b) {
        if (validTemperatures[b] >= 1) {
            tables.temperatureTenths[b] =
                toInt32(static_cast<double>(tables.temperatureTenths[b]) / tables.recordsPerBin[b]);
        }
    }
    computeWells(plate, series, bins, tables);
    computeGroups(plate, tables);
}

}  // namespace zorvex
