#include <QApplication>
#include <QStatusBar>
#include <cctype>

#include "OfflineWindow.h"
#include "TypedKeys.h"
#include "common/Files.h"
#include "control/InstrumentSession.h"
#include "ui/main/Frm_Main.h"
#include "ui/common/ElidedLabel.h"
#include "ui/report/Frm_Report.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {

struct ReportWindow : ReviewFolder {
    std::unique_ptr<Frm_Report> window;

    ReportWindow() {
        host.separator = ";";
        window = std::make_unique<Frm_Report>(folder.path(), dialogs, host);
    }

    /// An acquisition of `records` minutes with a raw dump per record, and the window opened on it.
    std::filesystem::path openOn(int records, bool withDumps = false, const std::string& bin = "60") {
        auto built = acquisition("05032024_1430", "z96f", records);
        if (withDumps) built.appendDumps(0, records - 1);
        EXPECT_TRUE(window->openOn(built.folder(), QString::fromStdString(bin)));
        return built.folder();
    }
};

}  // namespace

TEST(ReportWindow, StartsCompactWithItsDefaults) {
    ReportWindow report;
    Frm_Report& window = *report.window;
    EXPECT_EQ(window.windowTitle(), "Report Output");
    EXPECT_EQ(window.Cmb_binsize->currentText(), "60");
    EXPECT_EQ(window.Cmb_binsize->count(), 11);
    EXPECT_EQ(window.Chk_statistic[4]->text(), "\"N\"");
    std::vector<bool> checked;
    for (QCheckBox* box : window.Chk_statistic) checked.push_back(box->isChecked());
    EXPECT_EQ(checked, (std::vector<bool>{true, false, true, false, true}));
    EXPECT_TRUE(window.Option_output[0]->isChecked());
    EXPECT_TRUE(window.Option_report[0]->isChecked());
    EXPECT_EQ(window.txt_customspacer->text(), ";");
    EXPECT_TRUE(window.Frame_run->isHidden());
    EXPECT_EQ(window.Cmb_dspmethod->currentText(), "0_Threshold+Binary (Old Method.w/filters)");
    EXPECT_EQ(window.frmtxt_threshold->text(), "1.8");
    EXPECT_EQ(window.frmtxt_datalapse->text(), "1");
    EXPECT_FALSE(window.Chk_replacedata->isChecked());

    window.Option_report[1]->click();
    EXPECT_EQ(window.txt_customspacer->text(), " ");
    window.Option_report[0]->click();
    EXPECT_EQ(window.txt_customspacer->text(), ";");
}

TEST(ReportWindow, OpensOnlyOnAFolderWithActivityCounts) {
    ReportWindow report;
    std::filesystem::create_directories(report.project() / "05032024_1430");
    EXPECT_FALSE(report.window->openOn(report.project() / "05032024_1430", "30"));
    EXPECT_FALSE(report.window->openOn({}, "30"));
    EXPECT_EQ(report.dialogs.shown, (std::vector<std::string>{"Activity file not Found", "Activity file not Found"}));
    EXPECT_FALSE(report.window->isVisible());

    std::filesystem::path folder = report.openOn(20, false, "30");
    EXPECT_TRUE(report.window->isVisible());
    EXPECT_EQ(report.window->Txt_inputfile->text().toStdString(), folder.string());
    EXPECT_EQ(report.window->Cmb_binsize->currentText(), "30");
}

TEST(ReportWindow, GenerateWritesTheReportOpensItAndShowsTheBinSizeUsed) {
    ReportWindow report;
    std::filesystem::path folder = report.openOn(100, false, "120");
    report.window->Option_report[1]->click();

    report.window->Cmd_generate->click();

    EXPECT_EQ(report.window->Cmb_binsize->currentText(), "90");
    ASSERT_EQ(report.host.opened, std::vector<std::filesystem::path>{folder / "report.txt"});
    std::string text = readFile(folder / "report.txt").value_or("");
    EXPECT_NE(text.find("Group/Time[m] 90\r\n"), std::string::npos);

    report.window->Cmb_binsize->setEditText("1");
    report.window->Cmd_generate->click();
    EXPECT_EQ(report.window->Cmb_binsize->currentText(), "1");  // one-minute bins as asked
}

TEST(ReportWindow, TypedBinSizeIsKeptAsTypedAndGenerateUsesIt) {
    ReportWindow report;
    const std::filesystem::path folder = report.openOn(100);
    report.window->Option_report[1]->click();
    QLineEdit* typed = report.window->Cmb_binsize->lineEdit();
    for (const QString bin : {"2", "12", "1", "5x"}) {
        eraseAll(typed);
        typeText(typed, bin);
        const QString digits = QString(bin).remove('x');
        EXPECT_EQ(report.window->Cmb_binsize->currentText(), digits);  // not 240 or 120
        report.window->Cmd_generate->click();
        EXPECT_EQ(report.window->Cmb_binsize->currentText(), digits);
        // The first bin's label is the bin size.
        const std::string text = readFile(folder / "report.txt").value_or("");
        const std::string header = "Group/Time[m] " + digits.toStdString();
        const std::size_t at = text.find(header);
        ASSERT_NE(at, std::string::npos) << bin.toStdString() << "\n" << text.substr(0, 300);
        EXPECT_FALSE(std::isdigit(static_cast<unsigned char>(text[at + header.size()]))) << text.substr(at, 40);
        std::filesystem::remove(folder / "report.txt");
    }
    EXPECT_EQ(report.window->Cmb_binsize->count(), 11);  // nothing typed joined the list
}

TEST(ReportWindow, ShortAcquisitionIsOneBinAndTheBoxShowsItsSize) {
    ReportWindow report;
    std::filesystem::path folder = report.openOn(20);
    report.window->Cmd_generate->click();
    EXPECT_EQ(report.window->Cmb_binsize->currentText(), "21");
    EXPECT_NE(readFile(folder / "report.csv").value_or("").find("Group/Time[m];21\r\n"), std::string::npos);

    ReportWindow oneMinute;
    folder = oneMinute.openOn(1, false, "30");
    oneMinute.window->Cmd_generate->click();
    EXPECT_EQ(oneMinute.window->Cmb_binsize->currentText(), "2");
    EXPECT_NE(readFile(folder / "report.csv").value_or("").find("Group/Time[m];2\r\n"), std::string::npos);
}

TEST(ReportWindow, ABinSizeThatIsNoNumberIsRefusedAndKept) {
    ReportWindow report;
    std::filesystem::path folder = report.openOn(12, true);
    Frm_Report& window = *report.window;
    window.Cmb_binsize->setEditText("6O");

    window.Cmd_generate->click();
    window.mncircadian->trigger();
    window.mnrecalculate->trigger();
    window.cmd_runframe->click();

    EXPECT_EQ(report.dialogs.shown, std::vector<std::string>(3, "Report Calculation Error"));
    EXPECT_EQ(window.Cmb_binsize->currentText(), "6O");
    EXPECT_FALSE(fileExists(folder / "report.csv"));
    EXPECT_FALSE(fileExists(folder / "000_A1.txt"));
    EXPECT_EQ(window.frmlbl_status->text(), "Block xx/xx");
    EXPECT_TRUE(report.host.opened.empty());
}

TEST(ReportWindow, AReportHeldOpenByTheOfficeSuiteIsKeptAndTheNextNameWritten) {
    ReportWindow report;
    std::filesystem::path folder = report.openOn(90);
    ASSERT_TRUE(writeFile(folder / "report.csv", "kept"));
    ASSERT_TRUE(writeFile(folder / ".~lock.report.csv#", ",someone,host,01.01.2026 10:00,file:///;"));

    report.window->Cmd_generate->click();

    EXPECT_EQ(readFile(folder / "report.csv").value_or(""), "kept");
    EXPECT_NE(readFile(folder / "report_1.csv").value_or("").find("Group/Time[m]"), std::string::npos);
    EXPECT_EQ(report.host.opened, std::vector<std::filesystem::path>{folder / "report_1.csv"});
    EXPECT_EQ(report.window->lbl_status->fullText().toStdString(),
              "Report written: " + (folder / "report_1.csv").string());

    std::filesystem::remove(folder / ".~lock.report.csv#");
    report.window->Cmd_generate->click();
    EXPECT_NE(readFile(folder / "report.csv").value_or("").find("Group/Time[m]"), std::string::npos);
}

TEST(ReportWindow, StatusLineIsAboutTheShownAcquisitionAndElidesInTheMiddle) {
    ReportWindow report;
    Frm_Report& window = *report.window;
    const std::filesystem::path first = report.openOn(90);
    window.show();
    QApplication::processEvents();
    window.Cmd_generate->click();
    const QString written = QString::fromStdString("Report written: " + (first / "report.csv").string());
    EXPECT_EQ(window.lbl_status->fullText(), written);
    EXPECT_EQ(window.lbl_status->toolTip(), written);
    EXPECT_TRUE(window.statusBar()->currentMessage().isEmpty());
    EXPECT_LE(window.lbl_status->fontMetrics().horizontalAdvance(window.lbl_status->text()),
              window.lbl_status->width());
    window.lbl_status->resize(window.lbl_status->fontMetrics().horizontalAdvance(written) / 2,
                              window.lbl_status->height());
    const QString shown = window.lbl_status->text();
    EXPECT_TRUE(shown.startsWith("Report wri")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("report.csv")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
    EXPECT_LE(window.lbl_status->fontMetrics().horizontalAdvance(shown), window.lbl_status->width());

    // The end of the next lapse opens the window on its own acquisition.
    const auto second = report.acquisition("06032024_0900", "z96f", 30);
    ASSERT_TRUE(window.openOn(second.folder(), "30"));
    EXPECT_TRUE(window.lbl_status->fullText().isEmpty());
    window.Cmd_generate->click();
    ASSERT_TRUE(window.openOn(second.folder(), "30"));  // brought forward again: its line stays
    EXPECT_TRUE(window.lbl_status->fullText().endsWith("report.csv"));
}

TEST(ReportWindow, ADesktopWithoutAViewerIsNamedWithThePath) {
    ReportWindow report;
    std::filesystem::path folder = report.openOn(90);
    report.host.openSucceeds = false;

    report.window->Cmd_generate->click();
    EXPECT_EQ(report.window->lbl_status->fullText().toStdString(),
              "Report written: " + (folder / "report.csv").string() +
                  "  (no program on this desktop opens it: open it from there)");

    report.window->mncircadian->trigger();
    EXPECT_EQ(report.window->lbl_status->fullText().toStdString(),
              "96 well files written in: " + folder.string() +
                  "  (no program on this desktop opens it: open it from there)");
}

TEST(ReportWindow, AnalyzeRawDataNeedsTheFirstRealTimeFile) {
    ReportWindow report;
    std::filesystem::path folder = report.openOn(3);
    const int compact = report.window->height();
    report.window->mnrecalculate->trigger();
    EXPECT_EQ(report.dialogs.shown, std::vector<std::string>{"Real Time Data Not Found"});
    EXPECT_TRUE(report.window->Frame_run->isHidden());

    appendMarkedDump(folder, 0, 0);
    report.window->mnrecalculate->trigger();
    EXPECT_FALSE(report.window->Frame_run->isHidden());
    EXPECT_GT(report.window->height(), compact);

    report.window->Cmd_cancel->click();
    EXPECT_FALSE(report.window->isVisible());
    EXPECT_TRUE(report.window->Frame_run->isHidden());
}

TEST(ReportWindow, OrganismPresetsAndTheThresholdRange) {
    ReportWindow report;
    Frm_Report& window = *report.window;
    chooseEntry(window.Cmb_organism, 1);
    EXPECT_EQ(window.frmtxt_threshold->text(), "2.8");
    chooseEntry(window.Cmb_organism, 0);
    EXPECT_EQ(window.frmtxt_threshold->text(), "1.8");
    // Choosing the organism already shown puts its threshold back.
    window.frmtxt_threshold->setText("3.3");
    chooseEntry(window.Cmb_organism, 0);
    EXPECT_EQ(window.frmtxt_threshold->text(), "1.8");
    window.frmtxt_threshold->setText("0.5");
    emit window.frmtxt_threshold->editingFinished();
    EXPECT_EQ(window.frmtxt_threshold->text(), "1.8");
    window.frmtxt_threshold->setText("5.9");
    emit window.frmtxt_threshold->editingFinished();
    EXPECT_EQ(window.frmtxt_threshold->text(), "5.9");

    window.Chk_replacedata->click();
    EXPECT_FALSE(window.frmtxt_datalapse->isEnabled());
    window.Chk_replacedata->click();
    EXPECT_TRUE(window.frmtxt_datalapse->isEnabled());
}

TEST(ReportWindow, RunRecountsWithProgressWhileTheWindowAnswers) {
    ReportWindow report;
    std::filesystem::path folder = report.openOn(12, true);
    Frm_Report& window = *report.window;
    window.mnrecalculate->trigger();
    window.frmtxt_datalapse->setText("0.01");
    std::vector<std::string> shown;
    report.host.onYield = [&] {
        if (!window.running()) return;  // the yields that let the report file go
        shown.push_back(window.frmlbl_status->text().toStdString());
        EXPECT_FALSE(window.cmd_runframe->isEnabled());
        window.cmd_runframe->click();  // ignored while running
    };

    window.cmd_runframe->click();

    EXPECT_FALSE(window.running());
    EXPECT_EQ(window.frmtxt_datalapse->text(), "0.08");  // the 5 minutes the run honoured
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front().rfind("Block ", 0), 0u) << shown.front();
    // Minutes 1..5 recounted; N counts up to the first record beyond the limit.
    EXPECT_EQ(window.frmlbl_status->text(), "Block 5/6");
    EXPECT_EQ(report.host.opened, std::vector<std::filesystem::path>{folder / "report.csv"});
}

TEST(ReportWindow, StopLeavesCountsUnchangedAndWritesNoReport) {
    ReportWindow report;
    std::filesystem::path folder = report.openOn(12, true);
    Frm_Report& window = *report.window;
    window.mnrecalculate->trigger();
    window.Chk_replacedata->click();
    const std::string before = readFile(folder / "counts.bin").value_or("");
    report.host.onYield = [&] { window.cmd_stopframe->click(); };

    window.cmd_runframe->click();

    EXPECT_EQ(readFile(folder / "counts.bin").value_or(""), before);
    EXPECT_FALSE(fileExists(folder / "report.csv"));
    EXPECT_TRUE(report.host.opened.empty());
    EXPECT_TRUE(window.cmd_runframe->isEnabled());

    report.host.onYield = nullptr;
    window.cmd_runframe->click();  // a second run, not stopped, replaces the counts
    EXPECT_NE(readFile(folder / "counts.bin").value_or(""), before);
    EXPECT_EQ(readFile(folder / "counts.bin").value_or("").size(), before.size());
}

TEST(ReportWindow, OneFilePerWellAndTheFolderOpened) {
    ReportWindow report;
    std::filesystem::path folder = report.openOn(90, false, "30");
    report.dialogs.answers.push_back(Answer::No);
    report.window->mncircadian->trigger();
    EXPECT_FALSE(fileExists(folder / "000_A1.txt"));

    report.window->mncircadian->trigger();
    EXPECT_EQ(report.dialogs.shown.back(), "Do you like to Export 384 text files?");
    EXPECT_TRUE(fileExists(folder / "000_A1.txt"));
    EXPECT_TRUE(fileExists(folder / "095_H12.txt"));
    EXPECT_EQ(readFile(folder / "001_B1.txt").value_or("").substr(0, 17), "05/03/2024 15:00 ");
    EXPECT_EQ(report.host.opened, std::vector<std::filesystem::path>{folder});
}

TEST(ReportWindow, RhythmExportAsksTheIntervalWritesIntoRhythmAndOpensIt) {
    ReportWindow report;
    std::filesystem::path folder = report.openOn(90);
    EXPECT_EQ(report.window->mnrhythm->text(), "Export for rhythm analysis...");
    report.window->mnrhythm->trigger();  // the interval box cancelled
    EXPECT_EQ(report.dialogs.shown.back(), "Minutes per line of the monitor files (1 to 59):");
    report.dialogs.inputs = {"2.5", "60", "5"};
    report.window->mnrhythm->trigger();
    EXPECT_EQ(report.dialogs.shown.back(), "The interval must be a whole number of minutes from 1 to 59.");
    report.window->mnrhythm->trigger();
    EXPECT_EQ(report.dialogs.shown.back(), "Monitor files take 1 to 59 minutes per line: rhythm-analysis tools take a "
                                           "step of an hour or more for a break in the recording and refuse the file; "
                                           "make coarser bins in the analysis, from the 1-minute files.");
    EXPECT_FALSE(folderExists(folder / "rhythm"));
    EXPECT_TRUE(report.host.opened.empty());

    report.window->mnrhythm->trigger();
    EXPECT_EQ(report.host.opened, std::vector<std::filesystem::path>{folder / "rhythm"});
    for (const char* file : {"Monitor1.txt", "Monitor2.txt", "Monitor3.txt", "metadata.csv"}) {
        EXPECT_TRUE(fileExists(folder / "rhythm" / file)) << file;
    }
    // Minutes 1..90 in intervals of 5: the last whole one, 85..89, is the 18th
    // line; 90..94, unfinished, is left out.
    EXPECT_EQ(countLines(folder / "rhythm" / "Monitor1.txt"), 18);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(ReportWindow, ActivityTableAsksTheIntervalWritesBesideTheAcquisitionAndOpensIt) {
    ReportWindow report;
    std::filesystem::path folder = report.openOn(90);
    EXPECT_EQ(report.window->mntable->text(), "Export activity table...");
    report.dialogs.inputs = {"ten", "30"};
    report.window->mntable->trigger();
    EXPECT_EQ(report.dialogs.shown.back(), "The interval must be a whole number of minutes from 1 to 1440.");
    EXPECT_TRUE(report.host.opened.empty());

    report.window->mntable->trigger();
    EXPECT_EQ(report.dialogs.shown.back(), "Minutes per row of the activity table (1 to 1440):");
    EXPECT_EQ(report.host.opened, std::vector<std::filesystem::path>{folder});
    EXPECT_EQ(report.window->lbl_status->fullText().toStdString(),
              "Activity table activity_30min.csv written in: " + folder.string());
    // 96 wells of 3 whole half hours, under the header.
    EXPECT_EQ(countLines(folder / "activity_30min.csv"), 1 + 96 * 3);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(ReportWindow, OfflineReportButtonOpensItOnTheAcquisitionInHalfHours) {
    ReviewFolder review;
    auto acquisition = review.acquisition("05032024_1430");
    Workspace workspace;
    workspace.programFolder = review.folder.path();
    InstrumentSession session;
    Frm_Main main(workspace, session, review.dialogs, review.host, "");
    Frm_offline& offline = *main.offlineWindow();
    offline.show();
    QListWidget* list = offline.Listpj;
    list->setCurrentRow(0);
    emit list->itemDoubleClicked(list->currentItem());
    list->setCurrentRow(0);
    emit list->itemDoubleClicked(list->currentItem());

    offline.Cmd_report->click();

    Frm_Report& report = *main.reportWindow();
    EXPECT_TRUE(report.isVisible());
    EXPECT_EQ(report.Txt_inputfile->text().toStdString(), acquisition.folder().string());
    EXPECT_EQ(report.Cmb_binsize->currentText(), "30");
}
