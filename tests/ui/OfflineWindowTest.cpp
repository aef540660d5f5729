#include <QStatusBar>

#include "OfflineWindow.h"
#include "common/Files.h"
#include "views/PageBuffer.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {

const QColor WellBarGrey(190, 190, 190);
const QColor GroupBarGrey(128, 128, 128);

}  // namespace

TEST(OfflineWindow, ListsTheProjectFoldersOfTheProgramFolder) {
    OfflineWindow offline;
    std::filesystem::create_directories(offline.folder / "p00003");
    Frm_offline& window = offline.open();

    EXPECT_EQ(window.windowTitle(), "<Zorvex> Acquisition Software  --------> Offline");
    EXPECT_EQ(offline.items(window.Listpj), (std::vector<std::string>{"p00001", "p00003"}));
    EXPECT_EQ(window.browseLevel(), 0);
    EXPECT_EQ(window.cmb_modeanalisis->currentText(), "Mode:0");
    EXPECT_EQ(window.frmtxt_threshold->text(), "1.8");
    EXPECT_EQ(window.Txtpage->text(), "1/1");
    EXPECT_FALSE(window.cmdchannels->isEnabled());
}

TEST(OfflineWindow, SelectingAProjectShowsItsSummaryAfterRepairingItsSetup) {
    OfflineWindow offline;
    std::filesystem::create_directories(offline.folder / "p00004");
    std::filesystem::create_directories(offline.folder / "p00003");
    ProjectSetup larvae = defaultSetup(offline.folder.path(), 3);
    larvae.Name = "Larvae";
    writeSetupFile(larvae, 3, offline.folder / "p00003" / "setup.bak");
    writeFile(offline.folder / "p00003" / "setup.dat", "\"Project Setup\"\r\n\"3\"\r\n\"cut\"\r\n");
    Frm_offline& window = offline.open();

    offline.select(window.Listpj, "p00001");
    EXPECT_EQ(window.Txt_reporte->toPlainText(), "<Project> p00001: Demo");
    offline.select(window.Listpj, "p00004");
    EXPECT_EQ(window.Txt_reporte->toPlainText(), "<Project> p00004: ");
    offline.select(window.Listpj, "p00003");
    EXPECT_EQ(window.Txt_reporte->toPlainText(), "<Project> p00003: Larvae");
    EXPECT_EQ(offline.dialogs.shown, std::vector<std::string>{"Error reading Setup.dat -> recovered from Setup.bak"});
    EXPECT_EQ(countLines(offline.folder / "p00003" / "setup.dat"), 20);
}

TEST(OfflineWindow, OpeningAProjectListsItsAcquisitionsWithCountsOnly) {
    OfflineWindow offline;
    offline.acquisition("01022023_1015");
    std::filesystem::create_directories(offline.project() / "02022023_0900");
    writeExperimentInfo(offline.project() / "01022023_1015", {"Run A", ""});
    Frm_offline& window = offline.open();

    pressEnter(window.Listpj);  // nothing selected yet: nothing happens
    EXPECT_EQ(window.browseLevel(), 0);
    offline.select(window.Listpj, "p00001");
    pressEnter(window.Listpj);

    EXPECT_EQ(window.browseLevel(), 1);
    EXPECT_EQ(offline.items(window.Listpj), std::vector<std::string>{"01022023_1015"});
    EXPECT_EQ(window.config().setup.Name, "Demo");
    EXPECT_EQ(window.Combofila->count(), 8);
    EXPECT_EQ(window.Combocol->count(), 12);
    offline.select(window.Listpj, "01022023_1015");
    EXPECT_EQ(window.Txt_reporte->toPlainText(), "<Project> p00001: Demo\n<Subproject> 01022023_1015: Run A");

    window.cmdback->click();
    EXPECT_EQ(window.browseLevel(), 0);
    EXPECT_EQ(offline.items(window.Listpj), std::vector<std::string>{"p00001"});
}

TEST(OfflineWindow, EventsButtonShowsTheChosenAcquisitionsEventsLog) {
    OfflineWindow offline;
    offline.acquisition("01022023_1015");
    offline.acquisition("02022023_0900");
    const std::string events = "2023-02-01 10:15:00  Start of \"Run A\"\r\n2023-02-01 11:02:10  Instrument lost on COM4\r\n";
    writeFile(offline.project() / "01022023_1015" / "events.log", events);
    Frm_offline& window = offline.open();
    offline.select(window.Listpj, "p00001");
    pressEnter(window.Listpj);

    offline.select(window.Listpj, "02022023_0900");  // recorded before there were events.log files
    EXPECT_FALSE(window.Cmd_events->isEnabled());
    offline.select(window.Listpj, "01022023_1015");
    ASSERT_TRUE(window.Cmd_events->isEnabled());
    window.Cmd_events->click();
    auto* view = window.findChild<RunEvents*>("Frm_events");
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(view->txt_events->toPlainText(),
              "2023-02-01 10:15:00  Start of \"Run A\"\n2023-02-01 11:02:10  Instrument lost on COM4\n");
    view->hide();
}

TEST(OfflineWindow, AnEventsLogOfAnySizeShowsItsLatestPart) {
    OfflineWindow offline;
    offline.acquisition("01022023_1015");
    // 20 MB of a failure repeated every tick, then the end of the run.
    const std::string repeated = "2023-02-01 10:15:00  A tick failed: the same thing again and again\r\n";
    std::string events;
    while (events.size() < 20u * 1024 * 1024) events += repeated;
    events += "2023-02-03 09:00:00  Stop: 11 records closed, 11 saved\r\n";
    writeFile(offline.project() / "01022023_1015" / "events.log", events);
    Frm_offline& window = offline.open();
    offline.select(window.Listpj, "p00001");
    pressEnter(window.Listpj);
    offline.select(window.Listpj, "01022023_1015");
    window.Cmd_events->click();
    auto* view = window.findChild<RunEvents*>("Frm_events");
    ASSERT_NE(view, nullptr);
    const std::string shown = view->txt_events->toPlainText().toStdString();
    EXPECT_EQ(shown.rfind("(The first 18.", 0), 0u) << shown.substr(0, 200);
    EXPECT_NE(shown.find(" MB of this events.log are not shown here; open the file to read them.)\n2023-02-01 10:15:00  A tick"),
              std::string::npos);
    EXPECT_EQ(shown.substr(shown.size() - 55), "2023-02-03 09:00:00  Stop: 11 records closed, 11 saved\n");
    view->hide();
}

TEST(OfflineWindow, OpeningAnAcquisitionOfTwoFilesShowsPageOneOfOne) {
    OfflineWindow offline;
    auto acquisition = offline.acquisition("01022023_1015");
    writeMarkedFiles(acquisition.folder(), 2, 2);
    offline.openAcquisition("01022023_1015");
    Frm_offline& window = *offline.window;

    EXPECT_EQ(window.Txtpage->text(), "1/1");
    EXPECT_EQ(window.scrollpage->value(), 1);
    EXPECT_EQ(window.realTimeFiles(), 2);
    EXPECT_EQ(window.pageBuffer().samples(9, 11)[4], markedSample(1, 0, 9, 4));
    EXPECT_TRUE(window.cmdchannels->isEnabled());
    EXPECT_TRUE(window.Cmd_report->isEnabled());
    EXPECT_EQ(window.lblcanal->text(), "0");  // well A1, beam 0
    EXPECT_EQ(offline.items(window.lstgrup), (std::vector<std::string>{"A1", "B1"}));
    const QString info = window.Txt_reporte->toPlainText();
    EXPECT_TRUE(info.endsWith("\n" + QString(64, '.') + "\n[z96f]   [Acq.Lapse=10min]\n[Groups: \n<001_Control> <999_Free> ]"))
        << info.toStdString();
}

TEST(OfflineWindow, PageTwoComesFromFilesFiveToNineInTheChannelView) {
    OfflineWindow offline;
    auto acquisition = offline.acquisition("01022023_1015");
    writeMarkedFiles(acquisition.folder(), 10, 1);
    std::filesystem::remove(realTimeFilePath(acquisition.folder(), 7));  // 9 files: still two pages
    offline.openAcquisition("01022023_1015");
    Frm_offline& window = *offline.window;
    EXPECT_EQ(window.pageBuffer().samples(0, 44)[1], markedSample(4, 0, 0, 1));

    window.cmdchannels->click();
    EXPECT_EQ(window.cmdchannels->text(), "[Channel Signal]");
    EXPECT_EQ(window.Cmd_leegroups->text(), "Group Activity");
    window.scrollpage->setValue(2);

    EXPECT_EQ(window.currentPage(), 2);
    EXPECT_EQ(window.Txtpage->text(), "2/2");
    EXPECT_EQ(window.pageBuffer().samples(0, 0)[1], markedSample(5, 0, 0, 1));
    EXPECT_EQ(window.pageBuffer().samples(0, 44)[1], markedSample(9, 0, 0, 1));
    // File 7 is missing: its slots keep file 2's samples from page 1.
    EXPECT_EQ(window.pageBuffer().samples(0, 22)[1], markedSample(2, 0, 0, 1));
}

TEST(OfflineWindow, ScrollBarDoesNotPageTheGroupView) {
    OfflineWindow offline;
    auto acquisition = offline.acquisition("01022023_1015");
    writeMarkedFiles(acquisition.folder(), 10, 1);
    offline.openAcquisition("01022023_1015");
    Frm_offline& window = *offline.window;
    window.Cmd_leegroups->click();

    window.scrollpage->setValue(2);

    EXPECT_EQ(window.scrollpage->value(), 1);
    EXPECT_EQ(window.currentPage(), 1);
    EXPECT_EQ(window.Txtpage->text(), "1/2");
    EXPECT_EQ(window.pageBuffer().samples(0, 0)[1], markedSample(0, 0, 0, 1));
}

TEST(OfflineWindow, GroupActivityDrawsTheWellAndGroupBars) {
    OfflineWindow offline;
    offline.acquisition("01022023_1015", "z96f", 90);
    offline.openAcquisition("01022023_1015");
    Frm_offline& window = *offline.window;

    window.Cmd_leegroups->click();
    EXPECT_EQ(window.viewMode(), Frm_offline::ViewMode::GroupActivity);
    EXPECT_EQ(window.Cmd_leegroups->text(), "[Group Activity]");
    EXPECT_GT(offline.pixelsOf(WellBarGrey), 1000);
    EXPECT_GT(offline.pixelsOf(GroupBarGrey), 1000);

    std::filesystem::remove(offline.project() / "01022023_1015" / "counts.bin");
    window.Cmd_leegroups->click();
    EXPECT_EQ(offline.dialogs.shown, std::vector<std::string>{"Activity file not Found"});
}

TEST(OfflineWindow, TheMarkedGroupViewAlwaysShowsTheChosenAcquisition) {
    OfflineWindow offline;
    offline.acquisition("01022023_1015", "z96f", 90);
    offline.acquisition("02022023_0900", "z96f", 20);
    offline.openAcquisition("01022023_1015");  // a first open, no click on the view
    Frm_offline& window = *offline.window;
    EXPECT_EQ(window.Cmd_leegroups->text(), "[Group Activity]");
    EXPECT_GT(offline.pixelsOf(GroupBarGrey), 1000);
    const QImage first = window.Picreal->image();

    window.cmdback->click();
    EXPECT_EQ(offline.pixelsOf(GroupBarGrey), 0);
    offline.openAcquisition("02022023_0900");
    EXPECT_GT(offline.pixelsOf(GroupBarGrey), 0);
    EXPECT_NE(window.Picreal->image(), first);
    window.Cmd_leegroups->click();  // pressing it again changes nothing
    const QImage second = window.Picreal->image();
    offline.openAcquisition("02022023_0900");
    EXPECT_EQ(window.Picreal->image(), second);
    EXPECT_TRUE(offline.dialogs.shown.empty());
}

TEST(OfflineWindow, TheFirstNoticeOnTheStatusLineMovesNothing) {
    OfflineWindow offline;
    Frm_offline& window = offline.open();
    window.show();
    QApplication::processEvents();
    const QRect plot = window.Picreal->geometry();
    const QRect list = window.Listpj->geometry();

    window.statusBar()->showMessage("Exported: somewhere");
    QApplication::processEvents();

    EXPECT_EQ(window.Picreal->geometry(), plot);
    EXPECT_EQ(window.Listpj->geometry(), list);
}

TEST(OfflineWindow, ChoosingAWellFromTheGroupListSelectsItsBeamZeroChannel) {
    OfflineWindow offline;
    offline.acquisition("01022023_1015");
    offline.openAcquisition("01022023_1015");
    Frm_offline& window = *offline.window;
    window.txtsub->setText("1");
    emit window.txtsub->editingFinished();
    EXPECT_EQ(window.lblcanal->text(), "16");  // A1 beam 1

    offline.doubleClick(window.lstgrup, "B1");
    EXPECT_EQ(window.txtsub->text(), "0");
    EXPECT_EQ(window.Combofila->currentText(), "B");
    EXPECT_EQ(window.Combocol->currentText(), "1");
    EXPECT_EQ(window.selectedChannel(), 2);
    EXPECT_GT(offline.pixelsOf(GroupBarGrey), 0);  // the group view was redrawn

    window.combogrup->setCurrentText("999_Free");
    EXPECT_EQ(window.lstgrup->count(), 94);
    EXPECT_EQ(window.lstgrup->item(0)->text(), "C1");
}

TEST(OfflineWindow, ChannelSignalDrawsFourBeamsInTheirColours) {
    OfflineWindow offline;
    auto acquisition = offline.acquisition("01022023_1015", "z96flat");
    for (int bin = 0; bin < 11; ++bin) appendRealTimeDump(acquisition.folder(), 0, generatedFrame(bin, 500));
    offline.openAcquisition("01022023_1015");
    Frm_offline& window = *offline.window;

    window.cmdchannels->click();

    for (QColor colour : {QColor(255, 0, 0), QColor(0, 0, 255), QColor(0, 255, 0), QColor(200, 128, 0)}) {
        EXPECT_GT(offline.pixelsOf(colour), 100) << colour.name().toStdString();
    }
    EXPECT_GT(offline.pixelsOf(QColor(200, 200, 200)), 100);  // block starts
}

TEST(OfflineWindow, SixBeamWellsAreDrawnOnTheGreenToRedRamp) {
    OfflineWindow offline;
    std::vector<std::pair<int, int>> wells;
    for (int c = 0; c < 12; ++c) wells.emplace_back(c / 6, c % 6);
    writePlateFile(offline.folder.path(), "zsix", 1, 2, wells);
    auto acquisition = offline.acquisition("01022023_1015", "zsix");
    appendRealTimeDump(acquisition.folder(), 0, generatedFrame(0, 500));
    offline.openAcquisition("01022023_1015");

    offline.window->cmdchannels->click();

    for (QColor colour : {QColor(0, 255, 0), QColor(102, 153, 0), QColor(255, 0, 0)}) {
        EXPECT_GT(offline.pixelsOf(colour), 10) << colour.name().toStdString();
    }
    EXPECT_EQ(offline.pixelsOf(QColor(0, 0, 255)), 0);
}

TEST(OfflineWindow, AnalyzeFixesTheSnrFactorAndDrawsThresholdsOverTheSignal) {
    OfflineWindow offline;
    auto acquisition = offline.acquisition("01022023_1015");
    for (int bin = 0; bin < 11; ++bin) appendRealTimeDump(acquisition.folder(), 0, generatedFrame(bin, 500));
    offline.openAcquisition("01022023_1015");
    Frm_offline& window = *offline.window;
    window.Cmd_leegroups->click();
    window.frmtxt_threshold->setText("9");

    window.Cmd_analyze->click();

    EXPECT_EQ(window.frmtxt_threshold->text(), "1.8");
    EXPECT_EQ(window.viewMode(), Frm_offline::ViewMode::ChannelSignal);
    EXPECT_EQ(window.cmdchannels->text(), "[Channel Signal]");
    EXPECT_GT(offline.pixelsOf(QColor(128, 128, 128)), 100);  // thresholds
    EXPECT_GT(offline.pixelsOf(QColor(255, 0, 0)), 100);      // beam 0 signal and swatch
}

TEST(OfflineWindow, AsciiExportWritesOnlyFromTheChannelView) {
    OfflineWindow offline;
    auto acquisition = offline.acquisition("01022023_1015", "z96u");
    writeMarkedFiles(acquisition.folder(), 1, 1);
    offline.openAcquisition("01022023_1015");
    Frm_offline& window = *offline.window;
    const std::filesystem::path exported = offline.folder / "datafile.txt";

    window.Cmd_leegroups->click();
    window.asciiexporta->trigger();
    EXPECT_FALSE(fileExists(exported));
    EXPECT_TRUE(offline.host.opened.empty());

    window.cmdchannels->click();
    window.asciiexporta->trigger();
    ASSERT_EQ(offline.host.opened, std::vector<std::filesystem::path>{exported});
    EXPECT_EQ(window.statusBar()->currentMessage().toStdString(), "Exported: " + exported.string());
    std::string text = readFile(exported).value_or("");
    EXPECT_EQ(text.substr(0, text.find("\r\n", text.find("Well:")) + 2),
              "\"Demo\"\r\n\"" + acquisition.folder().string() + "\"\r\n\r\nWell: A1 Page[1/1] [#0k-0.5k]\r\n");
    EXPECT_NE(text.find("\r\n\r\nA1.0 \r\n" + std::to_string(markedSample(0, 0, 0, 0)) + " \r\n"), std::string::npos);

    offline.doubleClick(window.lstgrup, "B1");
    window.asciiexporta->trigger();
    EXPECT_NE(readFile(exported).value_or("").find("\r\nB1.0 \r\n"), std::string::npos);  // overwritten
}

TEST(OfflineWindow, BmpExportSavesThePictureAndOpensIt) {
    OfflineWindow offline;
    offline.acquisition("01022023_1015");
    offline.openAcquisition("01022023_1015");
    Frm_offline& window = *offline.window;
    window.Cmd_leegroups->click();

    window.bmpexporta->trigger();

    const std::filesystem::path image = offline.folder / "image1.bmp";
    ASSERT_EQ(offline.host.opened, std::vector<std::filesystem::path>{image});
    QImage saved(QString::fromStdString(image.string()));
    EXPECT_EQ(saved.size(), window.Picreal->image().size());
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), window.Picreal->image());
}

TEST(OfflineWindow, JoinNeedsTheAcquisitionListAndMergesTheSelection) {
    OfflineWindow offline;
    offline.acquisition("05032024_1000", "z96f", 60);
    offline.acquisition("05032024_1200", "z96f", 60);
    Frm_offline& window = offline.open();

    window.Cmd_join->click();
    EXPECT_EQ(offline.dialogs.shown, std::vector<std::string>{"Wrong Selection!\r\nSelect more than one acquisition folder"});

    offline.doubleClick(window.Listpj, "p00001");
    // One acquisition is refused before the question, which would lead nowhere.
    offline.select(window.Listpj, "05032024_1000");
    offline.dialogs.shown.clear();
    window.Cmd_join->click();
    EXPECT_EQ(offline.dialogs.shown, std::vector<std::string>{"Wrong Selection!\r\nSelect more than one acquisition folder"});

    window.Listpj->item(1)->setSelected(true);
    window.Listpj->item(0)->setSelected(true);
    window.Cmd_join->click();

    EXPECT_EQ(offline.dialogs.shown.back(), "Would you like to Join:\r\n05032024_1000\r\n05032024_1200\r\n ?");
    const std::filesystem::path target = offline.project() / timeStamp(offline.host.now());
    std::vector<ActivityRecord> joined = readActivityRecords(target);
    EXPECT_EQ(window.statusBar()->currentMessage().toStdString(), "Joined into: " + target.string());
    ASSERT_EQ(joined.size(), 120u);
    EXPECT_EQ(joined[60].elapsedMinutes, 121);
    EXPECT_EQ(offline.items(window.Listpj).size(), 2u);  // the list is not refreshed
}

TEST(OfflineWindow, MainAndCloseReleaseThePagesAndGoBack) {
    OfflineWindow offline;
    auto acquisition = offline.acquisition("01022023_1015");
    writeMarkedFiles(acquisition.folder(), 1, 1);
    offline.openAcquisition("01022023_1015");
    Frm_offline& window = *offline.window;
    int mainRequests = 0;
    QObject::connect(&window, &Frm_offline::mainRequested, [&] { ++mainRequests; });

    window.Command21->click();
    EXPECT_EQ(mainRequests, 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.pageBuffer().allocated());

    window.show();
    window.cmdchannels->click();  // the page comes back when it is drawn again
    EXPECT_EQ(window.pageBuffer().samples(3, 0)[2], markedSample(0, 0, 3, 2));

    window.close();
    EXPECT_EQ(mainRequests, 2);
    EXPECT_FALSE(window.pageBuffer().allocated());
    EXPECT_FALSE(window.cmdchannels->isEnabled());
    EXPECT_EQ(window.cmdchannels->text(), "Channel Signal");
}

TEST(OfflineWindow, ReportButtonAsksForTheOpenedAcquisition) {
    OfflineWindow offline;
    auto acquisition = offline.acquisition("01022023_1015");
    offline.acquisition("02022023_1015");
    offline.openAcquisition("01022023_1015");
    Frm_offline& window = *offline.window;
    offline.select(window.Listpj, "02022023_1015");  // selected, not opened
    QString asked;
    QObject::connect(&window, &Frm_offline::reportRequested, [&](const QString& folder) { asked = folder; });

    window.mnadvanced->trigger();
    EXPECT_EQ(asked.toStdString(), acquisition.folder().string());
}
