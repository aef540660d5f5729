// Sleep bouts and summaries checked against a computation written here from
// the definitions, on the minutes the monitor files of the rhythm export give.

#include <map>

#include "BehaviourFixture.h"
#include "behaviour/SleepFiles.h"

namespace zorvex::test {
namespace {

struct Bout {
    int first = 0;
    int length = 0;
    std::string phase;
    friend bool operator==(const Bout&, const Bout&) = default;
};

std::ostream& operator<<(std::ostream& out, const Bout& bout) {
    return out << bout.first << "+" << bout.length << " " << bout.phase;
}

std::string phaseOf(const MonitorMinute& minute, bool scheduled) {
    return !scheduled ? "all" : minute.light ? "light" : "dark";
}

// Runs of at least n readings of 0, a run ended by any other minute or the end.
std::vector<Bout> expectedBouts(const std::vector<MonitorMinute>& minutes, int n, bool scheduled) {
    std::vector<Bout> bouts;
    int run = 0;
    for (std::size_t m = 0; m <= minutes.size(); ++m) {
        if (m < minutes.size() && minutes[m].reading && minutes[m].count == 0) {
            ++run;
            continue;
        }
        if (run >= n) {
            const std::size_t first = m - static_cast<std::size_t>(run);
            bouts.push_back({static_cast<int>(first), run, phaseOf(minutes[first], scheduled)});
        }
        run = 0;
    }
    return bouts;
}

struct PhaseExpectation {
    int minutes = 0;
    int sleep = 0;
    int bouts = 0;
    int boutMinutes = 0;
    int firstMinute = -1;
    int latency = -1;
    long awakeCounts = 0;
    int awake = 0;
};

std::map<std::string, PhaseExpectation> expectedPhases(const std::vector<MonitorMinute>& minutes,
                                                       const std::vector<Bout>& bouts, bool scheduled) {
    std::vector<bool> asleep(minutes.size(), false);
    for (const Bout& bout : bouts) {
        for (int m = bout.first; m < bout.first + bout.length; ++m) asleep[static_cast<std::size_t>(m)] = true;
    }
    std::map<std::string, PhaseExpectation> phases;
    for (std::size_t m = 0; m < minutes.size(); ++m) {
        PhaseExpectation& phase = phases[phaseOf(minutes[m], scheduled)];
        if (phase.firstMinute < 0) phase.firstMinute = static_cast<int>(m);
        if (!minutes[m].reading) continue;
        ++phase.minutes;
        if (asleep[m]) {
            ++phase.sleep;
        } else {
            phase.awakeCounts += minutes[m].count;
            ++phase.awake;
        }
    }
    for (const Bout& bout : bouts) {
        PhaseExpectation& phase = phases[bout.phase];
        if (phase.bouts++ == 0) phase.latency = bout.first - phase.firstMinute;
        phase.boutMinutes += bout.length;
    }
    return phases;
}

double number(const std::string& text) { return std::stod(text); }

class SleepTest : public BehaviourFixture {
protected:
    void SetUp() override { writePlate(2, 2); }

    // 40 minutes from 20:50, lights off at 21:00 (minute 10), no records at minutes 20 and 21.
    static MinuteSeries constructedSeries() {
        MinuteSeries series(4, 40);
        series.recorded[20] = series.recorded[21] = false;
        series.set(0, 0, 2, 0);    // a run cut by the start
        series.set(0, 10, 16, 0);
        series.set(0, 35, 39, 0);  // a run cut by the end
        series.set(1, 17, 19, 0);  // a run ended by the gap ...
        series.set(1, 22, 25, 0);  // ... and one after it
        series.set(1, 30, 33, 0);
        series.set(2, 3, 3, 0);    // lone inactive minutes
        series.set(2, 7, 8, 0);
        series.set(2, 27, 27, 0);
        series.set(3, 5, 14, 0);   // a bout across lights-off
        series.set(3, 26, 26, 4);
        return series;
    }

    // Checks every well's bouts and day-1 summaries in `folder` against the
    // computation above; the start is 20:50 on 1 March 2026.
    void expectAgreement(const std::filesystem::path& acquisition, const std::filesystem::path& folder, int n,
                         bool scheduled) {
        const auto minutes = monitorMinutes(acquisition, 4);
        const PlainTable bouts = resultTable(folder / "sleep_bouts.csv");
        const PlainTable summary = resultTable(folder / "sleep_summary.csv");
        ASSERT_EQ(bouts.header, (Row{"well", "group", "start_datetime", "elapsed_min", "length_min", "phase"}));
        const long long start = calendarMinute(2026, 3, 1, 20, 50);
        std::size_t boutRow = 0;
        for (int well = 0; well < 4; ++well) {
            const auto expected = expectedBouts(minutes[static_cast<std::size_t>(well)], n, scheduled);
            std::vector<Bout> found;
            for (; boutRow < bouts.rows.size() && bouts.rows[boutRow].at("well") == wellName(well); ++boutRow) {
                const auto& row = bouts.rows[boutRow];
                found.push_back({std::stoi(row.at("elapsed_min")), std::stoi(row.at("length_min")), row.at("phase")});
                EXPECT_EQ(isoMinute(row.at("start_datetime")), start + found.back().first);
                EXPECT_EQ(row.at("group"), std::to_string(1 + well % 2));
            }
            EXPECT_EQ(found, expected) << wellName(well) << " with N = " << n;

            const auto phases = expectedPhases(minutes[static_cast<std::size_t>(well)], expected, scheduled);
            int rows = 0;
            for (const auto& row : summary.rows) {
                if (row.at("well") != wellName(well)) continue;
                ++rows;
                const std::string where = wellName(well) + " " + row.at("phase");
                ASSERT_EQ(row.at("day"), "1") << where;
                ASSERT_TRUE(phases.contains(row.at("phase"))) << where;
                const PhaseExpectation& phase = phases.at(row.at("phase"));
                EXPECT_EQ(std::stoi(row.at("minutes")), phase.minutes) << where;
                EXPECT_EQ(std::stoi(row.at("sleep_min")), phase.sleep) << where;
                EXPECT_EQ(std::stoi(row.at("bouts")), phase.bouts) << where;
                if (phase.bouts > 0) {
                    EXPECT_DOUBLE_EQ(number(row.at("mean_bout_min")), static_cast<double>(phase.boutMinutes) / phase.bouts) << where;
                    EXPECT_EQ(std::stoi(row.at("latency_min")), phase.latency) << where;
                } else {
                    EXPECT_EQ(row.at("mean_bout_min"), "") << where;
                    EXPECT_EQ(row.at("latency_min"), "") << where;
                }
                if (phase.awake > 0) {
                    EXPECT_DOUBLE_EQ(number(row.at("waking_activity")), static_cast<double>(phase.awakeCounts) / phase.awake) << where;
                } else {
                    EXPECT_EQ(row.at("waking_activity"), "") << where;
                }
            }
            EXPECT_EQ(rows, static_cast<int>(phases.size())) << wellName(well);
        }
        EXPECT_EQ(boutRow, bouts.rows.size()) << "rows of wells out of plate order";
    }
};

TEST_F(SleepTest, BoutsAndPhaseSummariesAgreeWithTheDefinitionForOneAndFiveMinutes) {
    const auto folder = acquisition("01032026_2050", constructedSeries(), DaylightNineToNine);
    for (int n : {1, 5}) {
        SCOPED_TRACE("N = " + std::to_string(n));
        const auto out = temp / ("sleep_" + std::to_string(n));
        const SleepOutcome outcome = runSleep({folder, temp.path(), n, std::nullopt, out}, dialogs);
        ASSERT_EQ(outcome.files.size(), 3u);
        expectAgreement(folder, out, n, true);
    }
}

TEST_F(SleepTest, ABoutAcrossLightsOffBelongsToTheLightWhileItsMinutesAreSplit) {
    const auto folder = acquisition("01032026_2050", constructedSeries(), DaylightNineToNine);
    ASSERT_EQ(runSleep({folder, temp.path(), 5, std::nullopt, temp / "out"}, dialogs).files.size(), 3u);
    const PlainTable summary = resultTable(temp / "out" / "sleep_summary.csv");
    std::map<std::string, std::map<std::string, std::string>> b2;
    for (const auto& row : summary.rows) {
        if (row.at("well") == "B2") b2[row.at("phase")] = row;
    }
    EXPECT_EQ(b2["light"]["sleep_min"], "5");
    EXPECT_EQ(b2["light"]["bouts"], "1");
    EXPECT_EQ(b2["light"]["mean_bout_min"], "10");
    EXPECT_EQ(b2["light"]["latency_min"], "5");
    EXPECT_EQ(b2["dark"]["sleep_min"], "5");
    EXPECT_EQ(b2["dark"]["bouts"], "0");
    // Minutes 10..39 but the two without records and the two at their edges, recorded in part.
    EXPECT_EQ(b2["dark"]["minutes"], "26");
}

TEST_F(SleepTest, WithoutALightScheduleThereIsOnePhaseAndTheOrganismChoosesN) {
    const struct {
        int organism;
        int n;
    } cases[] = {{1, 1}, {0, 5}, {2, 5}};
    for (const auto& one : cases) {
        SCOPED_TRACE("organism " + std::to_string(one.organism));
        const auto folder = acquisition("01032026_2050", constructedSeries(), NoLight, one.organism);
        const auto out = temp / ("organism_" + std::to_string(one.organism));
        ASSERT_EQ(runSleep({folder, temp.path(), std::nullopt, std::nullopt, out}, dialogs).files.size(), 3u);
        expectAgreement(folder, out, one.n, false);
        std::filesystem::remove_all(folder.parent_path());
        std::filesystem::remove_all(temp / "monitor");
    }
}

TEST_F(SleepTest, AWindowCutsRunsAtItsEdgesAsTheRecordingDoes) {
    const auto folder = acquisition("01032026_2050", constructedSeries(), DaylightNineToNine);
    // Minutes 12..35: well A1's run 10..16 is cut to 12..16, its run from 35 to one minute.
    ASSERT_EQ(runSleep({folder, temp.path(), 1, ElapsedWindow{0.2, 36.0 / 60.0}, temp / "w"}, dialogs).files.size(), 3u);
    std::vector<std::pair<std::string, std::string>> a1;
    for (const auto& row : resultTable(temp / "w" / "sleep_bouts.csv").rows) {
        if (row.at("well") == "A1") a1.emplace_back(row.at("elapsed_min"), row.at("length_min"));
    }
    EXPECT_EQ(a1, (std::vector<std::pair<std::string, std::string>>{{"12", "5"}, {"35", "1"}}));
}

TEST_F(SleepTest, GroupsGiveTheMeanAndStandardErrorOfTheirWells) {
    const auto folder = acquisition("01032026_2050", constructedSeries(), DaylightNineToNine);
    ASSERT_EQ(runSleep({folder, temp.path(), 1, std::nullopt, temp / "g"}, dialogs).files.size(), 3u);
    const PlainTable summary = resultTable(temp / "g" / "sleep_summary.csv");
    const PlainTable groups = resultTable(temp / "g" / "sleep_groups.csv");
    ASSERT_FALSE(groups.rows.empty());
    for (const auto& row : groups.rows) {
        std::vector<double> sleep;
        for (const auto& well : summary.rows) {
            if (well.at("group") == row.at("group") && well.at("day") == row.at("day") &&
                well.at("phase") == row.at("phase") && std::stoi(well.at("minutes")) > 0) {
                sleep.push_back(number(well.at("sleep_min")));
            }
        }
        ASSERT_EQ(std::stoi(row.at("wells")), static_cast<int>(sleep.size()));
        ASSERT_EQ(sleep.size(), 2u) << "two wells in each group";
        const double mean = (sleep[0] + sleep[1]) / 2.0;
        const double se = std::abs(sleep[0] - sleep[1]) / 2.0;  // SD / sqrt(2) of two values
        EXPECT_DOUBLE_EQ(number(row.at("sleep_min")), mean);
        EXPECT_NEAR(number(row.at("sleep_min_se")), se, 1e-12);
        EXPECT_EQ(row.at("group_name"), row.at("group") == "1" ? "Wild, type" : "Mutant");
    }
}

TEST_F(SleepTest, DaysBeginAtLightsOnSoThatANightBelongsToTheDayBeforeIt) {
    // From 08:00 under lights 9 to 21, two days: an hour of dark, then day 2 from 09:00.
    const auto folder = acquisition("01032026_0800", MinuteSeries(4, 2 * 24 * 60), DaylightNineToNine);
    const auto analysis = analyseSleep({folder, temp.path(), 1, std::nullopt, {}}, dialogs);
    ASSERT_TRUE(analysis);
    const DayCalendar& calendar = analysis->second.calendar;
    const struct {
        int minute;
        int day;
        LightPhase phase;
    } expected[] = {{0, 1, LightPhase::Dark},          {59, 1, LightPhase::Dark},   {60, 2, LightPhase::Light},
                    {779, 2, LightPhase::Light},       {780, 2, LightPhase::Dark},  {1499, 2, LightPhase::Dark},
                    {1500, 3, LightPhase::Light},      {2879, 3, LightPhase::Dark}};
    for (const auto& one : expected) {
        EXPECT_EQ(calendar.day[static_cast<std::size_t>(one.minute)], one.day) << "minute " << one.minute;
        EXPECT_EQ(calendar.phase[static_cast<std::size_t>(one.minute)], one.phase) << "minute " << one.minute;
    }
}

TEST_F(SleepTest, NothingIsWrittenWhenTheWindowOrNIsOutOfRange) {
    const auto folder = acquisition("01032026_2050", constructedSeries(), DaylightNineToNine);
    EXPECT_TRUE(runSleep({folder, temp.path(), 5, ElapsedWindow{10.0, 20.0}, temp / "late"}, dialogs).files.empty());
    EXPECT_NE(dialogs.shown.back().find("holds no reading"), std::string::npos) << dialogs.shown.back();
    EXPECT_TRUE(runSleep({folder, temp.path(), 0, std::nullopt, temp / "zero"}, dialogs).files.empty());
    EXPECT_NE(dialogs.shown.back().find("1 to 1440"), std::string::npos) << dialogs.shown.back();
    EXPECT_FALSE(std::filesystem::exists(temp / "late"));
    EXPECT_FALSE(std::filesystem::exists(temp / "zero"));
}

}  // namespace
}  // namespace zorvex::test
