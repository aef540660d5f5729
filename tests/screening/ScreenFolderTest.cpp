#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "AcquisitionBuilder.h"
#include "PlainCsv.h"
#include "ScreenedPlate.h"
#include "TempFolder.h"
#include "screening/DoseResponseFit.h"
#include "screening/GroupInfoFile.h"
#include "screening/ScreenFolder.h"

namespace zorvex {
namespace {

const std::vector<double>& Doses = test::ScreenDoses;
const DoseCurve& Truth = test::ScreenTruth;
constexpr int Rows = test::ScreenRows;

// The screened plate of ScreenedPlate.h.
class ScreenFolderTest : public ::testing::Test {
protected:
    ScreenFolderTest() { test::writeScreenedPlate(temp.path()); }

    static bool treated(int minute) { return test::screenTreated(minute); }
    static std::int16_t treatedCount(int channel) { return test::screenTreatedCount(channel); }

    std::filesystem::path folder() const { return temp / "p00001" / "14032026_0930"; }

    ScreeningRequest request(double h1, double h2) const {
        ScreeningRequest r;
        r.acquisitionFolder = folder();
        r.programFolder = temp.path();
        r.windowStartHours = h1;
        r.windowEndHours = h2;
        return r;
    }

    static test::PlainTable table(const std::filesystem::path& file) { return test::plainTable(readFile(file).value_or("")); }

    test::TempFolder temp;
};

TEST_F(ScreenFolderTest, ScreensTheWindowAndWritesFilesOtherProgramsRead) {
    ScreeningOutcome outcome = screenAcquisition(request(2, 4));
    ASSERT_TRUE(outcome.results.has_value()) << ::testing::PrintToString(outcome.messages);
    ASSERT_EQ(outcome.files.size(), 4u);
    const auto out = screeningFolder(folder());

    // Every vehicle well counted 100 in each of the window's 120 records, and nothing else.
    test::PlainTable wells = table(out / "wells.csv");
    EXPECT_EQ(wells.header, (std::vector<std::string>{"well", "group", "name", "compound", "concentration", "unit",
                                                       "role", "activity", "percent", "outlier"}));
    ASSERT_EQ(wells.rows.size(), 48u);
    EXPECT_EQ(wells.rows[0].at("well"), "A1");
    EXPECT_EQ(wells.rows[0].at("activity"), "12000");
    EXPECT_EQ(wells.rows[0].at("percent"), "100");
    EXPECT_EQ(wells.rows[0].at("role"), "negative");
    EXPECT_EQ(wells.rows[15].at("outlier"), "1");

    test::PlainTable results = table(out / "results.csv");
    EXPECT_EQ(results.header, (std::vector<std::string>{"compound", "ic50", "ic50_low", "ic50_high", "hill", "top",
                                                         "bottom", "r2", "wells", "status", "unit", "log10_ic50_se",
                                                         "hill_se", "top_se", "bottom_se", "df", "residual_sd",
                                                         "concentrations", "direction", "ic50_kind"}));
    ASSERT_EQ(results.rows.size(), 1u);
    const auto& drug = results.rows[0];
    EXPECT_EQ(drug.at("compound"), "Drug");
    EXPECT_EQ(drug.at("status"), "ok");
    EXPECT_EQ(drug.at("wells"), "32");
    EXPECT_NEAR(std::stod(drug.at("ic50")), Truth.ic50, 0.02 * Truth.ic50);  // counts are whole numbers
    EXPECT_LT(std::stod(drug.at("ic50_low")), std::stod(drug.at("ic50")));
    EXPECT_GT(std::stod(drug.at("ic50_high")), std::stod(drug.at("ic50")));
    EXPECT_NEAR(std::stod(drug.at("hill")), Truth.hill, 0.02 * Truth.hill);
    EXPECT_NEAR(std::stod(drug.at("top")), Truth.top, 1.0);  // percent of the vehicle's 100
    EXPECT_NEAR(std::stod(drug.at("bottom")), Truth.bottom, 1.0);
    EXPECT_GT(std::stod(drug.at("r2")), 0.999);

    test::PlainTable quality = table(out / "plate_quality.csv");
    EXPECT_EQ(quality.header, (std::vector<std::string>{"z_prime", "signal_to_background", "negative_wells",
                                                         "positive_wells", "outliers", "status", "disabled_wells"}));
    ASSERT_EQ(quality.rows.size(), 1u);
    const double positiveMean = (7 * 1200.0 + 4800) / 8;
    const double positiveSd = std::sqrt((7 * std::pow(1200 - positiveMean, 2) + std::pow(4800 - positiveMean, 2)) / 7);
    EXPECT_NEAR(std::stod(quality.rows[0].at("z_prime")), 1 - 3 * positiveSd / (12000 - positiveMean), 1e-12);
    EXPECT_NEAR(std::stod(quality.rows[0].at("signal_to_background")), 12000 / positiveMean, 1e-12);
    EXPECT_EQ(quality.rows[0].at("negative_wells"), "8");
    EXPECT_EQ(quality.rows[0].at("outliers"), "H2");
    EXPECT_EQ(quality.rows[0].at("status"), "excellent");
}

TEST_F(ScreenFolderTest, PercentOfControlFollowsTheReportBins) {
    ScreeningOutcome outcome = screenAcquisition(request(2, 4));
    ASSERT_TRUE(outcome.results.has_value());
    test::PlainTable percent = table(screeningFolder(folder()) / "percent_of_control.csv");
    EXPECT_EQ(percent.header, (std::vector<std::string>{"group", "name", "compound", "concentration", "unit", "role",
                                                         "bin", "start_h", "end_h", "wells", "mean", "se", "percent",
                                                         "percent_se", "status"}));
    ASSERT_EQ(percent.rows.size(), 6u * 10u);  // six hourly bins of ten groups
    for (const auto& row : percent.rows) {
        const int bin = std::stoi(row.at("bin"));
        EXPECT_EQ(std::stod(row.at("end_h")), bin);
        // A report bin of 60 minutes holds the records stamped after its start up to its end.
        int treatedMinutes = 0;
        for (int minute = (bin - 1) * 60 + 1; minute <= bin * 60; ++minute) treatedMinutes += treated(minute);
        const int group = std::stoi(row.at("group"));
        const int firstChannel = group == 1 ? 0 : group == 2 ? Rows : 2 * Rows + (group - 3) * 4;
        const double treatedRate = group == 2 ? (7 * 10 + 40) / 8.0 : treatedCount(firstChannel);
        const double mean = treatedMinutes * treatedRate + (60 - treatedMinutes) * 50;
        const double control = treatedMinutes * 100 + (60 - treatedMinutes) * 50;
        EXPECT_NEAR(std::stod(row.at("mean")), mean, 1e-9) << "group " << group << " bin " << bin;
        EXPECT_NEAR(std::stod(row.at("percent")), 100 * mean / control, 1e-9) << "group " << group << " bin " << bin;
        EXPECT_EQ(row.at("status"), "ok");
    }
    EXPECT_EQ(percent.rows[0].at("name"), "Vehicle");
    EXPECT_EQ(percent.rows[0].at("percent_se"), "0");
}

TEST_F(ScreenFolderTest, FoldersThatCannotBeScreenedSaySoAndWriteNothing) {
    // Each case damages the folder a little more.
    auto withoutGroupInfo = [&] { std::filesystem::remove(folder() / GroupInfoFileName); };
    const struct {
        const char* what;
        double h1, h2;
        std::function<void()> damage;
        std::string message;
    } cases[] = {
        {"a window backwards", 4, 2, [] {}, "The time window must run from H1 to a later H2"},
        {"a window after the records", 10, 12, [] {}, "No record lies in the window 10 h to 12 h"},
        {"no counts", 2, 4, [&] { std::filesystem::remove(folder() / "counts.bin"); }, "Activity file not Found"},
        {"no annotations", 2, 4, withoutGroupInfo, "holds no groupinfo.csv"},
    };
    for (const auto& c : cases) {
        c.damage();
        ScreeningOutcome outcome = screenAcquisition(request(c.h1, c.h2));
        EXPECT_FALSE(outcome.results.has_value()) << c.what;
        EXPECT_TRUE(outcome.files.empty()) << c.what;
        ASSERT_FALSE(outcome.messages.empty()) << c.what;
        EXPECT_NE(outcome.messages.back().find(c.message), std::string::npos) << c.what << ": " << outcome.messages.back();
    }
}

TEST_F(ScreenFolderTest, ABadAnnotationLineAndAWindowPastTheEndAreReportedButScreened) {
    std::string text = *readFile(folder() / GroupInfoFileName);
    ASSERT_TRUE(writeFile(folder() / GroupInfoFileName, text + "12,x,Drug,1,uM,maybe\r\n"));
    ScreeningRequest r = request(5, 8);
    r.normalisation = Normalisation::None;
    r.outFolder = temp / "elsewhere";
    ScreeningOutcome outcome = screenAcquisition(r);
    ASSERT_TRUE(outcome.results.has_value());
    EXPECT_EQ(outcome.files.front(), temp / "elsewhere" / "results.csv");
    auto mentions = [&](const std::string& text) {
        return std::any_of(outcome.messages.begin(), outcome.messages.end(),
                           [&](const std::string& m) { return m.find(text) != std::string::npos; });
    };
    EXPECT_TRUE(mentions("groupinfo.csv line 12: the role \"maybe\""));
    EXPECT_TRUE(mentions("The window reaches past the last record (at 6 h)"));
    // From 5 h on every well counts alike: no curve, and the controls do not separate.
    EXPECT_EQ(outcome.results->compounds.at(0).fit.status, ScreenStatus::Flat);
    EXPECT_EQ(outcome.results->quality.status, QualityStatus::NoSeparation);
}

TEST_F(ScreenFolderTest, WellsWithADisabledChannelAreLeftOutAndListed) {
    // Channel 3 is well D1, a vehicle well: with it disabled the vehicle has seven wells.
    test::TempFolder other;
    const auto folder = test::writeScreenedPlate(other.path(), 3);
    ScreeningRequest r = request(2, 4);
    r.acquisitionFolder = folder;
    r.programFolder = other.path();
    const ScreeningOutcome outcome = screenAcquisition(r);
    ASSERT_TRUE(outcome.results.has_value()) << ::testing::PrintToString(outcome.messages);
    EXPECT_EQ(outcome.plate->wells.size(), 47u);
    EXPECT_EQ(outcome.plate->disabledWells, std::vector<std::string>{"D1"});
    EXPECT_EQ(outcome.results->quality.negativeWells, 7);
    const auto named = std::find_if(outcome.messages.begin(), outcome.messages.end(), [](const std::string& m) {
        return m.find("disabled channel") != std::string::npos && m.find("D1") != std::string::npos;
    });
    EXPECT_NE(named, outcome.messages.end()) << ::testing::PrintToString(outcome.messages);
    const test::PlainTable quality = table(screeningFolder(folder) / "plate_quality.csv");
    EXPECT_EQ(quality.rows.at(0).at("disabled_wells"), "D1");
    const test::PlainTable wells = table(screeningFolder(folder) / "wells.csv");
    for (const auto& row : wells.rows) EXPECT_NE(row.at("well"), "D1");
}

}  // namespace
}  // namespace zorvex
