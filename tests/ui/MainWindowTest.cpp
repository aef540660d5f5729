#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <thread>

#include "acquisition/Acquisition.h"

#include "MainProgram.h"
#include "common/Files.h"
#include "ui/main/NoticesWindow.h"
#include "ui/offline/Frm_offline.h"
#include "ui/report/Frm_Report.h"
#include "ui/setup/Frm_setup.h"

using namespace zorvex;

using test::countPixels;
using test::isGrey;
using test::isRed;
using test::OnlineProgram;

TEST(MainWindow, StartUpFillsThePanelsWithTheProjectsCorrections) {
    OnlineProgram program("", [](ProjectSetup& setup) {
        setup.Mn[1] = {1, 0, 0, 0, 0, 0};              // zebrafish, no stored factor
        setup.Mn[2] = {1, 0, 0, 0, 0, 0};              // light schedule never set
        setup.Mn[3] = {1, 10, 0, 0, 0, 0};             // 1.0 degree: out of range
        setup.Menu2_Light = 1;
        setup.Menu3_Temp = 0;
    });
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;

    EXPECT_EQ(window.Cmb_organism->currentText(), "Zebrafish(larvae)");
    EXPECT_EQ(window.Cmb_organism->count(), 3);
    EXPECT_EQ(window.txt_snr_umbral->text(), "2.8");
    EXPECT_DOUBLE_EQ(window.options().snrFactor, 2.8);
    EXPECT_EQ(window.txttemp->text(), "20.0");
    EXPECT_EQ(window.txt_lon->text(), "9");
    EXPECT_EQ(window.txt_loff->text(), "21");
    EXPECT_FALSE(window.frm_mn2->isHidden());
    EXPECT_TRUE(window.frm_mn3->isHidden());
    EXPECT_EQ(window.combo_minutes->count(), 10);
    EXPECT_EQ(window.combo_minutes->currentText(), "30");
    // Manual calibration starts OFF: both automatic switches ticked and locked.
    EXPECT_TRUE(window.mncal_off->isChecked());
    EXPECT_TRUE(window.mnCalibra->isChecked());
    EXPECT_TRUE(window.mnZero->isChecked());
    EXPECT_FALSE(window.mnZero->isEnabled());
    EXPECT_TRUE(window.cmd_calibra->isHidden());
    EXPECT_TRUE(window.Cmd_autozero->isHidden());
    EXPECT_TRUE(window.Cmd_readblank->isHidden());
    EXPECT_FALSE(window.CmdPause->isEnabled());
    EXPECT_TRUE(window.mncom1[3]->isChecked());
    EXPECT_EQ(window.Combofila->count(), 8);
    EXPECT_EQ(window.Combocol->count(), 12);

    window.mncal_on->trigger();
    EXPECT_TRUE(window.mnZero->isEnabled());
    EXPECT_FALSE(window.Cmd_readblank->isHidden());
    window.mnZero->trigger();  // unticks it
    EXPECT_FALSE(window.options().autoZero);
    EXPECT_FALSE(window.Cmd_autozero->isHidden());
    EXPECT_EQ(program.workspace.setup.Mn[1][2], 0);
}

// A 1280 x 800 screen less a title bar: buttons and status lines must not fall below it.
TEST(MainWindow, TheLargeWindowsFitA1280By800ScreenWithATitleBar) {
    OnlineProgram program;
    ASSERT_TRUE(program.start());
    const std::array<QWidget*, 3> windows{program.window.get(), program.window->setupWindow(),
                                          program.window->offlineWindow()};
    for (QWidget* window : windows) {
        const QSize least = window->minimumSizeHint();
        EXPECT_LE(least.width(), 1280) << window->objectName().toStdString();
        EXPECT_LE(least.height(), 720) << window->objectName().toStdString();
        EXPECT_LE(window->height(), 760) << window->objectName().toStdString();
    }
}

TEST(MainWindow, LightAndTemperatureButtonsSendAtOnceWhenStoppedAndBoxesAreChecked) {
    OnlineProgram program;
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;

    window.cmd_luz->click();
    EXPECT_EQ(window.cmd_luz->text(), "ON");
    EXPECT_EQ(program.outputState(), 4);
    window.cmd_ontemp->click();
    EXPECT_EQ(window.cmd_ontemp->text(), "ON");
    EXPECT_EQ(program.outputState(), 5);
    window.cmd_frio->click();  // heating mode, element off
    EXPECT_EQ(window.cmd_frio->text(), "CALOR");
    EXPECT_EQ(window.cmd_ontemp->text(), "OFF");
    EXPECT_EQ(program.outputState(), 6);
    EXPECT_NE(window.shape_light->styleSheet().indexOf("#00ff00"), -1);
    EXPECT_NE(window.shape_temp->styleSheet().indexOf("#ffffff"), -1);

    OnlineProgram::type(window.txt_lon, "25");
    EXPECT_EQ(window.txt_lon->text(), "9");
    OnlineProgram::type(window.txt_loff, "7.4");
    EXPECT_EQ(window.txt_loff->text(), "07");
    EXPECT_EQ(program.workspace.setup.Mn[2][2], 7);
    OnlineProgram::type(window.txt_pulsetimes, "3");
    EXPECT_FALSE(window.txt_lon->isEnabled());
    OnlineProgram::type(window.txttemp, "4.9");
    EXPECT_EQ(window.txttemp->text(), "20");
    OnlineProgram::type(window.txttemp, "22.25");
    EXPECT_EQ(program.workspace.setup.Mn[3][1], 222);
    OnlineProgram::type(window.txt_snr_umbral, "9");
    EXPECT_EQ(window.txt_snr_umbral->text(), "1.8");
    EXPECT_EQ(window.Cmb_organism->currentIndex(), 2);
    EXPECT_EQ(program.dialogs.shown,
              (std::vector<std::string>{"Invalid value: 0 to 23", "Invalid value: 5.0 to 50.0",
                                        "Invalid value: 1.1 to 5.0"}));
    EXPECT_DOUBLE_EQ(program.session->setTemperature, 20.0);  // only "SET" changes it
    window.Cmd_settemp->click();
    EXPECT_DOUBLE_EQ(program.session->setTemperature, 22.2);  // the box shows 22.2
}

TEST(MainWindow, NamedAcquisitionRecordsBinsPausesResumesAndStops) {
    OnlineProgram program("", [](ProjectSetup& setup) {
        setup.RT_Buffer = 200;
        setup.Aq_lapse = 600;
    });
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    program.dialogs.inputs = {"Larvae run"};
    window.Txt_description->setPlainText("N2, day 1 at 20 C");

    window.CmdPlay->click();

    ASSERT_EQ(window.acquisition().state(), AcquisitionState::Running);
    EXPECT_NE(program.dialogs.shown.at(0).find("***   Enter a Name for this Experiment  ***"), std::string::npos);
    EXPECT_FALSE(window.CmdPlay->isEnabled());
    EXPECT_TRUE(window.CmdPause->isEnabled());
    EXPECT_FALSE(window.CmdSetup->isEnabled());
    EXPECT_FALSE(window.Cmb_organism->isEnabled());
    EXPECT_TRUE(window.Timeradq->isActive());
    EXPECT_EQ(window.Timeradq->interval(), 30);
    const auto folder = window.acquisition().folder();
    EXPECT_EQ(folder, program.workspace.projectFolder / "06122026_1458");
    EXPECT_EQ(readFile(folder / "subproj.dat"), "\"Larvae run\"\r\n\"N2, day 1 at 20 C\"\r\n");

    ASSERT_TRUE(program.runUntil([&] { return window.acquisition().binsClosed() >= 2; }));
    std::error_code error;
    EXPECT_EQ(std::filesystem::file_size(folder / "counts.bin", error), 2u * 774u);
    // The sweep and the bars were drawn.
    EXPECT_GT(countPixels(window.Picreal->image(), isRed), 50);
    EXPECT_GT(countPixels(window.Picact->image(), isGrey), 0);
    EXPECT_FALSE(window.Txt_time->text().isEmpty());

    program.dialogs.answers = {Answer::Yes};
    window.CmdPause->click();
    EXPECT_EQ(window.acquisition().state(), AcquisitionState::Paused);
    EXPECT_FALSE(window.Timeradq->isActive());
    EXPECT_FALSE(window.frm_autotext->isHidden());
    EXPECT_EQ(window.lbl_autotext->text(), "<< PAUSED >>");
    EXPECT_EQ(window.lbl_autochannel->text(), "Time Counter = OFF");

    window.CmdPause->click();
    EXPECT_EQ(window.acquisition().state(), AcquisitionState::Running);
    EXPECT_TRUE(window.Timeradq->isActive());
    EXPECT_TRUE(window.frm_autotext->isHidden());

    window.cmd_luz->click();  // while running only marked for the next time step
    EXPECT_TRUE(program.session->pendingSend);

    window.CmdStop->click();
    EXPECT_EQ(window.acquisition().state(), AcquisitionState::Stopped);
    EXPECT_FALSE(window.Timeradq->isActive());
    EXPECT_TRUE(window.CmdPlay->isEnabled());
    EXPECT_FALSE(window.CmdPause->isEnabled());
    EXPECT_TRUE(window.Cmb_organism->isEnabled());
    EXPECT_EQ(program.outputState() & 4, 0);
    EXPECT_EQ(window.cmd_luz->text(), "OFF");
}

TEST(MainWindow, RunArgumentStartsAnAutorunAcquisitionAndTheLapseEndOpensTheReport) {
    OnlineProgram program("/RUN", [](ProjectSetup& setup) {
        setup.RT_Buffer = 200;
        setup.Aq_lapse = 1;
    });
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;

    ASSERT_EQ(window.acquisition().state(), AcquisitionState::Running);
    EXPECT_EQ(window.acquisition().experimentName(), "Autorun project");
    EXPECT_TRUE(program.dialogs.shown.empty());  // no prompt
    ASSERT_TRUE(program.runUntil([&] { return window.acquisition().binsClosed() >= 1; }))
        << static_cast<int>(window.acquisition().state()) << " " << window.acquisition().totalSamples();

    program.host.advanceMinutes(2);
    ASSERT_TRUE(program.runUntil([&] { return window.acquisition().state() == AcquisitionState::Stopped; }));
    ASSERT_NE(window.reportWindow(), nullptr);
    ASSERT_TRUE(program.runUntil([&] { return window.reportWindow()->isVisible(); }));  // after the tick
    EXPECT_TRUE(program.dialogs.shown.empty());
    ASSERT_EQ(window.noticesWindow()->lst_notices->count(), 1);
    EXPECT_TRUE(window.noticesWindow()->lst_notices->item(0)->text().endsWith("  Acquisition finished"));
    EXPECT_EQ(window.reportWindow()->Cmb_binsize->currentText(), "30");
    EXPECT_EQ(window.reportWindow()->Txt_inputfile->text().toStdString(), window.acquisition().folder().string());
}

TEST(MainWindow, WriteErrorIsNoticedWhileTheTicksGoOnAndRecordTheirBins) {
    OnlineProgram program("", [](ProjectSetup& setup) {
        setup.RT_Buffer = 200;
        setup.Aq_lapse = 600;
    });
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    program.dialogs.inputs = {"Night run"};
    window.CmdPlay->click();
    ASSERT_TRUE(program.runUntil([&] { return window.acquisition().binsClosed() >= 1; }));
    program.dialogs.shown.clear();
    const auto folder = window.acquisition().folder();
    // The next bin's record cannot be appended while a folder stands in its way.
    std::filesystem::rename(folder / "counts.bin", folder / "kept.bin");
    std::filesystem::create_directory(folder / "counts.bin");
    const QListWidget& notices = *window.noticesWindow()->lst_notices;
    ASSERT_TRUE(program.runUntil([&] { return notices.count() > 0; }));
    EXPECT_TRUE(notices.item(0)->text().contains("Data writing ERROR")) << notices.item(0)->text().toStdString();

    // The operator is away: the disk is mended, nothing waits for a click.
    std::filesystem::remove(folder / "counts.bin");
    std::filesystem::rename(folder / "kept.bin", folder / "counts.bin");
    const int before = window.acquisition().binsRecorded();
    ASSERT_TRUE(program.runUntil([&] { return window.acquisition().binsRecorded() >= before + 2; }));
    EXPECT_TRUE(window.Timeradq->isActive());
    EXPECT_EQ(std::filesystem::file_size(folder / "counts.bin"), 3u * 774u);  // bin 2 lost, bins 3 and 4 kept
    EXPECT_EQ(notices.count(), 1);
    EXPECT_TRUE(program.dialogs.shown.empty());
}

TEST(MainWindow, InstrumentGoneMidRecordingShowsTheWaitInRedAndTellsTheOperatorOnce) {
    OnlineProgram program("", [](ProjectSetup& setup) {
        setup.RT_Buffer = 200;
        setup.Aq_lapse = 600;
    });
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    program.dialogs.inputs = {"Unplugged"};
    window.CmdPlay->click();
    ASSERT_TRUE(program.runUntil([&] { return window.acquisition().binsClosed() >= 1; }));
    program.dialogs.shown.clear();

    program.instrument.unplug();
    const QListWidget& notices = *window.noticesWindow()->lst_notices;
    ASSERT_TRUE(program.runUntil([&] { return notices.count() > 0; }));
    for (int i = 0; i < 50; ++i) QApplication::processEvents();
    EXPECT_EQ(window.acquisition().state(), AcquisitionState::Running);
    EXPECT_TRUE(window.acquisition().waitingForInstrument());
    EXPECT_TRUE(window.Timeradq->isActive());
    EXPECT_FALSE(window.lbl_waiting->isHidden());
    EXPECT_TRUE(window.lbl_waiting->text().startsWith("Waiting for the instrument since 14:5"));
    EXPECT_TRUE(window.Txt_time->styleSheet().contains("red"));
    EXPECT_EQ(window.lbl_mode->text().toStdString(), "INSTRUMENT LOST on COM4 - trying again every 5 s");
    EXPECT_TRUE(program.dialogs.shown.empty());
    ASSERT_EQ(notices.count(), 1);
    const std::string message = notices.item(0)->text().toStdString();
    EXPECT_NE(message.find("  The instrument stopped answering on COM4"), std::string::npos) << message;
    const auto folder = window.acquisition().folder();
    EXPECT_NE(message.find("The record saved so far is in " + folder.string() + "."), std::string::npos)
        << message;

    window.CmdStop->click();
    EXPECT_EQ(window.acquisition().state(), AcquisitionState::Stopped);
    // Stopped, but the instrument is still lost and still looked for.
    EXPECT_FALSE(window.lbl_waiting->isHidden());
    EXPECT_EQ(window.lbl_mode->text().toStdString(), "INSTRUMENT LOST on COM4 - trying again every 5 s");
    EXPECT_TRUE(window.Timeradq->isActive());
    EXPECT_TRUE(window.CmdPlay->isEnabled());
    EXPECT_EQ(std::filesystem::file_size(folder / "counts.bin"), 774u);
}

TEST(MainWindow, StopWhileWaitingShowsLostUntilTheInstrumentOfTheRunAnswersThenStartWorks) {
    OnlineProgram program("", [](ProjectSetup& setup) {
        setup.RT_Buffer = 200;
        setup.Aq_lapse = 600;
    });
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    ASSERT_TRUE(program.session->factoryRegisters.has_value());
    const FactoryRegisters ownRegisters = *program.session->factoryRegisters;
    program.dialogs.inputs = {"Lost"};
    window.CmdPlay->click();
    ASSERT_TRUE(program.runUntil([&] { return window.acquisition().binsClosed() >= 1; }));
    program.dialogs.shown.clear();
    program.instrument.unplug();
    // The loss is told in the notices window once the tick has returned.
    const QListWidget& notices = *window.noticesWindow()->lst_notices;
    ASSERT_TRUE(program.runUntil([&] { return notices.count() > 0; }));
    ASSERT_TRUE(window.acquisition().waitingForInstrument());
    window.CmdStop->click();
    program.dialogs.shown.clear();

    // Start and the output buttons refuse while the instrument is lost.
    window.CmdPlay->click();
    window.cmd_luz->click();
    EXPECT_EQ(window.acquisition().state(), AcquisitionState::Stopped);
    EXPECT_FALSE(program.session->outputs.light);
    ASSERT_EQ(program.dialogs.shown.size(), 2u);
    EXPECT_NE(program.dialogs.shown[0].find("Start is possible once it answers again"), std::string::npos)
        << program.dialogs.shown[0];
    EXPECT_NE(program.dialogs.shown[1].find("Switching an output is possible once it answers again"),
              std::string::npos)
        << program.dialogs.shown[1];
    program.dialogs.shown.clear();

    // What answers at the return shows other factory registers: it is not configured.
    FactoryRegisters other = ownRegisters;
    other[2] ^= 1;
    program.session->factoryRegisters = other;
    program.instrument.plugIn();
    program.host.elapsedMs += Acquisition::ReconnectIntervalMs;
    ASSERT_TRUE(program.runUntil([&] { return notices.count() > 1; }));
    const std::string told = notices.item(0)->text().toStdString();
    EXPECT_NE(told.find("  Another instrument answers on COM4"), std::string::npos) << told;
    EXPECT_TRUE(window.acquisition().waitingForInstrument());
    EXPECT_TRUE(window.lbl_mode->text().startsWith("INSTRUMENT LOST on COM4"));
    EXPECT_EQ(program.instrument.instrument.channelSetting(0), 3 * 32 + 2);  // power-on: nothing was sent

    // The instrument of the run answers: the mode line says so, and Start works without a restart.
    program.session->factoryRegisters = ownRegisters;
    program.host.elapsedMs += Acquisition::ReconnectIntervalMs;
    ASSERT_TRUE(program.runUntil([&] { return !window.acquisition().waitingForInstrument(); }));
    EXPECT_TRUE(window.lbl_mode->text().startsWith("ONLINE on COM4"));
    EXPECT_TRUE(window.lbl_waiting->isHidden());
    EXPECT_FALSE(window.Timeradq->isActive());
    program.host.advanceMinutes(1);  // a new acquisition folder
    program.dialogs.inputs = {"Again"};
    window.CmdPlay->click();
    EXPECT_EQ(window.acquisition().state(), AcquisitionState::Running);
    ASSERT_TRUE(program.runUntil([&] { return window.acquisition().binsClosed() >= 1; }));
    EXPECT_TRUE(window.acquisition().recording());
}

TEST(MainWindow, ClosingTheWindowDuringARunStopsItAndSwitchesTheOutputsOff) {
    OnlineProgram program("", [](ProjectSetup& setup) {
        setup.RT_Buffer = 200;
        setup.Mn[3] = {1, 300, 0, 0, 0, 0};  // the thermostat heats to 30.0 C
    });
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    program.dialogs.inputs = {"Closed"};
    window.CmdPlay->click();
    window.cmd_luz->click();
    ASSERT_TRUE(program.runUntil([&] { return window.acquisition().binsClosed() >= 1; }));
    ASSERT_EQ(program.outputState() & 6, 6);  // light on, heating
    const auto folder = window.acquisition().folder();

    window.close();

    EXPECT_EQ(window.acquisition().state(), AcquisitionState::Stopped);
    EXPECT_FALSE(program.session->comm.isOpen(4));
    for (int i = 0; i < 100 && program.instrument.instrument.outputState() != 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(program.instrument.instrument.outputState(), 0);
    EXPECT_NE(readFile(folder / "events.log").value_or("").find("Program exit (window closed): the acquisition is stopped"),
              std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(folder / "counts.bin") % 774, 0u);
}

TEST(MainWindow, SelectorsZoomAndWellListPickTheShownChannel) {
    OnlineProgram program;
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    const PlateFormat& plate = program.workspace.plate;

    window.combogrup->setCurrentIndex(1);
    emit window.combogrup->activated(1);
    ASSERT_GT(window.lstgrup->count(), 0);
    QListWidgetItem entry("B3.2");
    emit window.lstgrup->itemActivated(&entry);
    EXPECT_EQ(window.Combofila->currentText(), "B");
    EXPECT_EQ(window.Combocol->currentText(), "3");
    // z96f wells have two beams: beam 2 is clamped to beam 1.
    EXPECT_EQ(window.txtsub->text(), "1");
    EXPECT_EQ(window.selectedChannel(), plate.channelAt(17, 1));
    EXPECT_EQ(window.lblcanal->text().toInt(), plate.channelAt(17, 1));

    EXPECT_EQ(window.txtzoom->text(), "4");
    for (int i = 0; i < 5; ++i) window.Cmdzoom_minus->click();
    EXPECT_EQ(window.txtzoom->text(), "0");
    for (int i = 0; i < 12; ++i) window.Cmdzoom_plus->click();
    EXPECT_EQ(window.txtzoom->text(), "10");
    EXPECT_EQ(window.zoom(), 10);

    window.CheckRT->click();
    EXPECT_TRUE(window.Framereal->isHidden());
}

TEST(MainWindow, FastZeroAndFastCalibDuringAMonitorRunSetThresholdsAndBeams) {
    OnlineProgram program("", [](ProjectSetup& setup) { setup.RT_Buffer = 200; });
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    window.mncal_on->trigger();
    window.mnZero->trigger();
    window.mnCalibra->trigger();
    ASSERT_FALSE(window.Cmd_autozero->isHidden());
    ASSERT_FALSE(window.cmd_calibra->isHidden());

    // Stopped, Fast ZERO ends after its first sample set and changes nothing.
    const ChannelTable before = program.workspace.channels;
    window.Cmd_autozero->click();
    EXPECT_EQ(program.workspace.channels.Threshold, before.Threshold);

    program.dialogs.inputs = {""};  // OK on an empty name box

    program.dialogs.answers = {Answer::Ok};  // an empty name: a monitor run
    window.CmdPlay->click();
    ASSERT_EQ(window.acquisition().state(), AcquisitionState::Running);
    EXPECT_FALSE(window.acquisition().recording());

    window.Cmd_autozero->click();
    EXPECT_NE(program.workspace.channels.Threshold, before.Threshold);
    EXPECT_TRUE(window.frm_autotext->isHidden());

    window.cmd_calibra->click();
    const int channel = program.workspace.plate.channelAt(0, 0);
    EXPECT_GT(program.instrument.instrument.channelSetting(channel), 0);
    EXPECT_TRUE(fileExists(program.folder / "calvalue.dat"));
    window.CmdStop->click();
}
