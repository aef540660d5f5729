#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "PlainCsv.h"
#include "ScreenedPlate.h"
#include "TempFolder.h"
#include "common/Files.h"
#include "screening/ScreenFolder.h"
#include "screening/ScreeningFiles.h"

namespace zorvex {
namespace {

double number(const std::map<std::string, std::string>& row, const std::string& column) {
    return std::stod(row.at(column));
}

// The screened plate of ScreenedPlate.h: its vehicle counts 100, so the
// treated counts are percent of control; the drug falls from 100 to 10 % at
// an IC50 of 0.5 uM with slope 1.2.
class ResultsFileTest : public ::testing::Test {
protected:
    ResultsFileTest() { test::writeScreenedPlate(temp.path()); }

    std::map<std::string, std::string> drugRow(Ic50Kind kind) const {
        ScreeningRequest request;
        request.acquisitionFolder = temp / "p00001" / "14032026_0930";
        request.programFolder = temp.path();
        request.windowStartHours = 2;
        request.windowEndHours = 4;
        request.ic50Kind = kind;
        request.outFolder = temp / (kind == Ic50Kind::Absolute ? "absolute" : "relative");
        const ScreeningOutcome outcome = screenAcquisition(request);
        EXPECT_FALSE(outcome.files.empty()) << ::testing::PrintToString(outcome.messages);
        const test::PlainTable table = test::plainTable(readFile(request.outFolder / "results.csv").value_or(""));
        EXPECT_EQ(table.rows.size(), 1u);
        return table.rows.empty() ? std::map<std::string, std::string>{} : table.rows[0];
    }

    test::TempFolder temp;
};

TEST_F(ResultsFileTest, TheAppendedColumnsDescribeTheFit) {
    const auto row = drugRow(Ic50Kind::Relative);
    ASSERT_FALSE(row.empty());
    EXPECT_EQ(row.at("status"), "ok");
    EXPECT_EQ(row.at("unit"), "uM");
    EXPECT_EQ(row.at("df"), "28");  // 32 wells, 4 parameters
    EXPECT_EQ(row.at("concentrations"), "8");
    EXPECT_EQ(row.at("direction"), "falling");
    EXPECT_EQ(row.at("ic50_kind"), "relative");
    for (const char* column : {"log10_ic50_se", "hill_se", "top_se", "bottom_se", "residual_sd"}) {
        EXPECT_GT(number(row, column), 0) << column;
        EXPECT_LT(number(row, column), 5) << column;  // counts rounded to whole numbers: a small error
    }
    // The interval is the log-scale one: IC50 x 10^(+-t se) with t of 28 degrees of freedom.
    const double ic50 = number(row, "ic50"), se = number(row, "log10_ic50_se");
    EXPECT_NEAR(std::log10(number(row, "ic50_high") / ic50), 2.0484 * se, 1e-3 * se + 1e-9);
    EXPECT_NEAR(std::log10(ic50 / number(row, "ic50_low")), 2.0484 * se, 1e-3 * se + 1e-9);
}

TEST_F(ResultsFileTest, AbsoluteIc50IsWhereTheFittedCurveCrossesHalfTheControl) {
    const auto relative = drugRow(Ic50Kind::Relative);
    const auto absolute = drugRow(Ic50Kind::Absolute);
    ASSERT_FALSE(relative.empty());
    ASSERT_FALSE(absolute.empty());
    EXPECT_EQ(absolute.at("ic50_kind"), "absolute");
    EXPECT_EQ(absolute.at("status"), "ok");
    // bottom + (top - bottom) / (1 + (x / IC50)^hill) = 50, solved for x.
    const double top = number(relative, "top"), bottom = number(relative, "bottom"), hill = number(relative, "hill");
    const double expected = number(relative, "ic50") * std::pow((top - 50) / (50 - bottom), 1 / hill);
    EXPECT_NEAR(number(absolute, "ic50"), expected, 1e-6 * expected);
    // The plate's own curve crosses 50 % at 0.5 x 1.25^(1 / 1.2) uM.
    EXPECT_NEAR(number(absolute, "ic50"), 0.5 * std::pow(1.25, 1 / 1.2), 0.02);
    EXPECT_LT(number(absolute, "ic50_low"), number(absolute, "ic50"));
    EXPECT_GT(number(absolute, "ic50_high"), number(absolute, "ic50"));
    EXPECT_GT(number(absolute, "log10_ic50_se"), 0);
}

TEST_F(ResultsFileTest, AnAbsoluteIc50OfCountsIsRefused) {
    ScreeningRequest request;
    request.acquisitionFolder = temp / "p00001" / "14032026_0930";
    request.programFolder = temp.path();
    request.windowStartHours = 2;
    request.windowEndHours = 4;
    request.normalisation = Normalisation::None;
    request.ic50Kind = Ic50Kind::Absolute;
    const ScreeningOutcome outcome = screenAcquisition(request);
    EXPECT_TRUE(outcome.files.empty());
    ASSERT_EQ(outcome.messages.size(), 1u);
    EXPECT_NE(outcome.messages[0].find("absolute IC50"), std::string::npos) << outcome.messages[0];
}

// A compound that has barely begun to fall at the highest dose tested.
ScreeningResults outOfRangeResults(Ic50Kind kind) {
    const DoseCurve truth{0, 100, 30, 1};
    ScreeningPlate plate;
    plate.annotations[1] = {"", "Vehicle", 0.1, "%", GroupRole::Negative};
    const std::vector<double> doses = {0.01, 0.1, 1, 3, 10};
    for (int k = 0; k < 3; ++k) {
        plate.wells.push_back({static_cast<int>(plate.wells.size()), "V" + std::to_string(k), 1});
        plate.windowActivity.push_back(1000);
    }
    for (std::size_t d = 0; d < doses.size(); ++d) {
        const int group = static_cast<int>(d) + 2;
        plate.annotations[group] = {"", "Weak", doses[d], "uM", GroupRole::Sample};
        for (int k = 0; k < 3; ++k) {
            plate.wells.push_back({static_cast<int>(plate.wells.size()), "W", group});
            // A tenth of a percent either way, so the fit has residuals.
            plate.windowActivity.push_back(10 * curveResponse(truth, doses[d]) + (k - 1));
        }
    }
    return screenPlate(plate, Normalisation::Control, kind);
}

TEST_F(ResultsFileTest, AnIc50BeyondTheTestedRangeGivesItsBound) {
    for (Ic50Kind kind : {Ic50Kind::Relative, Ic50Kind::Absolute}) {
        const ScreeningResults results = outOfRangeResults(kind);
        const test::PlainTable table = test::plainTable(resultsText(results));
        ASSERT_EQ(table.rows.size(), 1u);
        const auto& row = table.rows[0];
        EXPECT_EQ(row.at("status"), "above 10 uM") << ic50KindText(kind);
        EXPECT_EQ(row.at("ic50"), "");  // no number that could be mistaken for a measurement
        EXPECT_EQ(row.at("direction"), "falling");
        EXPECT_EQ(row.at("concentrations"), "5");
        EXPECT_NE(row.at("residual_sd"), "");
    }
}

}  // namespace
}  // namespace zorvex
