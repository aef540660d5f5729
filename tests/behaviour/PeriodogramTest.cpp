// Periodograms checked against the chi-square statistic computed here from
// its definition on the monitor files' minutes, and on synthetic plates whose
// periods are known.

#include <gsl/gsl_cdf.h>

#include <cmath>
#include <map>
#include <numbers>

#include "BehaviourFixture.h"
#include "behaviour/PeriodFiles.h"

namespace zorvex::test {
namespace {

constexpr int MinutesPerDayHere = 24 * 60;

// Bins of `bin` minutes from minute 0: the mean over each bin's readings, or nothing.
std::vector<std::optional<double>> binnedMeans(const std::vector<MonitorMinute>& minutes, int bin) {
    std::vector<std::optional<double>> bins;
    for (std::size_t first = 0; first < minutes.size(); first += static_cast<std::size_t>(bin)) {
        double sum = 0;
        int count = 0;
        for (std::size_t m = first; m < std::min(minutes.size(), first + static_cast<std::size_t>(bin)); ++m) {
            if (minutes[m].reading) {
                sum += static_cast<double>(minutes[m].count);
                ++count;
            }
        }
        bins.push_back(count > 0 ? std::optional<double>(sum / count) : std::nullopt);
    }
    return bins;
}

// Sokolove and Bushell's Qp, column means over the values each column has.
double chiSquareStatistic(const std::vector<std::optional<double>>& bins, int columns) {
    std::map<int, std::vector<double>> byColumn;
    std::vector<double> all;
    for (std::size_t i = 0; i < bins.size(); ++i) {
        if (!bins[i]) continue;
        byColumn[static_cast<int>(i) % columns].push_back(*bins[i]);
        all.push_back(*bins[i]);
    }
    const double n = static_cast<double>(all.size());
    double mean = 0;
    for (double x : all) mean += x / n;
    double numerator = 0, denominator = 0;
    for (const auto& [column, values] : byColumn) {
        double columnMean = 0;
        for (double x : values) columnMean += x / static_cast<double>(values.size());
        numerator += (columnMean - mean) * (columnMean - mean);
    }
    for (double x : all) denominator += (x - mean) * (x - mean);
    const double cycles = n / columns;
    return cycles * n * numerator / denominator;
}

class PeriodogramTest : public BehaviourFixture {};

TEST_F(PeriodogramTest, ChiSquarePowerAtEveryPeriodMatchesTheDefinition) {
    writePlate(2, 2);
    // Three and a half days with a gap of two hours, so that columns differ in their counts.
    const int length = 3 * MinutesPerDayHere + 12 * 60 + 7;
    MinuteSeries series(4, length);
    for (int m = 30 * 60; m < 32 * 60; ++m) series.recorded[static_cast<std::size_t>(m)] = false;
    std::mt19937 random(7);
    for (int well = 0; well < 4; ++well) {
        const double period = 22.0 + 2.0 * well;
        poissonCounts(series, well, random,
                      [&](int m) { return 2.0 + 1.5 * std::sin(2 * std::numbers::pi * m / (period * 60.0)); });
    }
    const auto folder = acquisition("01032026_0800", series, NoLight);
    PeriodogramOptions options;
    options.resampleMinutes = 20;
    const PeriodOutcome outcome = runPeriods({folder, temp.path(), std::nullopt, options, temp / "out"}, dialogs);
    ASSERT_EQ(outcome.files.size(), 3u);

    const auto minutes = monitorMinutes(folder, 4);
    const PlainTable table = resultTable(temp / "out" / "periodogram.csv");
    ASSERT_EQ(table.header, (Row{"well", "period_h", "power", "threshold", "p_value"}));
    ASSERT_EQ(table.rows.size(), 4u * 161u);
    const double corrected = 1.0 - std::pow(1.0 - 0.01, 1.0 / 161.0);
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        const auto& row = table.rows[r];
        const int well = static_cast<int>(r / 161);
        ASSERT_EQ(row.at("well"), wellName(well));
        const double period = 16.0 + 0.1 * static_cast<double>(r % 161);
        ASSERT_NEAR(std::stod(row.at("period_h")), period, 1e-9);
        const int columns = static_cast<int>(std::nearbyint(period * 60.0 / 20.0));
        const double expected = chiSquareStatistic(binnedMeans(minutes[static_cast<std::size_t>(well)], 20), columns);
        EXPECT_NEAR(std::stod(row.at("power")), expected, 1e-9 * expected) << row.at("well") << " " << period;
        const double threshold = gsl_cdf_chisq_Qinv(corrected, columns);
        EXPECT_NEAR(std::stod(row.at("threshold")), threshold, 1e-9 * threshold) << period;
        EXPECT_NEAR(std::stod(row.at("p_value")), gsl_cdf_chisq_Q(expected, columns), 1e-9) << period;
    }
}

// A plate of 120 wells over 5 days: 10 at 24 h, 10 at 25.5 h, 100 flat.
class SyntheticPlate : public BehaviourFixture {
protected:
    void SetUp() override {
        writePlate(12, 10);
        MinuteSeries series(120, 5 * MinutesPerDayHere);
        std::mt19937 random(2024);
        for (int well = 0; well < 120; ++well) {
            const double period = well < 10 ? 24.0 : 25.5;
            const double depth = well < 20 ? 0.8 : 0.0;
            poissonCounts(series, well, random, [&](int m) {
                return 3.0 * (1.0 + depth * std::cos(2 * std::numbers::pi * m / (period * 60.0)));
            });
        }
        folder_ = acquisition("01032026_0800", series, NoLight);
    }

    std::map<std::string, std::map<std::string, std::string>> periodsBy(PeriodMethod method) {
        PeriodogramOptions options;
        options.method = method;
        const auto out = temp / std::string(periodMethodName(method));
        EXPECT_EQ(runPeriods({folder_, temp.path(), std::nullopt, options, out}, dialogs).files.size(), 3u);
        std::map<std::string, std::map<std::string, std::string>> wells;
        for (const auto& row : resultTable(out / "periods.csv").rows) wells[row.at("well")] = row;
        return wells;
    }

    void expectRecovered(PeriodMethod method) {
        auto wells = periodsBy(method);
        ASSERT_EQ(wells.size(), 120u);
        for (int well = 0; well < 20; ++well) {
            const auto& row = wells[wellName(well)];
            ASSERT_EQ(row.at("rhythmic"), "1") << wellName(well);
            EXPECT_NEAR(std::stod(row.at("period_h")), well < 10 ? 24.0 : 25.5, 0.2) << wellName(well);
        }
        int arrhythmic = 0;
        for (int well = 20; well < 120; ++well) {
            const auto& row = wells[wellName(well)];
            if (row.at("rhythmic") == "0") {
                ++arrhythmic;
                EXPECT_EQ(row.at("period_h"), "");
            }
        }
        EXPECT_GE(arrhythmic, 98);
    }

    std::filesystem::path folder_;
};

TEST_F(SyntheticPlate, ChiSquareRecoversBothPeriodsAndFindsFlatWellsArrhythmic) {
    expectRecovered(PeriodMethod::ChiSquare);
    const PlainTable groups = resultTable(temp / "chi-square" / "periods_groups.csv");
    ASSERT_EQ(groups.header, (Row{"group", "group_name", "wells", "rhythmic_wells", "period_h", "period_h_se"}));
    ASSERT_EQ(groups.rows.size(), 2u);
    for (const auto& row : groups.rows) EXPECT_EQ(row.at("wells"), "60");
}

TEST_F(SyntheticPlate, LombScargleRecoversBothPeriodsAndFindsFlatWellsArrhythmic) {
    expectRecovered(PeriodMethod::LombScargle);
}

TEST_F(SyntheticPlate, AWindowLimitsTheReadingsUsed) {
    PeriodogramOptions options;
    const auto all = runPeriods({folder_, temp.path(), std::nullopt, options, temp / "all"}, dialogs);
    const auto part = runPeriods({folder_, temp.path(), ElapsedWindow{24.0, 96.0}, options, temp / "part"}, dialogs);
    ASSERT_TRUE(all.results && part.results);
    EXPECT_EQ(part.results->span.first, 24 * 60);
    EXPECT_EQ(part.results->span.end, 96 * 60);
    EXPECT_NE(*all.results->wells[0].powers[80].power, *part.results->wells[0].powers[80].power);
}

TEST(PeriodogramOptionsTest, OptionsOutOfRangeAreRefusedWithTheReason) {
    const struct {
        PeriodogramOptions options;
        const char* says;
    } cases[] = {
        {{0, 16, 32, 0.1, PeriodMethod::ChiSquare, 0.01}, "resampling bin"},
        {{15, 16, 32, 0.1, PeriodMethod::ChiSquare, 0.0}, "Alpha"},
        {{15, 16, 32, 0.1, PeriodMethod::ChiSquare, 1.0}, "Alpha"},
        {{15, 16, 32, 0.0, PeriodMethod::ChiSquare, 0.01}, "step"},
        {{15, 0.3, 32, 0.1, PeriodMethod::ChiSquare, 0.01}, "two bins"},
        {{15, 16, 32, 1e-6, PeriodMethod::ChiSquare, 0.01}, "At most"},
    };
    for (const auto& one : cases) {
        EXPECT_NE(periodogramOptionsProblem(one.options).find(one.says), std::string::npos) << one.says;
    }
    EXPECT_EQ(periodogramOptionsProblem({}), "");
}

TEST(PeriodogramOptionsTest, PeriodsRunFromTheFirstToTheLastInExactSteps) {
    const auto periods = periodsTested({});
    ASSERT_EQ(periods.size(), 161u);
    EXPECT_EQ(periods.front(), 16.0);
    EXPECT_EQ(periods[3], 16.3);
    EXPECT_EQ(periods.back(), 32.0);
}

TEST(PeriodogramSeriesTest, APeakSharedByNeighbouringPeriodsIsTheMiddleOfThem) {
    const auto point = [](double period, double power) { return PeriodPower{period, power, 10.0, 0.0}; };
    EXPECT_EQ(peakOf({point(23.8, 50), point(23.9, 80), point(24.0, 80), point(24.1, 80), point(24.2, 60)}), 2u);
    EXPECT_EQ(peakOf({point(24.2, 80), point(24.3, 80), point(24.4, 60)}), 0u);
    EXPECT_EQ(peakOf({point(24.0, 5), point(32.0, 9)}), std::nullopt) << "nothing above the threshold";
}

TEST(PeriodogramSeriesTest, AFlatSeriesHasNoPowerAndIsArrhythmic) {
    BinnedSeries flat{15, std::vector<std::optional<double>>(500, 2.0)};
    const auto powers = periodogram(flat, periodsTested({}), {});
    for (const auto& power : powers) EXPECT_FALSE(power.power);
    EXPECT_FALSE(peakOf(powers));
}

}  // namespace
}  // namespace zorvex::test
