// The sleep and periodogram commands through zorvex-cli's real entry point.

#include "../cli/CliRun.h"
#include "BehaviourFixture.h"

namespace zorvex::test {
namespace {

class BehaviourCommand : public BehaviourFixture {
protected:
    void SetUp() override {
        writePlate(2, 2);
        MinuteSeries series(4, 3 * 24 * 60);
        std::mt19937 random(3);
        for (int well = 0; well < 4; ++well) poissonCounts(series, well, random, [](int m) { return (m / 60) % 24 < 12 ? 0.3 : 4.0; });
        folder_ = acquisition("01032026_0800", series, DaylightNineToNine);
    }

    std::vector<std::string> args(std::vector<std::string> words) const {
        words.insert(words.begin() + 1, folder_.string());
        words.push_back("--program-folder");
        words.push_back(temp.path().string());
        return words;
    }

    std::filesystem::path folder_;
};

TEST_F(BehaviourCommand, EachCommandWritesItsThreeFilesIntoBehaviourAndPrintsThem) {
    const struct {
        std::vector<std::string> words;
        std::vector<std::string> files;
    } cases[] = {
        {{"sleep", "--inactive-minutes", "3"}, {"sleep_bouts.csv", "sleep_summary.csv", "sleep_groups.csv"}},
        {{"periodogram", "--window", "0-72", "--method", "lomb-scargle"},
         {"periodogram.csv", "periods.csv", "periods_groups.csv"}},
        {{"periodogram", "--resample", "30", "--periods", "20-28", "--step", "0.5", "--alpha", "0.05"},
         {"periodogram.csv", "periods.csv", "periods_groups.csv"}},
    };
    for (const auto& one : cases) {
        const auto words = args(one.words);
        const CliRun run = cli(words);
        ASSERT_EQ(run.status, 0) << shown(words) << "\n" << run.err;
        std::string printed;
        for (const auto& file : one.files) printed += (folder_ / "behaviour" / file).string() + "\n";
        EXPECT_EQ(run.out, printed) << shown(words);
        for (const auto& file : one.files) EXPECT_GT(resultTable(folder_ / "behaviour" / file).rows.size(), 0u) << file;
    }
    // 20 to 28 h in half hours: 17 periods for each of the 4 wells.
    EXPECT_EQ(resultTable(folder_ / "behaviour" / "periodogram.csv").rows.size(), 4u * 17u);
}

TEST_F(BehaviourCommand, BadOptionsAreUsageErrorsAndAnUnreadableFolderFails) {
    const struct {
        std::vector<std::string> words;
        int status;
        const char* says;
    } cases[] = {
        {{"sleep", "--inactive-minutes", "0"}, 2, "0 is not in 1..1440"},
        {{"sleep", "--window", "24-12"}, 2, "does not end after it begins"},
        {{"periodogram", "--method", "fourier"}, 2, "fourier is not"},
        {{"periodogram", "--alpha", "1.5"}, 2, "1.5"},
        {{"periodogram", "--periods", "0.1-32", "--resample", "15"}, 1, "two bins"},
        {{"periodogram", "--window", "500-600"}, 1, "holds no reading"},
    };
    for (const auto& one : cases) {
        const auto words = args(one.words);
        const CliRun run = cli(words);
        EXPECT_EQ(run.status, one.status) << shown(words);
        EXPECT_NE(run.err.find(one.says), std::string::npos) << shown(words) << "\n" << run.err;
        EXPECT_EQ(run.out, "") << shown(words);
    }
    EXPECT_FALSE(std::filesystem::exists(folder_ / "behaviour"));
    const CliRun missing = cli({"sleep", (temp / "p00001" / "02032026_0800").string(), "--program-folder", temp.path().string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_FALSE(missing.err.empty());
}

}  // namespace
}  // namespace zorvex::test
