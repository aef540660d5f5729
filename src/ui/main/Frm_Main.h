#pragma once
// The main window: the operator's place during acquisitions. It owns the
// start-up sequence (splash, configuration, project, instrument search), the
// acquisition's timer and controls, the light, temperature and zero panels,
// the live view, and switches to the setup editor and the offline review.
// Construction and start-up live in Frm_Main.cpp, the widgets in
// MainWidgets.cpp, the panels in InstrumentPanels.cpp, the acquisition side
// in MainAcquisition.cpp, Read Blank, the device test, the factory window
// and help in MainTools.cpp, and the drawing in LiveView.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "acquisition/AcquisitionOptions.h"
#include "acquisition/AcquisitionOwner.h"
#include "ui/main/SetupPanel.h"
#include "control/InstrumentSession.h"
#include "device/PortSearch.h"
#include "platform/Dialogs.h"
#include "platform/EventLog.h"
#include "platform/LoggedDialogs.h"
#include "platform/Host.h"
#include "store/Workspace.h"
#include "ui/common/PlotSurface.h"

namespace zorvex {

class Acquisition;
class BeamSetup;
class DeviceTest;
class DeviceTestView;
class Frm_Factory;
struct SnrBox;
struct StartRequest;
class Frm_Init;
class Frm_offline;
class Frm_Report;
class Frm_setup;
class LiveView;
class RunWatch;
class NoticesWindow;

class Frm_Main : public QMainWindow, private AcquisitionOwner {
    Q_OBJECT
public:
    Frm_Main(Workspace& workspace, InstrumentSession& session, Dialogs& dialogs, Host& host, std::string commandLine);
    ~Frm_Main() override;

    /// The start-up sequence up to the splash; false when the program must
    /// end. The port search, the factory read and the first window follow
    /// from the event loop: startUpDone() tells when all of it is over.
    bool startUp();
    /// True once the start-up has decided online or offline and shown its window.
    bool startUpDone() const { return startedUp_; }
    /// True while the start-up still searches for the instrument.
    bool searchingInstrument() const { return searching_; }
    /// True once shutDown() ran (a signal may come during the start-up).
    bool leaving() const { return leaving_; }

    OperatingMode operatingMode() const { return session_.mode; }
    bool autorunRequested() const { return autorun_; }
    Frm_offline* offlineWindow() const { return offline_.get(); }
    Frm_setup* setupWindow() const { return setup_.get(); }
    Frm_Init* splashWindow() const { return splash_.get(); }
    /// The report window; Frm_Report::openOn opens it on an acquisition folder.
    Frm_Report* reportWindow() const { return report_.get(); }
    /// The run's messages, newest first; shown by the first one.
    NoticesWindow* noticesWindow() const { return notices_; }
    /// The factory settings window ("Factory Settings").
    Frm_Factory* factoryWindow() const { return factory_.get(); }
    /// The device test "Test DEVICE" drives.
    const DeviceTest& deviceTest() const { return *deviceTest_; }
    /// The status page and notify command watching the runs.
    RunWatch& runWatch() const { return *watch_; }
    /// The acquisition the window drives.
    const Acquisition& acquisition() const { return *acquisition_; }
    /// The switches start-up derived from the project (auto-calibration, zero, SNR).
    const AcquisitionOptions& options() const { return options_; }
    /// The program ends for `reason` (window closed, a signal): a running
    /// acquisition stops as by Stop, the outputs go to 0 and the port closes.
    void shutDown(const std::string& reason);
    /// The channel the live view shows.
    int selectedChannel() const;
    /// The live view's zoom level.
    int zoom() const;

    // Project and time.
    QLineEdit* txt_projecto;
    QPlainTextEdit* Txt_description;
    QLineEdit* Txt_time;
    QComboBox* combo_minutes;
    PlotSurface* picturetime;

    // Acquisition and window buttons.
    QPushButton* CmdPlay;
    QPushButton* CmdPause;
    QPushButton* CmdStop;
    QPushButton* CmdSetup;
    QPushButton* CmdOffline;
    QPushButton* Cmdreport;
    QLabel* lbl_mode;  ///< status line: online on which port and device, or offline

    // Calibration panel.
    QGroupBox* frm_mn1;
    QPushButton* cmd_calibra;
    QPushButton* Cmd_autozero;
    QPushButton* Cmd_readblank;
    QComboBox* Cmb_organism;
    QLabel* lbl_umbral;
    QLineEdit* txt_snr_umbral;

    // Light panel.
    QGroupBox* frm_mn2;
    QPushButton* cmd_luz;
    QLabel* shape_light;
    QCheckBox* Chk_lenabled;
    QLineEdit* txt_lon;
    QLineEdit* txt_loff;
    QPushButton* cmd_cyclepulse;
    QGroupBox* frm_pulse;
    QLineEdit* txt_pulsetimes;
    QLineEdit* txt_pulseon;
    QLineEdit* txt_pulseoff;

    // Temperature panel.
    QGroupBox* frm_mn3;
    QPushButton* cmd_frio;
    QPushButton* cmd_ontemp;
    QLabel* shape_temp;
    QCheckBox* Chk_tenabled;
    QLineEdit* txttemp;
    QPushButton* Cmd_settemp;

    // Status panel of calibration, zero and pause.
    QGroupBox* frm_autotext;
    QLabel* lbl_autotext;
    QLabel* lbl_autochannel;
    PlotSurface* picturecal;
    QLabel* lblcalibrando;
    QLabel* lbl_autostart;
    QLabel* lbl_waiting;  ///< red while the instrument is lost

    // Live view.
    QCheckBox* CheckRT;
    QLabel* lbl_monitor;  ///< shown for the whole of a run that records nothing
    QGroupBox* Framereal;
    PlotSurface* Picreal;
    PlotSurface* Picact;
    QComboBox* Combofila;
    QComboBox* Combocol;
    QLineEdit* txtsub;
    QComboBox* combogrup;
    QListWidget* lstgrup;
    QLabel* lblcanal;
    QPushButton* Cmdzoom_plus;
    QPushButton* Cmdzoom_minus;
    QLineEdit* txtzoom;

    // Timers.
    QTimer* Timeradq;
    QTimer* Timer_test;

    // Menus.
    QAction* mnexit;
    QAction* mncontent;
    QAction* mnabout;
    QAction* mncal_off;
    QAction* mncal_on;
    QAction* mnCalibra;
    QAction* mnZero;
    QAction* mnstatustest;
    QAction* mn_factory;
    QAction* mnstatuspage;  ///< Settings > "Status page and notify..."
    std::vector<QAction*> mncom1;  ///< "COM1".."COM15"; index 0 is COM1

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Frm_Main.cpp: start-up and window switching.
    void runStartUpSteps();
    void searchInstrument();
    void onSplashDone();
    /// The search's progress on the splash while it shows and on the mode line.
    void showSearchNews(const std::string& text);
    /// Shows why a command that needs the instrument waits; true while searching.
    bool refuseWhileSearching();
    void showProjectName();
    void showPortMenuAfterSearch();
    void showPortMenuChecks(const PortMenuChecks& checks);
    void showOperatingMode();
    void onSerialPortItem(int port);
    void showOffline();
    void showSetup();
    void showMainAgain();

    // MainWidgets.cpp: the widgets and menus.
    void buildWidgets();
    QWidget* buildCalibrationPanel(QWidget* parent);
    QWidget* buildLightPanel(QWidget* parent);
    QWidget* buildTemperaturePanel(QWidget* parent);
    QWidget* buildStatusPanel(QWidget* parent);
    QWidget* buildLiveArea(QWidget* parent);
    void buildMenus();

    // InstrumentPanels.cpp: panels filled from the project and their events.
    void fillPanelsFromProject();
    void showToolPanels();
    void fillInstrumentPanels();
    void toggleSnrBox();
    void connectPanels();
    void showSnrBox(const SnrBox& box);
    void onOrganismChosen(int index);
    void onSnrLeft();
    void onLightHourLeft(QLineEdit* box, int param, std::int16_t fallbackHour);
    void onPulseCountLeft();
    void onPulseMinutesLeft(QLineEdit* box, int param);
    void onSetTemperatureLeft();
    void onOutputsChanged();
    void setAutoCalibration(bool on);
    void setAutoZero(bool on);
    void setManualCalibration(bool on);

    // MainAcquisition.cpp: the acquisition, its controls and the live selectors.
    void connectAcquisition();
    void onPlay();
    void startAcquisition(const StartRequest& request);
    void onReport();
    /// The Pause button's caption and the mode line say whether the run is paused.
    void showPauseState();
    void onFastCalibration();
    void onFastZero();
    void fillSelectors();
    void fillWellList(int group);
    void onRowOrColumn(bool rowChanged, bool redraw = true);
    void onWellEntry(QListWidgetItem* item);
    void showChannel(int channel, bool redraw);

    // MainTools.cpp: Read Blank, the device test, the factory window and help.
    void connectTools();
    void onDeviceTest();
    void onDeviceTestTick();
    void onFactorySettings();

    void setTimer(bool enabled, int intervalMs) override;
    void redraw(LiveRedraw what) override;
    void showElapsed(const std::string& text, double percent) override;
    void showOutputs(const InstrumentState& state) override;
    void showPanel(const std::string& banner, const std::string& detail) override;
    void hidePanel() override;
    void lockControls(bool running) override;
    void openSetupEditor() override;
    void openReport(const std::filesystem::path& folder) override;
    void stopDeviceTest() override;
    void blankReadingStarted(const std::string& text) override;
    void blankReadingNews(const std::string& text) override;
    void blankReadingEnded() override;
    void tell(const std::string& message) override;
    void showInstrumentWait(const std::string& status) override;
    void notify(RunEvent event, const std::string& message) override;
    void binClosed(const BinSummary& summary) override;
    void instrumentAnswers() override;

    // MainRunSafety.cpp: messages from the cycle, the lost instrument, Read Blank's question.
    void buildWaitingLabel();
    void onReadBlank();

    Workspace& workspace_;
    InstrumentSession& session_;
    Host& host_;
    EventLog log_;
    LoggedDialogs loggedDialogs_;  ///< every other message also goes to the log
    Dialogs& dialogs_;
    std::string commandLine_;
    bool autorun_ = false;
    int startupStep_ = 0;
    bool filling_ = false;  ///< selectors are being filled: their events change nothing
    bool leaving_ = false;  ///< shutDown() ran: the program is ending
    bool searching_ = false;  ///< the start-up's port search or factory read is running
    bool startedUp_ = false;  ///< the start-up's search has ended and its window shows
    QElapsedTimer launchClock_;  ///< from the start-up, for the times in zorvex.log
    AcquisitionOptions options_;
    SetupPanel setupPanel_;
    std::unique_ptr<BeamSetup> beams_;
    std::unique_ptr<Acquisition> acquisition_;
    std::unique_ptr<LiveView> live_;
    std::unique_ptr<Frm_Init> splash_;
    std::unique_ptr<Frm_Report> report_;
    std::unique_ptr<Frm_offline> offline_;
    std::unique_ptr<Frm_setup> setup_;
    std::unique_ptr<DeviceTestView> deviceView_;
    std::unique_ptr<DeviceTest> deviceTest_;
    std::unique_ptr<Frm_Factory> factory_;
    std::unique_ptr<RunWatch> watch_;  ///< the status page and the notify command
    QByteArray geometryBeforeFactory_;  ///< where the window was when Factory Settings hid it
    NoticesWindow* notices_ = nullptr;  ///< a child of this window
};

}  // namespace zorvex
