#include "ui/main/Frm_Main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>
#include <algorithm>
#include <stdexcept>

#include "acquisition/Acquisition.h"
#include "acquisition/BeamSetup.h"
#include "acquisition/Startup.h"
#include "common/Files.h"
#include "control/DeviceTest.h"
#include "status/RunWatch.h"
#include "ui/common/WindowSize.h"
#include "ui/factory/Frm_Factory.h"
#include "ui/main/DeviceTestView.h"
#include "ui/main/LiveView.h"
#include "ui/main/NoticesWindow.h"
#include "ui/offline/Frm_offline.h"
#include "ui/report/Frm_Report.h"
#include "ui/setup/Frm_setup.h"
#include "ui/splash/Frm_Init.h"

namespace zorvex {

namespace {
constexpr int SplashIntervalMs = 1000;
}  // namespace

Frm_Main::Frm_Main(Workspace& workspace, InstrumentSession& session, Dialogs& dialogs, Host& host,
                   std::string commandLine)
    : workspace_(workspace),
      session_(session),
      host_(host),
      log_(host),
      loggedDialogs_(dialogs, log_),
      dialogs_(loggedDialogs_),
      commandLine_(std::move(commandLine)),
      beams_(std::make_unique<BeamSetup>(workspace, session, options_, dialogs_, host, setupPanel_)),
      acquisition_(std::make_unique<Acquisition>(workspace, session, options_, dialogs_, host,
                                                 static_cast<AcquisitionOwner&>(*this), log_, *beams_)),
      splash_(std::make_unique<Frm_Init>()),
      report_(std::make_unique<Frm_Report>(workspace.programFolder, dialogs_, host)),
      offline_(std::make_unique<Frm_offline>(workspace.programFolder, dialogs_, host)),
      setup_(std::make_unique<Frm_setup>(workspace, dialogs_)) {
    setObjectName("Frm_Main");
    setWindowTitle("Zorvex");
    resize(LargeWindowSize);
    buildWidgets();
    buildWaitingLabel();
    notices_ = new NoticesWindow(this);
    buildMenus();
    setupPanel_.attach(frm_autotext, lbl_autotext, lbl_autochannel, picturecal);
    live_ = std::make_unique<LiveView>(workspace_, session_, *acquisition_, Picreal, Picact);
    watch_ = std::make_unique<RunWatch>(*acquisition_, workspace_, session_, log_, host_);
    connectPanels();
    connectAcquisition();
    connectTools();
    connect(offline_.get(), &Frm_offline::mainRequested, this, &Frm_Main::showMainAgain);
    connect(offline_.get(), &Frm_offline::setupRequested, this, [this] {
        setup_->show();
        setup_->Txt_description->setPlainText(Txt_description->toPlainText());
    });
    // The offline window's bins are the half hours its group view shows.
    connect(offline_.get(), &Frm_offline::reportRequested, this,
            [this](const QString& folder) { report_->openOn(folder.toStdString(), "30"); });
    connect(setup_.get(), &Frm_setup::mainRequested, this, [this] {
        Txt_description->setPlainText(setup_->Txt_description->toPlainText());
        showMainAgain();
    });
    connect(setup_.get(), &Frm_setup::offlineRequested, this, [this] {
        Txt_description->setPlainText(setup_->Txt_description->toPlainText());
        offline_->show();
    });
}

Frm_Main::~Frm_Main() = default;

bool Frm_Main::startUp() {
    autorun_ = isAutorunRequest(commandLine_);
    session_.mode = OperatingMode::Online;
    if (!fileExists(workspace_.programFolder / "config.dat")) {
        dialogs_.message("Config file not found: Check correct software installation");
        return false;
    }
    try {
        runStartUpSteps();
    } catch (const std::exception&) {
        dialogs_.message("Error loading INIT parameters #ERROR:" + std::to_string(startupStep_));
        return false;
    }
    return true;
}

// The start-up's own part, before the window is usable: configuration,
// project and panels. The port search and the factory read follow from the
// event loop (searchInstrument) behind the splash and then behind the shown
// window, so neither waits for the other: the splash is not held for the
// port, and the window is not held for the splash's stages.
void Frm_Main::runStartUpSteps() {
    launchClock_.start();
    log_.openProgramLog(workspace_.programFolder);
    log_.program("Start-up of the windows in " + workspace_.programFolder.string());
    cmd_frio->setText("FRIO");
    cmd_ontemp->setText("OFF");
    cmd_luz->setText("OFF");
    Chk_lenabled->setChecked(true);
    session_.outputs = InstrumentState{};
    frm_autotext->hide();

    startupStep_ = 1;
    loadConfiguration(workspace_, dialogs_);

    startupStep_ = 3;
    splash_->show();
    hide();
    splash_->showNews("STARTING........... Reading Configuration...");
    loadProject(workspace_, workspace_.config.Actual_Project_Number, dialogs_, [this](const std::string& text) {
        log_.program(text);
        splash_->showNews(QString::fromStdString(text));
    });
    startupStep_ = 4;
    splash_->showNews("STARTING........... Opening Communication Port...");

    startupStep_ = 5;
    fillPanelsFromProject();
    fillSelectors();
    showProjectName();
    // Told without waiting: "/RUN" starts once the instrument answers.
    if (auto failure = watch_->apply(loadStatusSettings(workspace_.programFolder))) {
        log_.program(*failure);
        tell(*failure);
    }
    CmdPause->setEnabled(false);
    live_->plotFrame();
    live_->panelFrame();
    picturetime->clear();

    // Until the search ends the session is offline, so nothing talks to the
    // port; the commands that need the instrument say why they wait.
    session_.mode = OperatingMode::Offline;
    searching_ = true;
    showSearchNews("STARTING........... Opening Communication Port...");
    // The splash stays one interval of its timer in all, then gives way to the
    // window (stage 4 hides it), whether or not the search has ended.
    connect(splash_.get(), &Frm_Init::stageDone, this, &Frm_Main::onSplashDone, Qt::UniqueConnection);
    const auto shownMs = static_cast<int>(launchClock_.elapsed());
    splash_->startStage(4, QString(), std::max(0, SplashIntervalMs - shownMs));
    QTimer::singleShot(0, this, &Frm_Main::searchInstrument);
}

namespace {

// The start-up search's host: its waits run the event loop, so the window
// stays usable, and once the program is leaving they end the search instead
// (the port search and the factory read catch it and close what they opened).
class SearchHost : public Host {
public:
    SearchHost(Host& host, const bool& leaving) : host_(host), leaving_(leaving) {}
    DateTime now() override { return host_.now(); }
    std::int64_t steadyMs() override { return host_.steadyMs(); }
    void pause(int ms) override {
        leaveIfAsked();
        host_.pauseResponsive(ms);
        leaveIfAsked();
    }
    void yield() override {
        host_.yield();
        leaveIfAsked();
    }
    std::optional<std::uint64_t> freeDiskBytes(const std::filesystem::path& folder) override {
        return host_.freeDiskBytes(folder);
    }
    std::string listSeparator() override { return host_.listSeparator(); }
    bool openDocument(const std::filesystem::path& path) override { return host_.openDocument(path); }
    DiskWrites& diskWrites() override { return host_.diskWrites(); }

private:
    void leaveIfAsked() const {
        if (leaving_) throw std::runtime_error("the program is ending");
    }
    Host& host_;
    const bool& leaving_;
};

}  // namespace

void Frm_Main::searchInstrument() {
    if (leaving_) {
        searching_ = false;
        return;
    }
    SearchHost searchHost(host_, leaving_);
    try {
        connectInstrument(workspace_, session_, dialogs_, searchHost,
                          [this](const std::string& text) { showSearchNews(text); });
    } catch (const std::exception&) {
        // Only the end of the program gets here: the search catches its own failures.
        session_.mode = OperatingMode::Offline;
    }
    searching_ = false;
    log_.program((session_.online() ? "Online: the instrument answers on COM" + std::to_string(session_.port)
                                    : std::string("Offline: no instrument found")) +
                 " (" + std::to_string(launchClock_.elapsed()) + " ms after the launch)");
    if (leaving_) {
        acquisition_->shutDown("the program ended during the port search");  // the port found meanwhile gets its outputs off
        return;
    }
    startupStep_ = 6;
    showPortMenuAfterSearch();
    showOperatingMode();
    splash_->showNews(session_.online() ? "STARTING........... Communication OK..."
                                        : "STARTING........... Starting Offline Session...");
    startupStep_ = 8;
    if (splash_->stagePending()) {
        splash_->finishStage();  // nothing left to wait for: the first window comes now
    } else if (!session_.online() && isVisible()) {
        // Offline, the review window is the program's first window.
        offline_->show();
        hide();
    }
    startupStep_ = 9;
    startedUp_ = true;
    if (autorun_) startAcquisition(StartRequest{NameSource::Autorun, {}});
}

void Frm_Main::onSplashDone() {
    if (leaving_) return;
    if (searching_ || session_.online()) {
        show();
    } else {
        offline_->show();
    }
    log_.program("First window shown " + std::to_string(launchClock_.elapsed()) + " ms after the launch");
}

void Frm_Main::showSearchNews(const std::string& text) {
    log_.program(text);
    if (splash_->isVisible()) splash_->showNews(QString::fromStdString(text));
    const std::string prefix = "STARTING........... ";
    const std::string news = text.rfind(prefix, 0) == 0 ? text.substr(prefix.size()) : text;
    lbl_mode->setText("SEARCHING for the instrument: " + QString::fromStdString(news));
    lbl_mode->setStyleSheet("font-weight: bold; padding: 0 6px; color: #a06000;");
}

bool Frm_Main::refuseWhileSearching() {
    if (!searching_) return false;
    dialogs_.message("The instrument is still being searched for (see the line at the bottom of the window). "
                     "Please wait until it says ONLINE or OFFLINE.");
    return true;
}

void Frm_Main::showProjectName() {
    txt_projecto->setText(QString("%1_%2")
                              .arg(workspace_.config.Actual_Project_Number)
                              .arg(QString::fromStdString(workspace_.setup.Name)));
}

void Frm_Main::showPortMenuAfterSearch() {
    PortMenuChecks checks{};
    for (int item = 0; item < LastScannedPort; ++item) checks[item] = mncom1[item]->isChecked();
    showPortMenuChecks(portMenuAfterSearch(checks, workspace_.config.Serial_COM));
}

void Frm_Main::showOperatingMode() {
    if (session_.online()) {
        const int com = workspace_.config.Serial_COM;
        lbl_mode->setText(QString("ONLINE on COM%1 (%2)")
                              .arg(com)
                              .arg(QString::fromStdString(session_.comm.portMap().device(com))));
        lbl_mode->setStyleSheet("font-weight: bold; padding: 0 6px; color: #006000;");
    } else {
        lbl_mode->setText("OFFLINE - no instrument: review, reports and setup only");
        lbl_mode->setStyleSheet("font-weight: bold; padding: 0 6px; color: #c00000;");
    }
}

void Frm_Main::showPortMenuChecks(const PortMenuChecks& checks) {
    for (int item = 0; item < LastScannedPort; ++item) mncom1[item]->setChecked(checks[item]);
}

void Frm_Main::onSerialPortItem(int port) {
    workspace_.config.Serial_COM = static_cast<std::int16_t>(port);
    showPortMenuChecks(portMenuAfterClick(port));
    saveConfig(workspace_.config, workspace_.programFolder, dialogs_);
}

void Frm_Main::showOffline() {
    offline_->show();
    setup_->Txt_description->setPlainText(Txt_description->toPlainText());
    hide();
}

void Frm_Main::showSetup() {
    setup_->show();
    setup_->Txt_description->setPlainText(Txt_description->toPlainText());
    hide();
}

void Frm_Main::showMainAgain() {
    show();
    offline_->hide();
    setup_->hide();
}

void Frm_Main::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (Timeradq->isActive() || acquisition_->state() != AcquisitionState::Stopped) return;
    // The setup editor may have changed the project, its settings, plate or groups.
    try {
        showProjectName();
        fillInstrumentPanels();
        acquisition_->resetBuffers();
        session_.pendingSend = false;
        fillSelectors();
    } catch (const std::exception&) {
        dialogs_.message("Error loading parameters", Buttons::Ok);
    }
}

bool Frm_Main::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lbl_umbral && event->type() == QEvent::MouseButtonPress) {
        toggleSnrBox();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void Frm_Main::closeEvent(QCloseEvent* event) {
    // Leaving the program ends a running acquisition: its completed bins are
    // on disk, and no element stays on without its thermostat. After a
    // signal's shut-down nobody is there to answer.
    const bool asked = !leaving_;
    if (!leaving_) shutDown("window closed");
    if (asked && session_.online()) {
        std::string question = "Update values to project " + std::to_string(workspace_.config.Actual_Project_Number) +
                               "_" + workspace_.setup.Name + " before Exit?";
        if (dialogs_.message(question, Buttons::YesNo) == Answer::Yes) {
            saveProject(workspace_);
            host_.pause(300);
            host_.yield();
            host_.pause(300);
        }
    }
    event->accept();
    QApplication::quit();
}

}  // namespace zorvex
