// The settings the figure command and the figure dialog share: the typed
// words they read, which settings reach which figure, and the files they suggest.

#include <gtest/gtest.h>

#include "FigureAcquisitions.h"
#include "ScriptedDialogs.h"
#include "common/Files.h"
#include "views/FigureChoices.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {

template <typename T>
void expectProblem(const TypedValue<T>& read, const std::string& problem, const std::string& typed) {
    EXPECT_FALSE(read.value) << typed;
    EXPECT_EQ(read.problem, problem) << typed;
}

}  // namespace

TEST(FigureChoices, TypedBinsWindowsAndGroupListsAreReadOrNamedWithWhatIsWrong) {
    EXPECT_EQ(readBinMinutes("30").value, 30);
    EXPECT_EQ(readBinMinutes(" 1440 ").value, 1440);
    expectProblem(readBinMinutes("0"), "0 is not in 1..1440", "0");
    expectProblem(readBinMinutes("1441"), "1441 is not in 1..1440", "1441");
    expectProblem(readBinMinutes("ten"), "ten is not a whole number", "ten");
    expectProblem(readBinMinutes("1.5"), "1.5 is not a whole number", "1.5");
    expectProblem(readBinMinutes(""), "'' is not a whole number", "");

    struct WindowCase {
        const char* typed;
        double from;
        double to;
    };
    for (const WindowCase& c : {WindowCase{"0-24", 0, 24}, WindowCase{"12.5-36", 12.5, 36}, WindowCase{" 2 - 3 ", 2, 3}}) {
        const auto read = readHourWindow(c.typed);
        ASSERT_TRUE(read.value) << c.typed << ": " << read.problem;
        EXPECT_EQ(read.value->fromHours, c.from);
        EXPECT_EQ(read.value->toHours, c.to);
    }
    for (const char* typed : {"24", "-1-5", "a-b", "1-", "-", "1-2-3", "1e999-2", ""}) {
        expectProblem(readHourWindow(typed),
                      std::string(*typed ? typed : "''") + " is not hours H1-H2 from the start, such as 0-24", typed);
    }
    expectProblem(readHourWindow("24-12"), "24-12 does not end after it begins", "24-12");
    expectProblem(readHourWindow("5-5"), "5-5 does not end after it begins", "5-5");

    EXPECT_EQ(readGroupList("1,3").value, (std::vector<int>{1, 3}));
    EXPECT_EQ(readGroupList(" 2 , 0 ,383").value, (std::vector<int>{2, 0, 383}));
    for (const char* typed : {"1,,3", "1;3", "one", ",", "1,"}) {
        expectProblem(readGroupList(typed), std::string(typed) + " is not a list of group numbers such as 1,3", typed);
    }
    expectProblem(readGroupList("1,384"), "384 is not a group number (0..383)", "1,384");
    expectProblem(readGroupList("-1"), "-1 is not a group number (0..383)", "-1");
}

TEST(FigureChoices, EachSettingReachesOnlyTheFiguresItShapes) {
    using S = FigureSetting;
    using K = FigureKind;
    const std::vector<std::pair<S, std::vector<K>>> reaches = {
        {S::Bin, {K::Groups, K::Plate, K::Actogram}}, {S::Window, {K::Groups, K::Plate}},
        {S::Error, {K::Groups}},                      {S::Groups, {K::Groups}},
        {S::PerGroup, {K::Groups}},                   {S::TimeAxis, {K::Groups}},
        {S::HeatValue, {K::Plate}},                   {S::ActogramSubject, {K::Actogram}},
    };
    for (const auto& [setting, kinds] : reaches) {
        for (K kind : FigureKinds) {
            const bool listed = std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
            EXPECT_EQ(settingApplies(setting, kind), listed) << static_cast<int>(setting) << " " << figureKindName(kind);
        }
    }

    FigureChoices choices;
    choices.error = ErrorBand::StandardDeviation;
    choices.window = HourWindow{1, 5};
    choices.groups = {2};
    choices.perGroup = true;
    choices.zeitgeber = false;
    choices.heatValue = HeatValue::MeanPerHour;
    choices.subject = ActogramSubject::Well;
    choices.well = "B2";
    choices.page = PageSize::Slide;
    const FigureRequest groups = figureRequestOf(choices, "acq", "program", "out/groups.svg");
    EXPECT_EQ(groups.kind, K::Groups);
    EXPECT_EQ(groups.acquisitionFolder, "acq");
    EXPECT_EQ(groups.programFolder, "program");
    EXPECT_EQ(groups.output, "out/groups.svg");
    EXPECT_EQ(groups.page, PageSize::Slide);
    EXPECT_EQ(groups.groups.binMinutes, 60);
    EXPECT_EQ(groups.groups.error, ErrorBand::StandardDeviation);
    EXPECT_EQ(groups.groups.window->toHours, 5);
    EXPECT_EQ(groups.groups.groups, std::vector<int>{2});
    EXPECT_TRUE(groups.groups.smallMultiples);
    EXPECT_FALSE(groups.groups.zeitgeber);

    choices.kind = K::Plate;
    choices.binMinutes = 15;
    const FigureRequest plate = figureRequestOf(choices, "acq", "program", "plate.pdf");
    EXPECT_EQ(plate.plate.binMinutes, 15);
    EXPECT_EQ(plate.plate.window->fromHours, 1);
    EXPECT_EQ(plate.plate.value, HeatValue::MeanPerHour);
    EXPECT_TRUE(plate.groups.groups.empty()) << "the curves' settings stay out of the heat map's request";

    choices.kind = K::Actogram;
    choices.binMinutes.reset();
    const FigureRequest actogram = figureRequestOf(choices, "acq", "program", "actogram.png");
    EXPECT_EQ(actogram.actogram.intervalMinutes, 30);
    EXPECT_EQ(actogram.actogram.subject, ActogramSubject::Well);
    EXPECT_EQ(actogram.actogram.well, "B2");
}

TEST(FigureChoices, TheOfferListsGroupsWithWellsAndMeasuredWells) {
    FigureFolder folder;
    folder.acquisition("14032026_0930").writeSideFiles();
    ScriptedDialogs dialogs;
    const auto plate = loadReportPlate(folder.programFolder() / "14032026_0930", folder.programFolder(), dialogs);
    ASSERT_TRUE(plate) << (dialogs.shown.empty() ? "" : dialogs.shown.front());
    const FigureOffer offer = figureOfferOf(*plate);
    EXPECT_EQ(offer.groups, (std::vector<FigureGroup>{{1, "Control"}, {2, "Mutant"}}));
    EXPECT_EQ(offer.wells, (std::vector<std::string>{"A1", "B1", "A2", "B2", "A3"}));  // B3 has no beam
}

TEST(FigureChoices, ASuggestedFileIsNeverOneThatIsThere) {
    TempFolder folder;
    EXPECT_EQ(freeFigureFile(folder.path(), FigureKind::Plate, ".svg"), folder.path() / "plate.svg");
    writeFile(folder.path() / "plate.svg", "x");
    writeFile(folder.path() / "plate_1.svg", "x");
    EXPECT_EQ(freeFigureFile(folder.path(), FigureKind::Plate, ".svg"), folder.path() / "plate_2.svg");
    EXPECT_EQ(freeFigureFile(folder.path(), FigureKind::Plate, ".pdf"), folder.path() / "plate.pdf");
}
