#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "screening/PlateQuality.h"
#include "screening/SampleStatistics.h"
#include "screening/Screening.h"

namespace zorvex {
namespace {

// The textbook formula, from sums written out here.
double zPrimeByHand(const std::vector<double>& p, const std::vector<double>& n) {
    auto mean = [](const std::vector<double>& v) {
        double s = 0;
        for (double x : v) s += x;
        return s / static_cast<double>(v.size());
    };
    auto sd = [&](const std::vector<double>& v) {
        double m = mean(v), s = 0;
        for (double x : v) s += (x - m) * (x - m);
        return std::sqrt(s / static_cast<double>(v.size() - 1));
    };
    return 1 - 3 * (sd(p) + sd(n)) / std::abs(mean(p) - mean(n));
}

TEST(PlateQuality, ZPrimeEqualsTheFormulaAndReadsAsTheUsualBands) {
    const struct {
        std::vector<double> negatives, positives;
        QualityStatus status;
    } cases[] = {
        {{100, 104, 96, 101, 99, 100}, {5, 7, 3, 6, 4, 5}, QualityStatus::Excellent},
        {{100, 115, 85, 108, 92}, {20, 28, 12, 24, 16}, QualityStatus::Marginal},
        {{100, 160, 40, 130}, {60, 110, 10, 80}, QualityStatus::Unusable},
        {{10, 12, 11}, {200, 280, 210}, QualityStatus::Marginal},  // a positive control that raises activity
        {{125, 135, 145}, {5, 15, 25}, QualityStatus::Excellent},  // Z' exactly 0.5: 1 - 3 (10 + 10) / 120
    };
    for (const auto& c : cases) {
        PlateQuality quality = plateQuality(c.negatives, c.positives);
        ASSERT_TRUE(quality.zPrime.has_value());
        EXPECT_NEAR(*quality.zPrime, zPrimeByHand(c.positives, c.negatives), 1e-12);
        EXPECT_EQ(quality.status, c.status) << *quality.zPrime;
        EXPECT_EQ(quality.negativeWells, static_cast<int>(c.negatives.size()));
        EXPECT_EQ(quality.positiveWells, static_cast<int>(c.positives.size()));
    }
    // Signal over background: the higher control mean over the lower.
    EXPECT_DOUBLE_EQ(*plateQuality({100, 104, 96}, {5, 7, 3}).signalToBackground, 20.0);
    EXPECT_DOUBLE_EQ(*plateQuality({10, 12, 11}, {200, 280, 210}).signalToBackground, 230.0 / 11.0);
}

TEST(PlateQuality, ControlsThatCannotBeReadGiveAStatusInsteadOfZPrime) {
    const struct {
        std::vector<double> negatives, positives;
        QualityStatus status;
        bool hasSignalToBackground;
    } cases[] = {
        {{}, {5, 6}, QualityStatus::MissingControls, false},
        {{100, 90}, {}, QualityStatus::MissingControls, false},
        {{100}, {5, 6}, QualityStatus::TooFewControls, true},
        {{50, 60}, {60, 50}, QualityStatus::NoSeparation, true},
        {{100, 90}, {0, 0}, QualityStatus::Excellent, false},  // a background of 0 has no ratio
    };
    for (const auto& c : cases) {
        PlateQuality quality = plateQuality(c.negatives, c.positives);
        EXPECT_EQ(quality.status, c.status) << qualityStatusText(quality.status);
        EXPECT_EQ(quality.zPrime.has_value(), c.status <= QualityStatus::Unusable);
        EXPECT_EQ(quality.signalToBackground.has_value(), c.hasSignalToBackground);
    }
}

TEST(PlateQuality, OutliersLieOutsideThePredictionIntervalOfTheRestOfTheirGroup) {
    // The seven others of the last well: mean 100, SD sqrt(40 / 6); t(0.9995, 6 df) = 5.9588, so
    // the interval reaches 5.9588 x 2.5820 x sqrt(8 / 7) = 16.448 either side.
    const double edge = 5.958816 * std::sqrt(40.0 / 6) * std::sqrt(8.0 / 7);
    EXPECT_TRUE(outlierIndices({98, 100, 102, 100, 96, 104, 100, 100 + edge - 0.01}).empty());
    EXPECT_EQ(outlierIndices({98, 100, 102, 100, 96, 104, 100, 100 + edge + 0.01}), (std::vector<std::size_t>{7}));
    EXPECT_EQ(outlierIndices({98, 100, 102, 100, 96, 104, 100, 100 - edge - 0.01}), (std::vector<std::size_t>{7}));
    // Identical others: any value that differs stands out; equal ones never do.
    EXPECT_EQ(outlierIndices({10, 10, 10, 10, 14}), (std::vector<std::size_t>{4}));
    EXPECT_TRUE(outlierIndices({0.1, 0.1, 0.1, 0.1, 0.1, 0.1}).empty());
    // Fewer than five wells say too little of their spread.
    EXPECT_TRUE(outlierIndices({10, 10, 10, 14}).empty());
    EXPECT_TRUE(outlierIndices({1, 500}).empty());
}

TEST(PlateQuality, CleanPlatesFlagFarFewerThanOnePercentOfWells) {
    // 1,000 plates of 96 wells with normal activities and no outlier: four
    // groups of 8 (columns of a dose series), six of 5, ten of 3 and two of 2.
    std::mt19937 rng(96);
    std::normal_distribution<double> activity(100, 15);
    long long flagged = 0, wells = 0, platesWithAFlag = 0;
    for (int plate = 0; plate < 1000; ++plate) {
        long long onPlate = 0;
        for (int size : {8, 8, 8, 8, 5, 5, 5, 5, 5, 5, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 2, 2}) {
            std::vector<double> values;
            for (int k = 0; k < size; ++k) values.push_back(activity(rng));
            onPlate += static_cast<long long>(outlierIndices(values).size());
            wells += size;
        }
        flagged += onPlate;
        platesWithAFlag += onPlate > 0 ? 1 : 0;
    }
    ASSERT_EQ(wells, 96000);
    const double rate = static_cast<double>(flagged) / static_cast<double>(wells);
    RecordProperty("flagged_wells_percent", std::to_string(100 * rate));
    RecordProperty("plates_with_a_flag_percent", std::to_string(platesWithAFlag / 10.0));
    // 62 of the 96 wells are searched, each at 0.1 %: about 0.065 % of all wells.
    EXPECT_LE(rate, 0.01);
    EXPECT_NEAR(rate, 0.001 * 62 / 96, 0.0004);
}

TEST(PlateQuality, PercentOfControlCarriesBothErrors) {
    SampleSummary sample = summarize({40, 50, 60});
    SampleSummary control = summarize({100, 90, 110, 100});
    EXPECT_DOUBLE_EQ(sample.se, 10 / std::sqrt(3.0));
    Percentage p = percentOf(sample, control);
    EXPECT_DOUBLE_EQ(p.percent, 50.0);
    const double expected = 50.0 * std::sqrt(std::pow(sample.se / 50, 2) + std::pow(control.se / 100, 2));
    EXPECT_NEAR(p.se, expected, 1e-12);
    EXPECT_DOUBLE_EQ(percentOf(summarize({0, 0}), control).se, 0.0);
}

// A plate of controls and samples whose wells the test sets one by one.
struct PlateBuilder {
    ScreeningPlate plate;
    PlateBuilder& group(int number, GroupAnnotation annotation, const std::vector<double>& activity) {
        plate.annotations[number] = annotation;
        plate.groupNames[number] = annotation.name;
        for (double a : activity) {
            plate.wells.push_back({static_cast<int>(plate.wells.size()), "W" + std::to_string(plate.wells.size()), number});
            plate.windowActivity.push_back(a);
        }
        return *this;
    }
};

std::vector<double> doseWells(double response) { return {response, response + 1, response - 1}; }

PlateBuilder dosePlate(const std::vector<double>& negatives) {
    PlateBuilder builder;
    builder.group(0, {"Vehicle", "", std::nullopt, "", GroupRole::Negative}, negatives);
    const std::vector<double> concentrations = {0.1, 0.3, 1, 3, 10, 30};
    for (std::size_t k = 0; k < concentrations.size(); ++k) {
        builder.group(static_cast<int>(k) + 1, {"Dose", "Drug", concentrations[k], "uM", GroupRole::Sample},
                      doseWells(100 - 80 / (1 + 1 / concentrations[k] * 2)));
    }
    return builder;
}

TEST(PlateQuality, MissingAndZeroControlsStopPercentOfControlWithAStatus) {
    const struct {
        const char* what;
        std::vector<double> negatives;
        ScreenStatus status;
    } cases[] = {
        {"no negative control", {}, ScreenStatus::MissingControls},
        {"negative controls without activity", {0, 0, 0}, ScreenStatus::ZeroControl},
    };
    for (const auto& c : cases) {
        ScreeningPlate plate = dosePlate(c.negatives).plate;
        ScreeningResults results = screenPlate(plate, Normalisation::Control);
        ASSERT_EQ(results.compounds.size(), 1u) << c.what;
        EXPECT_EQ(results.compounds[0].fit.status, c.status) << c.what;
        EXPECT_FALSE(results.wells.back().percent.has_value());
        // Unnormalised, the same wells still give a curve.
        EXPECT_EQ(screenPlate(plate, Normalisation::None).compounds[0].fit.status, ScreenStatus::Ok) << c.what;
    }
}

TEST(PlateQuality, SamplesThatCannotJoinACurveAreSaidSo) {
    PlateBuilder builder = dosePlate({100, 98, 102});
    builder.group(7, {"Vehicle 2", "Drug", 0, "uM", GroupRole::Sample}, {100, 101});
    builder.group(8, {"No dose", "Drug", std::nullopt, "uM", GroupRole::Sample}, {100, 101});
    ScreeningResults results = screenPlate(builder.plate, Normalisation::Control);
    EXPECT_EQ(results.compounds[0].fit.status, ScreenStatus::Ok);
    EXPECT_EQ(results.compounds[0].points.size(), 18u);
    EXPECT_EQ(results.messages.size(), 3u) << ::testing::PrintToString(results.messages);  // two groups, no positive control

    builder.plate.annotations[6].unit = "nM";
    results = screenPlate(builder.plate, Normalisation::Control);
    EXPECT_EQ(results.compounds[0].fit.status, ScreenStatus::MixedUnits);
    EXPECT_EQ(results.compounds[0].fit.points, 18);
}

TEST(PlateQuality, OutlierWellsAreFlaggedListedAndKept) {
    PlateBuilder builder = dosePlate({100, 98, 102, 101, 99, 100});
    builder.group(9, {"Positive", "Levamisole", 10, "uM", GroupRole::Positive}, {5, 6, 4, 5, 60});
    ScreeningResults results = screenPlate(builder.plate, Normalisation::Control);
    const std::size_t outlier = builder.plate.wells.size() - 1;
    EXPECT_EQ(results.outliers, (std::vector<std::size_t>{outlier}));
    EXPECT_TRUE(results.wells[outlier].outlier);
    EXPECT_EQ(results.quality.positiveWells, 5);  // still counted
    bool named = false;
    for (const auto& message : results.messages) named |= message.find("well " + builder.plate.wells[outlier].name) != std::string::npos;
    EXPECT_TRUE(named);
}

TEST(PlateQuality, ControlGroupsCarryThePooledControlErrorWhenThereAreSeveral) {
    const std::vector<double> first = {100, 90, 110}, second = {120, 110, 130};
    auto percentSe = [](const std::vector<std::vector<double>>& negatives) {
        PlateBuilder builder;
        for (std::size_t g = 0; g < negatives.size(); ++g) {
            builder.group(static_cast<int>(g), {"Vehicle", "", std::nullopt, "", GroupRole::Negative}, negatives[g]);
        }
        builder.plate.bins = {{1, 0, 1, builder.plate.windowActivity}};
        const ScreeningResults results = screenPlate(builder.plate, Normalisation::Control);
        return results.percentOfControl.at(0).percent.value().se;
    };
    // Alone, the control group is the control mean: its own spread is all there is.
    EXPECT_NEAR(percentSe({first}), 100 * summarize(first).se / 100, 1e-12);
    // Beside a second control group, the pooled mean's error is carried as well.
    std::vector<double> pooled = first;
    pooled.insert(pooled.end(), second.begin(), second.end());
    const double expected = percentOf(summarize(first), summarize(pooled)).se;
    EXPECT_NEAR(percentSe({first, second}), expected, 1e-12);
    EXPECT_GT(expected, 100 * summarize(first).se / summarize(pooled).mean);
}

}  // namespace
}  // namespace zorvex
