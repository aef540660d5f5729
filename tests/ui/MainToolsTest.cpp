// The main window's instrument tools on the simulator: Read Blank, the device
// test on the activity panel, the factory window and the help document.

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QStatusBar>

#include "MainProgram.h"
#include "acquisition/Acquisition.h"
#include "cli/Program.h"
#include "common/Files.h"
#include "control/DeviceTest.h"
#include "ui/factory/Frm_Factory.h"

using namespace zorvex;
using test::countPixels;
using test::isRed;
using test::OnlineProgram;

namespace {

/// Auto zero off (blank samples are taken only then) and Read Blank shown.
void manualZero(Frm_Main& window) {
    window.mncal_on->trigger();
    window.mnZero->trigger();
}

/// Lets `timer` fire flat out until it stops or the wait limit passes.
bool runTimerToEnd(QTimer* timer) {
    timer->setInterval(0);
    QElapsedTimer clock;
    clock.start();
    while (timer->isActive() && clock.elapsed() < test::WaitLimitMs) QApplication::processEvents();
    return !timer->isActive();
}

/// One tick of `timer` now.
void fireOnce(QTimer* timer) { QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection); }

/// The pixel inside cell (column, row) of the device test grid, clear of its mark.
QRgb cellPixel(const PlotSurface& panel, int column, int row) {
    const QPointF pixel = panel.toPixel(column * 100 + 30, row * 100 + 30);
    return panel.image().pixel(pixel.toPoint());
}

}  // namespace

TEST(MainWindowTools, ReadBlankDuringAMonitorRunLocksTheWindowsAndEndsByItself) {
    OnlineProgram program("", [](ProjectSetup& setup) {
        setup.RT_Buffer = 200;
        setup.Threshold_Counter = 40;
    });
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    manualZero(window);
    program.dialogs.inputs = {""};  // OK on an empty name box
    program.dialogs.answers = {Answer::Ok};  // an empty name: a monitor run
    window.CmdPlay->click();
    ASSERT_EQ(window.acquisition().state(), AcquisitionState::Running);
    const ChannelTable before = program.workspace.channels;

    window.Cmd_readblank->click();

    EXPECT_FALSE(window.lblcalibrando->isHidden());
    EXPECT_EQ(window.lblcalibrando->text(), "Setting Blank.... (40 samples)");
    EXPECT_FALSE(window.CmdSetup->isEnabled());
    EXPECT_FALSE(window.CmdOffline->isEnabled());
    ASSERT_TRUE(program.runUntil([&] { return !window.acquisition().blankReadingActive(); }));
    EXPECT_TRUE(window.lblcalibrando->isHidden());
    EXPECT_EQ(window.lblcalibrando->text(), "Setting (0) OK...");
    EXPECT_FALSE(window.Timeradq->isActive());
    EXPECT_NE(program.workspace.channels.Threshold, before.Threshold);
    // The run itself goes on until Stop, which frees the buttons.
    EXPECT_FALSE(window.CmdSetup->isEnabled());
    window.CmdStop->click();
    EXPECT_TRUE(window.CmdSetup->isEnabled());
    EXPECT_TRUE(window.CmdOffline->isEnabled());
}

TEST(MainWindowTools, ReadBlankDuringANamedRecordingAsksBeforeItEndsIt) {
    OnlineProgram program("", [](ProjectSetup& setup) { setup.RT_Buffer = 200; });
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    manualZero(window);
    program.dialogs.inputs = {"Larvae"};
    window.CmdPlay->click();
    ASSERT_TRUE(window.acquisition().recording());
    const std::string question = "Reading the blank ends the recording of Larvae. Go on?";

    program.dialogs.answers = {Answer::No};
    window.Cmd_readblank->click();
    EXPECT_EQ(program.dialogs.shown.back(), question);
    EXPECT_TRUE(window.acquisition().recording());
    EXPECT_FALSE(window.acquisition().blankReadingActive());
    EXPECT_TRUE(window.lblcalibrando->isHidden());

    program.dialogs.answers = {Answer::Yes};
    window.Cmd_readblank->click();
    EXPECT_EQ(program.dialogs.shown.back(), question);
    EXPECT_FALSE(window.acquisition().recording());
    EXPECT_TRUE(window.acquisition().blankReadingActive());
    window.CmdStop->click();
}

TEST(MainWindowTools, ReadBlankWhileStoppedWaitsAndStopFreesTheButtons) {
    OnlineProgram program;
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    manualZero(window);
    const ChannelTable before = program.workspace.channels;

    window.Cmd_readblank->click();
    EXPECT_TRUE(window.acquisition().blankReadingActive());
    EXPECT_FALSE(window.lblcalibrando->isHidden());
    EXPECT_FALSE(window.CmdSetup->isEnabled());
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    EXPECT_TRUE(window.acquisition().blankReadingActive());

    window.CmdStop->click();
    EXPECT_FALSE(window.acquisition().blankReadingActive());
    EXPECT_TRUE(window.lblcalibrando->isHidden());
    EXPECT_TRUE(window.CmdSetup->isEnabled());
    EXPECT_TRUE(window.CmdOffline->isEnabled());
    EXPECT_EQ(program.workspace.channels.Threshold, before.Threshold);
}

TEST(MainWindowTools, DeviceTestIsRefusedDuringARunAndCancelTouchesNothing) {
    OnlineProgram program;
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    const QImage panel = window.Picact->image();
    const std::size_t frames = program.instrument.instrument.recentFrames().size();

    program.dialogs.answers = {Answer::Cancel};
    window.mnstatustest->trigger();

    EXPECT_TRUE(program.dialogs.shown.at(0).starts_with("DEVICE TEST:\r\nLigth Microbeams"));
    EXPECT_FALSE(window.Timer_test->isActive());
    EXPECT_TRUE(window.lbl_autostart->isHidden());
    EXPECT_EQ(window.Picact->image(), panel);
    EXPECT_EQ(program.instrument.instrument.recentFrames().size(), frames);

    program.dialogs.inputs = {""};  // OK on an empty name box

    program.dialogs.answers = {Answer::Ok};
    window.CmdPlay->click();  // a monitor run
    program.dialogs.shown.clear();
    window.mnstatustest->trigger();
    EXPECT_EQ(program.dialogs.shown, std::vector<std::string>{"Stop acquisition before Testing"});
    EXPECT_FALSE(window.Timer_test->isActive());
    window.CmdStop->click();
}

TEST(MainWindowTools, DeviceTestPaintsTheGridAndRunsToItsEnd) {
    OnlineProgram program;
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    program.dialogs.answers = {Answer::Ok};  // then the notices and "OK to proceed?" take their defaults

    window.mnstatustest->trigger();
    ASSERT_TRUE(window.Timer_test->isActive());
    EXPECT_EQ(window.Timer_test->interval(), DeviceTestTickMs);
    EXPECT_FALSE(window.lbl_autostart->isHidden());
    EXPECT_EQ(window.lbl_autostart->text(), "Open and close Zorvex Door to see sensing changes");
    EXPECT_GT(countPixels(window.Picact->image(), isRed), 500);

    fireOnce(window.Timer_test);
    const int level = window.deviceTest().levels()[37];
    const int grey = cellGrey(level);
    EXPECT_EQ(cellPixel(*window.Picact, 37 / 16, 37 % 16), qRgb(grey, grey, grey)) << level;

    ASSERT_TRUE(runTimerToEnd(window.Timer_test));
    EXPECT_EQ(window.deviceTest().step(), DeviceTestSteps);
    for (int c : {0, 17, 200, 383}) EXPECT_EQ(program.instrument.instrument.channelSetting(c), 2 * 32 + 2) << c;
    EXPECT_EQ(program.dialogs.shown.back(), "OK to proceed?");
    // Every simulated beam rose from minimum to maximum sensitivity: the
    // summary stays, green cells and the count, until the panel is used.
    ASSERT_TRUE(window.deviceTest().summary().has_value());
    EXPECT_EQ(window.deviceTest().summary()->passed.size(), 384u);
    EXPECT_FALSE(window.lbl_autostart->isHidden());
    EXPECT_EQ(window.lbl_autostart->text(), "Device test: 384 beams passed, 0 failed");
    EXPECT_EQ(QColor(cellPixel(*window.Picact, 37 / 16, 37 % 16)), QColor(0x30, 0xB0, 0x30));

    program.dialogs.inputs = {""};  // OK on an empty name box

    program.dialogs.answers = {Answer::Ok};
    window.CmdPlay->click();  // a monitor run takes the panel back
    EXPECT_TRUE(window.lbl_autostart->isHidden());
    EXPECT_EQ(countPixels(window.Picact->image(), [](QRgb pixel) { return QColor(pixel) == QColor(0x30, 0xB0, 0x30); }), 0);
    window.CmdStop->click();
}

TEST(MainWindowTools, FactoryWindowIsRefusedDuringARun) {
    OnlineProgram program;
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    program.dialogs.inputs = {""};  // OK on an empty name box
    program.dialogs.answers = {Answer::Ok};
    window.CmdPlay->click();
    program.dialogs.shown.clear();

    window.mn_factory->trigger();

    EXPECT_EQ(program.dialogs.shown,
              std::vector<std::string>{"Only possible to access in: ONLINE mode and STOP experiment"});
    EXPECT_FALSE(window.factoryWindow()->isVisible());
    EXPECT_TRUE(window.isVisible());
    window.CmdStop->click();
}

TEST(MainWindowTools, FactoryCalibrationIsWrittenAndReadBackAfterARestart) {
    OnlineProgram program;
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    Frm_Factory& factory = *window.factoryWindow();
    window.show();
    window.setGeometry(140, 90, 900, 600);
    QApplication::processEvents();
    const QRect placed = window.geometry();

    window.mn_factory->trigger();
    ASSERT_TRUE(factory.isVisible());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(factory.txt_mensaje->text(), "OK Last Factory Calibration 06/25 [mm/yy]");  // the simulator's set
    EXPECT_EQ(factory.txt_set_temp->text(), "25.0");
    EXPECT_EQ(factory.txt_current_temp->text(), "0.0");
    EXPECT_TRUE(factory.Timer_temp->isActive());
    EXPECT_EQ(factory.Timer_temp->interval(), 1000);
    fireOnce(factory.Timer_temp);
    const double shown = factory.txt_current_temp->text().toDouble();
    EXPECT_GT(shown, 10.0);

    // Escape (from the box being typed in) and Close leave without writing anything.
    const auto untouched = program.instrument.instrument.factoryRegisters();
    factory.txt_set_temp->setText("30.0");
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(factory.txt_set_temp, &escape);
    EXPECT_FALSE(factory.isVisible());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.geometry(), placed);  // where the operator left it
    window.mn_factory->trigger();
    factory.Cmd_close->click();
    EXPECT_FALSE(factory.isVisible());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.geometry(), placed);
    EXPECT_FALSE(factory.Timer_temp->isActive());
    EXPECT_EQ(program.instrument.instrument.factoryRegisters(), untouched);
    window.mn_factory->trigger();

    factory.txt_set_temp->setText("50.1");
    factory.Cmd_temp->click();
    EXPECT_EQ(program.dialogs.shown.back(), "invalid Calibration Parameter: value must be between 4\u00B0C and 50\u00B0C");
    EXPECT_EQ(program.instrument.instrument.factoryRegisters()[1], 6);  // nothing written

    const double raw = (shown - program.session->factory.FactoryTempOffset) / program.session->factory.FactoryTempSlope;
    factory.txt_set_temp->setText("30.0");
    factory.Cmd_temp->click();
    EXPECT_EQ(factory.txt_mensaje->text(), "OK Last Factory Calibration 12/26 [mm/yy]");
    const double offset = program.session->factory.FactoryTempOffset;
    EXPECT_NEAR(offset, 30.0 - std::round(raw) * 0.219, 1e-9);
    const auto registers = program.instrument.instrument.factoryRegisters();
    EXPECT_EQ(registers[0], 0);
    EXPECT_EQ(registers[1], 12);
    EXPECT_EQ(registers[2], 26);
    EXPECT_EQ(registers[3], offset < 0 ? 1 : 0);
    EXPECT_EQ(registers[4], static_cast<int>(std::lround(std::fabs(offset) * 10)));
    EXPECT_EQ(registers[5], 219);
    EXPECT_EQ(registers[6], 0);

    factory.close();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(factory.Timer_temp->isActive());

    program.restart();
    ASSERT_TRUE(program.start());
    EXPECT_TRUE(program.session->factory.FactoryCalValid);
    EXPECT_EQ(program.session->factory.calibrationMonth, 12);
    EXPECT_NEAR(program.session->factory.FactoryTempOffset, offset, 0.05 + 1e-9);
}

TEST(MainWindowTools, HelpContentOpensTheGuideInTheProgramFolderOrSaysWhyNot) {
    OnlineProgram program;
    ASSERT_TRUE(program.start());
    const std::filesystem::path guide = program.folder.path() / "zorvex_help.pdf";
    std::filesystem::remove(guide);
    QStatusBar* status = program.window->statusBar();

    program.window->mncontent->trigger();
    EXPECT_TRUE(program.host.opened.empty());
    EXPECT_EQ(status->currentMessage().toStdString(),
              "The guide is missing: copy zorvex_help.pdf to: " + program.folder.path().string());

    ASSERT_TRUE(writeFile(guide, "%PDF-1.4"));
    program.window->mncontent->trigger();
    EXPECT_EQ(program.host.opened, std::vector<std::filesystem::path>{guide});

    program.host.openSucceeds = false;
    program.window->mncontent->trigger();
    EXPECT_EQ(status->currentMessage().toStdString(),
              "Guide: " + guide.string() + "  (no program on this desktop opens it: open it from there)");
}

TEST(MainWindowTools, InitCopiesTheRenderedGuideIntoTheNewProgramFolder) {
    test::TempFolder folder;
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(runZorvexCli({"init", (folder.path() / "program").string()}, out, err), 0) << err.str();
    const auto guide = readFile(folder.path() / "program" / "zorvex_help.pdf");
    ASSERT_TRUE(guide);
    EXPECT_TRUE(guide->starts_with("%PDF-"));
    EXPECT_NE(guide->find("/Type /Page"), std::string::npos);
}
