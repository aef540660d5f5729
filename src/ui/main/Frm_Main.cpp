#include "ui/main/Frm_Main.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QVBoxLayout>
#include <stdexcept>

#include "acquisition/Startup.h"
#include "common/Files.h"
#include "ui/about/Frm_About.h"
#include "ui/offline/Frm_offline.h"
#include "ui/setup/Frm_setup.h"
#include "ui/splash/Frm_Init.h"

namespace zorvex {

namespace {
constexpr int SplashIntervalMs = 1000;
constexpr int SplashLongIntervalMs = 2000;
}  // namespace

Frm_Main::Frm_Main(Workspace& workspace, InstrumentSession& session, Dialogs& dialogs, Host& host,
                   std::string commandLine)
    : workspace_(workspace),
      session_(session),
      dialogs_(dialogs),
      host_(host),
      commandLine_(std::move(commandLine)),
      splash_(std::make_unique<Frm_Init>()),
      offline_(std::make_unique<Frm_offline>()),
      setup_(std::make_unique<Frm_setup>(workspace, dialogs)) {
    setObjectName("Frm_Main");
    setWindowTitle("Zorvex");
    resize(1280, 800);
    buildWidgets();
    buildMenus();
    connect(offline_.get(), &Frm_offline::mainRequested, this, &Frm_Main::showMainAgain);
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

void Frm_Main::buildWidgets() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    auto* projectRow = new QHBoxLayout;
    projectRow->addWidget(new QLabel("Project:", central));
    txt_projecto = new QLineEdit(central);
    txt_projecto->setObjectName("txt_projecto");
    txt_projecto->setReadOnly(true);
    txt_projecto->setMaximumWidth(320);
    projectRow->addWidget(txt_projecto);
    projectRow->addSpacing(16);
    projectRow->addWidget(new QLabel("Description:", central));
    Txt_description = new QPlainTextEdit(central);
    Txt_description->setObjectName("Txt_description");
    Txt_description->setMaximumHeight(48);
    projectRow->addWidget(Txt_description, 1);
    layout->addLayout(projectRow);

    auto* signalBox = new QGroupBox("Real-time signal", central);
    auto* signalLayout = new QVBoxLayout(signalBox);
    auto* signalArea = new QFrame(signalBox);
    signalArea->setFrameShape(QFrame::StyledPanel);
    signalArea->setMinimumHeight(420);
    signalLayout->addWidget(signalArea);
    layout->addWidget(signalBox, 1);

    auto* buttons = new QHBoxLayout;
    auto makeButton = [&](const char* name, const char* caption) {
        auto* button = new QPushButton(caption, central);
        button->setObjectName(name);
        button->setMinimumWidth(96);
        buttons->addWidget(button);
        return button;
    };
    CmdPlay = makeButton("CmdPlay", "Start");
    CmdPause = makeButton("CmdPause", "Pause");
    CmdStop = makeButton("CmdStop", "Stop");
    buttons->addStretch();
    CmdSetup = makeButton("CmdSetup", "Setup");
    CmdOffline = makeButton("CmdOffline", "OffLine");
    layout->addLayout(buttons);
    CmdPause->setEnabled(false);
    CmdStop->setEnabled(false);

    setCentralWidget(central);
    connect(CmdOffline, &QPushButton::clicked, this, &Frm_Main::showOffline);
    connect(CmdSetup, &QPushButton::clicked, this, &Frm_Main::showSetup);
}

void Frm_Main::buildMenus() {
    QMenu* file = menuBar()->addMenu("File");
    mnexit = file->addAction("Exit");
    mnexit->setObjectName("mnexit");
    connect(mnexit, &QAction::triggered, this, &QWidget::close);

    QMenu* settings = menuBar()->addMenu("Settings");
    QMenu* ports = settings->addMenu("COM Ports");
    for (int port = 1; port <= LastScannedPort; ++port) {
        QAction* item = ports->addAction(QString("COM%1").arg(port));
        item->setObjectName(QString("mncom1_%1").arg(port));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, port] { onSerialPortItem(port); });
        mncom1.push_back(item);
    }

    QMenu* help = menuBar()->addMenu("Help");
    mncontent = help->addAction("Content");
    mncontent->setObjectName("mncontent");
    connect(mncontent, &QAction::triggered, this, [this] { host_.openDocument("zorvex_help.pdf"); });
    mnabout = help->addAction("About");
    mnabout->setObjectName("mnabout");
    connect(mnabout, &QAction::triggered, this, [this] {
        Frm_About about(this);
        about.exec();
    });
}

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

void Frm_Main::runStartUpSteps() {
    auto status = [this](const std::string& text) { splash_->showNews(QString::fromStdString(text)); };
    startupStep_ = 1;
    loadConfiguration(workspace_, dialogs_);

    startupStep_ = 3;
    splash_->show();
    hide();
    splash_->waitForStage(0, "STARTING........... Reading Configuration...", SplashIntervalMs);

    loadProject(workspace_, workspace_.config.Actual_Project_Number, dialogs_, status);
    startupStep_ = 4;
    splash_->waitForStage(1, "STARTING........... Opening Communication Port...", SplashIntervalMs);

    startupStep_ = 5;
    showProjectName();
    connectInstrument(workspace_, session_, dialogs_, host_, status);
    startupStep_ = 6;
    showPortMenuAfterSearch();
    splash_->waitForStage(2,
                          session_.online() ? "STARTING........... Communication OK..."
                                            : "STARTING........... Starting Offline Session...",
                          SplashIntervalMs);
    CmdPause->setEnabled(false);
    startupStep_ = 7;
    splash_->waitForStage(3, QString(), SplashLongIntervalMs);

    startupStep_ = 8;
    if (session_.online()) {
        show();
    } else {
        offline_->show();
    }
    splash_->waitForStage(4, QString(), SplashLongIntervalMs);
    startupStep_ = 9;
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
    showProjectName();
}

void Frm_Main::closeEvent(QCloseEvent* event) {
    if (session_.online()) {
        std::string question = "Update values to project " + std::to_string(workspace_.config.Actual_Project_Number) +
                               "_" + workspace_.setup.Name + " before Exit?";
        if (dialogs_.message(question, Buttons::YesNo) == Answer::Yes) {
            saveProject(workspace_);
            host_.pause(300);
            host_.yield();
            host_.pause(300);
        }
        session_.comm.CommClose(session_.port);
    }
    event->accept();
    QApplication::quit();
}

}  // namespace zorvex
