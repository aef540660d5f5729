#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <random>

#include "AcquisitionBuilder.h"
#include "IndependentFit.h"
#include "TempFolder.h"
#include "common/Files.h"
#include "screening/GroupInfoFile.h"
#include "screening/ScreenFolder.h"

namespace zorvex {
namespace {

// A 96-well plate (8 x 12) whose wells have two and three beams in turn.
// Column 1 the vehicle, column 12 a paralysing control, columns 2 to 11 a
// compound at 0.00508 to 100 uM in three-fold steps whose activity falls as
// 1 / (1 + c / 1 uM). Each beam crosses at most once a record, at a rate of
// 0.6 a record in the vehicle: the sparse activity of worms at rest.
constexpr int Rows = 8, Columns = 12, Wells = Rows * Columns;
constexpr double VehicleRate = 0.6;
constexpr double ParalysedShare = 0.02;

int beamsOf(int well) { return well % 2 == 0 ? 2 : 3; }

int firstChannel(int well) {
    int channel = 0;
    for (int w = 0; w < well; ++w) channel += beamsOf(w);
    return channel;
}

double doseOfColumn(int column) { return 100.0 / std::pow(3.0, 10 - column); }  // columns 1..10 of the doses

// The chance that a beam of `well` crosses in a record.
double rateOf(int well) {
    const int column = well / Rows;
    if (column == 0) return VehicleRate;
    if (column == Columns - 1) return VehicleRate * ParalysedShare;
    return VehicleRate / (1 + doseOfColumn(column));
}

// The records of minutes 1.. in `perMinute` records a minute, drawn from a fixed seed.
std::vector<ActivityRecord> sparseRecords(int minutes, int perMinute) {
    std::mt19937 rng(20260314);
    std::vector<ActivityRecord> records;
    records.reserve(static_cast<std::size_t>(minutes * perMinute));
    for (int n = 0; n < minutes * perMinute; ++n) {
        ActivityRecord r{};
        r.elapsedMinutes = n / perMinute + 1;
        r.temperatureTenths = 250;
        for (int well = 0; well < Wells; ++well) {
            std::bernoulli_distribution crossing(rateOf(well));
            for (int beam = 0; beam < beamsOf(well); ++beam) {
                r.counts[static_cast<std::size_t>(firstChannel(well) + beam)] = crossing(rng) ? 1 : 0;
            }
        }
        records.push_back(r);
    }
    return records;
}

// Each well's crossings per beam over the records stamped in [from, to) minutes, unrounded.
std::vector<double> ownActivity(const std::vector<ActivityRecord>& records, int from, int to) {
    std::vector<long long> crossings(Wells, 0);
    for (const ActivityRecord& r : records) {
        if (r.elapsedMinutes < from || r.elapsedMinutes >= to) continue;
        for (int well = 0; well < Wells; ++well) {
            for (int beam = 0; beam < beamsOf(well); ++beam) {
                crossings[static_cast<std::size_t>(well)] += r.counts[static_cast<std::size_t>(firstChannel(well) + beam)];
            }
        }
    }
    std::vector<double> activity;
    for (int well = 0; well < Wells; ++well) activity.push_back(static_cast<double>(crossings[static_cast<std::size_t>(well)]) / beamsOf(well));
    return activity;
}

double meanOf(const std::vector<double>& v) { return std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size()); }

double sdOf(const std::vector<double>& v) {
    const double m = meanOf(v);
    double squares = 0;
    for (double x : v) squares += (x - m) * (x - m);
    return std::sqrt(squares / static_cast<double>(v.size() - 1));
}

std::vector<double> columnValues(const std::vector<double>& activity, int column) {
    return {activity.begin() + column * Rows, activity.begin() + (column + 1) * Rows};
}

class SparseScreenTest : public ::testing::Test {
protected:
    SparseScreenTest() {
        std::vector<std::pair<int, int>> channels;
        for (int well = 0; well < Wells; ++well) {
            for (int beam = 0; beam < beamsOf(well); ++beam) channels.emplace_back(well, beam);
        }
        test::writePlateFile(temp.path(), "ztest", Rows, Columns, channels);
        test::AcquisitionBuilder builder(folder());
        builder.allEnabled().group(1, "Vehicle").group(2, "Paralysed");
        GroupAnnotations annotations;
        annotations[1] = {"", "DMSO", 0.1, "%", GroupRole::Negative};
        annotations[2] = {"", "Levamisole", 1, "mM", GroupRole::Positive};
        for (int column = 1; column < Columns - 1; ++column) {
            builder.group(column + 2, "Dose " + std::to_string(column));
            annotations[column + 2] = {"", "Drug", doseOfColumn(column), "uM", GroupRole::Sample};
        }
        for (int well = 0; well < Wells; ++well) {
            const int column = well / Rows;
            builder.channelGroup(firstChannel(well), column == 0 ? 1 : column == Columns - 1 ? 2 : column + 2);
        }
        builder.writeSideFiles();
        GroupTable names = defaultGroupTable();
        for (int g = 1; g <= Columns; ++g) names.Name[static_cast<std::size_t>(g)] = g == 1 ? "Vehicle" : g == 2 ? "Paralysed" : "Dose " + std::to_string(g - 2);
        writeGroupInfo(folder(), annotations, names);
    }

    std::filesystem::path folder() const { return temp / "p00001" / "14032026_0930"; }

    void writeCounts(const std::vector<ActivityRecord>& records) const {
        std::string bytes;
        for (const ActivityRecord& r : records) bytes += encodeActivityRecord(r);
        ASSERT_TRUE(writeFile(folder() / "counts.bin", bytes));
    }

    ScreeningOutcome screen(double h1, double h2) const {
        ScreeningRequest request;
        request.acquisitionFolder = folder();
        request.programFolder = temp.path();
        request.windowStartHours = h1;
        request.windowEndHours = h2;
        return screenAcquisition(request);
    }

    test::TempFolder temp;
};

// Agreement to three significant figures.
void expectSameFigures(double actual, double expected, const char* what) {
    EXPECT_NEAR(actual, expected, 5e-4 * std::abs(expected)) << what;
}

TEST_F(SparseScreenTest, ResultsEqualAnIndependentUnroundedComputation) {
    const auto records = sparseRecords(180, 1);
    writeCounts(records);
    const ScreeningOutcome outcome = screen(1, 3);
    ASSERT_TRUE(outcome.results.has_value()) << ::testing::PrintToString(outcome.messages);

    const std::vector<double> activity = ownActivity(records, 60, 180);
    const std::vector<double> vehicle = columnValues(activity, 0), paralysed = columnValues(activity, Columns - 1);
    ASSERT_LT(meanOf(vehicle) / 120, 1.0);  // under one crossing a beam and record
    const double zPrime = 1 - 3 * (sdOf(vehicle) + sdOf(paralysed)) / (meanOf(vehicle) - meanOf(paralysed));
    ASSERT_TRUE(outcome.results->quality.zPrime.has_value());
    expectSameFigures(*outcome.results->quality.zPrime, zPrime, "Z'");

    std::vector<double> doses, percents;
    for (int column = 1; column < Columns - 1; ++column) {
        for (double value : columnValues(activity, column)) {
            doses.push_back(doseOfColumn(column));
            percents.push_back(100 * value / meanOf(vehicle));
        }
    }
    const test::PlainCurve own = test::plainFit(doses, percents, 0.0, 1.0);
    ASSERT_EQ(outcome.results->compounds.size(), 1u);
    const DoseFit& fit = outcome.results->compounds[0].fit;
    ASSERT_EQ(fit.status, ScreenStatus::Ok) << screenStatusText(fit.status);
    expectSameFigures(fit.curve.ic50, own.ic50, "IC50");
    expectSameFigures(fit.curve.hill, own.hill, "Hill");
    expectSameFigures(fit.curve.top, own.top, "top");
    // The well activities the files give are the unrounded ones.
    for (std::size_t i = 0; i < outcome.results->wells.size(); ++i) {
        EXPECT_DOUBLE_EQ(outcome.results->wells[i].activity, activity[static_cast<std::size_t>(outcome.plate->wells[i].well)]);
    }
}

TEST_F(SparseScreenTest, ASevenDayWindowScreens) {
    // Four records a minute for a week: far more records than 16 bits count.
    const auto records = sparseRecords(7 * 1440, 4);
    ASSERT_GT(records.size(), 32767u);
    writeCounts(records);
    const ScreeningOutcome outcome = screen(0, 7 * 24);
    ASSERT_TRUE(outcome.results.has_value()) << ::testing::PrintToString(outcome.messages);
    for (const std::string& message : outcome.messages) EXPECT_EQ(message.find("Error"), std::string::npos) << message;
    const std::vector<double> activity = ownActivity(records, 0, 7 * 1440);
    EXPECT_DOUBLE_EQ(outcome.results->wells[0].activity, activity[0]);
    ASSERT_EQ(outcome.results->compounds.size(), 1u);
    EXPECT_EQ(outcome.results->compounds[0].fit.status, ScreenStatus::Ok);
    EXPECT_NEAR(outcome.results->compounds[0].fit.curve.ic50, 1.0, 0.1);
}

}  // namespace
}  // namespace zorvex
