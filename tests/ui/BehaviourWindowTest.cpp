// The report window's "Behaviour..." window on a recorded plate: each tab
// writes its files, fills its table and draws its figures; an analysis that
// cannot be made says why and writes nothing.

#include <cmath>
#include <numbers>

#include "../behaviour/BehaviourFixture.h"
#include "ManualHost.h"
#include "ui/report/BehaviourWindow.h"
#include "ui/report/Frm_Report.h"

namespace zorvex::test {
namespace {

class BehaviourWindowTest : public BehaviourFixture {
protected:
    void SetUp() override {
        writePlate(2, 2);
        MinuteSeries series(4, 3 * 24 * 60);
        std::mt19937 random(9);
        for (int well = 0; well < 4; ++well) {
            poissonCounts(series, well, random, [](int m) {
                return 1.5 * (1.0 + 0.95 * std::cos(2 * std::numbers::pi * (m / 60.0 - 7.0) / 24.0));
            });
        }
        folder_ = acquisition("01032026_0800", series, DaylightNineToNine);
        report_ = std::make_unique<Frm_Report>(temp.path(), dialogs, host_);
        report_->openOn(folder_, "60");
        report_->Cmd_behaviour->click();
        window_ = report_->findChild<BehaviourWindow*>();
    }

    static bool hasPicture(const QLabel* label) { return !label->pixmap().isNull(); }

    std::filesystem::path folder_;
    ManualHost host_;
    std::unique_ptr<Frm_Report> report_;
    BehaviourWindow* window_ = nullptr;
};

TEST_F(BehaviourWindowTest, SleepTabWritesItsFilesAndShowsEachGroupPerDayAndPhase) {
    ASSERT_NE(window_, nullptr);
    ASSERT_TRUE(window_->isVisible());
    window_->txt_inactive->setValue(2);
    window_->cmd_sleep->click();
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.shown.front();
    const PlainTable groups = resultTable(folder_ / "behaviour" / "sleep_groups.csv");
    ASSERT_EQ(window_->tbl_sleep->rowCount(), static_cast<int>(groups.rows.size()));
    const auto& first = groups.rows.front();
    EXPECT_EQ(window_->tbl_sleep->item(0, 0)->text().toStdString(), first.at("group_name"));
    EXPECT_EQ(window_->tbl_sleep->item(0, 2)->text().toStdString(), first.at("phase"));
    EXPECT_NEAR(window_->tbl_sleep->item(0, 4)->text().section(' ', 0, 0).toDouble(), std::stod(first.at("sleep_min")), 0.05);
    EXPECT_TRUE(hasPicture(window_->pic_sleep));
    EXPECT_TRUE(window_->txt_messages->toPlainText().contains("sleep_bouts.csv"));
    window_->cmd_openfolder->click();
    ASSERT_EQ(host_.opened.size(), 1u);
    EXPECT_EQ(host_.opened.back(), folder_ / "behaviour");
}

TEST_F(BehaviourWindowTest, RhythmTabFindsEachGroupsPeriodAndDrawsPeriodogramAndMap) {
    window_->tab_behaviour->setCurrentIndex(1);
    window_->cmb_method->setCurrentIndex(1);
    window_->txt_step->setValue(0.5);
    window_->cmd_periods->click();
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.shown.front();
    ASSERT_EQ(window_->tbl_periods->rowCount(), 2);
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(window_->tbl_periods->item(row, 2)->text(), "2");
        EXPECT_NEAR(window_->tbl_periods->item(row, 3)->text().section(' ', 0, 0).toDouble(), 24.0, 0.6);
    }
    EXPECT_EQ(resultTable(folder_ / "behaviour" / "periodogram.csv").rows.size(), 4u * 33u);
    EXPECT_TRUE(hasPicture(window_->pic_periodogram));
    EXPECT_TRUE(hasPicture(window_->pic_periodmap));
}

TEST_F(BehaviourWindowTest, AWindowWithoutReadingsWritesNothingAndSaysWhy) {
    window_->txt_from->setValue(500);
    window_->txt_to->setValue(600);
    window_->cmd_sleep->click();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown.front().find("holds no reading"), std::string::npos) << dialogs.shown.front();
    EXPECT_TRUE(window_->txt_messages->toPlainText().contains("Nothing was written."));
    EXPECT_FALSE(window_->cmd_openfolder->isEnabled());
    EXPECT_FALSE(std::filesystem::exists(folder_ / "behaviour"));
}

}  // namespace
}  // namespace zorvex::test
