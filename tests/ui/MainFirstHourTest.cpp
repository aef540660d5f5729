// What a new operator meets in the main window's first hour: setup switches
// and another project reaching it, a monitor run that says it records
// nothing, where a recording went, the port shown, and the live selectors.

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QStatusBar>

#include "MainProgram.h"
#include "acquisition/Acquisition.h"
#include "common/Files.h"
#include "store/ProjectFolders.h"
#include "ui/setup/Frm_setup.h"
#include "ui/setup/SettingsPanels.h"

using namespace zorvex;
using test::OnlineProgram;

namespace {

// Project 2 beside the demo project 1: other light hours, set temperature,
// organism and real-time buffer.
void writeSecondProject(OnlineProgram& program) {
    Workspace project;
    project.programFolder = program.folder.path();
    project.config.Actual_Project_Number = 1;
    project.projectFolder = projectFolderPath(program.folder.path(), 1);
    loadProject(project, 1, program.dialogs);
    project.setup.Name = "Larvae";
    project.setup.RT_Buffer = 300;
    project.setup.Mn[1] = {1, 1, 1, 28, 0, 0};    // zebrafish, SNR 2.8
    project.setup.Mn[2] = {1, 7, 19, 0, 0, 0};    // light 7 to 19
    project.setup.Mn[3] = {1, 285, 0, 0, 0, 0};   // 28.5 degrees
    project.config.Actual_Project_Number = 2;
    project.setup.Working_folder = defaultWorkingFolder(program.folder.path(), 2);
    project.projectFolder = program.folder.path() / "p00002";
    std::filesystem::create_directories(project.projectFolder);
    ASSERT_TRUE(saveProject(project));
    program.dialogs.shown.clear();
}

void click(QWidget* widget) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
}

}  // namespace

TEST(MainFirstHour, ToolSwitchesAndAnotherProjectReachTheMainWindow) {
    OnlineProgram program("", [](ProjectSetup& setup) {
        setup.Menu2_Light = 1;
        setup.Menu3_Temp = 1;
        setup.Mn[2][0] = 1;  // light control enabled
    });
    writeSecondProject(program);
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    Frm_setup& setup = *window.setupWindow();
    ASSERT_FALSE(window.frm_mn2->isHidden());
    ASSERT_TRUE(window.Chk_lenabled->isChecked());

    window.CmdSetup->click();
    ASSERT_TRUE(setup.isVisible());
    setup.Cmdtools->click();
    ASSERT_FALSE(window.frm_mn3->isHidden());
    setup.tools()->chklight->click();
    setup.tools()->chktemp->click();
    EXPECT_TRUE(window.frm_mn2->isHidden());
    EXPECT_FALSE(window.Chk_lenabled->isChecked());
    EXPECT_TRUE(window.frm_mn3->isHidden());
    EXPECT_FALSE(window.frm_mn1->isHidden());  // calibration control is always on
    setup.Command21->click();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.frm_mn2->isHidden());
    EXPECT_FALSE(window.Chk_lenabled->isChecked());

    window.CmdSetup->click();
    setup.Cmdtools->click();
    setup.tools()->chklight->click();
    EXPECT_FALSE(window.frm_mn2->isHidden());
    EXPECT_TRUE(window.Chk_lenabled->isChecked());

    program.dialogs.answers = {Answer::No};  // no save before the load
    setup.cmdLoad->click();
    QListWidget* list = setup.List_project;
    list->setCurrentItem(list->findItems("Larvae (p00002)", Qt::MatchExactly).front());
    emit list->itemDoubleClicked(list->currentItem());
    program.dialogs.shown.clear();
    setup.Command21->click();

    EXPECT_EQ(window.txt_projecto->text(), "2_Larvae");
    EXPECT_EQ(window.txt_lon->text(), "7");
    EXPECT_EQ(window.txt_loff->text(), "19");
    EXPECT_EQ(window.txttemp->text(), "28.5");
    EXPECT_EQ(window.Cmb_organism->currentText(), "Zebrafish(larvae)");
    EXPECT_EQ(window.txt_snr_umbral->text(), "2.8");
    EXPECT_EQ(window.acquisition().frame().rtBuffer(), 300);
    EXPECT_TRUE(program.dialogs.shown.empty()) << program.dialogs.shown.front();

    // A buffer no acquisition can have (a hand-edited setup.dat) is named at once.
    program.workspace.setup.RT_Buffer = 2;
    window.hide();
    window.show();
    EXPECT_EQ(program.dialogs.shown, std::vector<std::string>{"Error loading parameters"});
    EXPECT_EQ(window.acquisition().frame().rtBuffer(), 300);
}

TEST(MainFirstHour, MonitorRunSaysSoAndARecordingSaysWhereItWent) {
    OnlineProgram program("", [](ProjectSetup& setup) {
        setup.RT_Buffer = 200;
        setup.Aq_lapse = 600;
    });
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    QStatusBar* status = window.statusBar();
    const std::string device = program.instrument.path();
    EXPECT_EQ(window.lbl_mode->text().toStdString(), "ONLINE on COM4 (" + device + ")");
    EXPECT_EQ(window.mncom1[3]->text().toStdString(), "COM4\t" + device);
    EXPECT_TRUE(window.lbl_monitor->isHidden());

    program.dialogs.inputs = {""};  // OK on an empty name box

    program.dialogs.answers = {Answer::Ok};  // the empty name stays: a monitor run
    window.CmdPlay->click();
    ASSERT_EQ(window.acquisition().state(), AcquisitionState::Running);
    EXPECT_FALSE(window.lbl_monitor->isHidden());
    EXPECT_EQ(window.lbl_monitor->text(), "MONITOR ONLY - NOT RECORDING");
    ASSERT_TRUE(program.runUntil([&] { return window.acquisition().binsClosed() >= 1; }));
    EXPECT_FALSE(window.lbl_monitor->isHidden());
    window.CmdStop->click();
    EXPECT_TRUE(window.lbl_monitor->isHidden());
    EXPECT_EQ(status->currentMessage(), "Monitor run stopped: nothing was recorded");

    program.dialogs.inputs = {"Larvae run"};
    window.CmdPlay->click();
    const std::filesystem::path folder = window.acquisition().folder();
    EXPECT_TRUE(window.lbl_monitor->isHidden());
    EXPECT_EQ(status->currentMessage().toStdString(), "Recording into: " + folder.string());
    ASSERT_TRUE(program.runUntil([&] { return window.acquisition().binsRecorded() >= 2; }));
    window.CmdStop->click();
    const int bins = static_cast<int>(std::filesystem::file_size(folder / "counts.bin") / 774);
    EXPECT_EQ(status->currentMessage().toStdString(),
              "Recording stopped: " + std::to_string(bins) + " records saved in " + folder.string());
}

TEST(MainFirstHour, LiveSelectorsListTheFirstGroupAndTheSnrCaptionOpensItsBox) {
    OnlineProgram program;
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    // The demo project has one group per plate row: A1..A12 are listed at once.
    ASSERT_GT(window.lstgrup->count(), 0);
    EXPECT_EQ(window.lstgrup->item(0)->text(), "A1.0");

    ASSERT_TRUE(window.txt_snr_umbral->isHidden());  // C elegans preset
    EXPECT_EQ(window.lbl_umbral->text(), ">>>>");
    click(window.lbl_umbral);
    EXPECT_FALSE(window.txt_snr_umbral->isHidden());
    EXPECT_EQ(window.lbl_umbral->text(), "> Zero SNR:");
    click(window.lbl_umbral);
    EXPECT_TRUE(window.txt_snr_umbral->isHidden());
    EXPECT_EQ(window.lbl_umbral->text(), ">>>>");

    // Leaving the beam box picks the beam's channel but leaves the plot as it is.
    const QImage plot = window.Picreal->image();
    const int channel = window.selectedChannel();
    OnlineProgram::type(window.txtsub, "1");
    EXPECT_NE(window.selectedChannel(), channel);
    EXPECT_EQ(window.lblcanal->text().toInt(), window.selectedChannel());
    EXPECT_EQ(window.Picreal->image(), plot);
}
