#include "ui/offline/Frm_offline.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "reports/Join.h"
#include "store/ProjectFolders.h"
#include "views/ChannelSignal.h"
#include "views/OfflineBrowser.h"
#include "ui/common/WindowSize.h"
#include "ui/common/WrittenNotice.h"
#include "ui/offline/OfflineDrawing.h"
#include "ui/setup/SetupRules.h"

namespace zorvex {

namespace {

QPushButton* namedButton(const char* name, const char* caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

template <typename Widget>
Widget* named(Widget* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

}  // namespace

Frm_offline::Frm_offline(const std::filesystem::path& programFolder, Dialogs& dialogs, Host& host, QWidget* parent)
    : QMainWindow(parent), programFolder_(programFolder), dialogs_(dialogs), host_(host) {
    setObjectName("Frm_offline");
    setWindowTitle("<Zorvex> Acquisition Software  --------> Offline");
    resize(LargeWindowSize);

    mnadvanced = menuBar()->addAction("Advanced_calculation");
    mnadvanced->setObjectName("mnadvanced");
    mnexporta = named(new QMenu(this), "mnexporta");
    bmpexporta = mnexporta->addAction("Export to BMP...");
    bmpexporta->setObjectName("bmpexporta");
    asciiexporta = mnexporta->addAction("Export to ASCII...");
    asciiexporta->setObjectName("asciiexporta");
    addFigureEntry();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto* body = new QHBoxLayout;
    body->addWidget(buildBrowser());
    body->addWidget(buildViews(), 1);
    body->addWidget(buildSelectors());
    layout->addLayout(body, 1);
    layout->addWidget(buildSwitchBar());
    setCentralWidget(central);
    // Made now, so that its line is kept from the start: made by the first
    // notice, it would push the whole window up by its height.
    statusBar();

    cmb_modeanalisis->addItems({"Mode:0", "Mode:1"});
    cmb_modeanalisis->setCurrentIndex(0);
    frmtxt_threshold->setText(QString::fromStdString(snrText(DefaultSnr)));
    Txtpage->setText("1/1");
    for (QPushButton* button : {cmdchannels, cmdactogram, Cmd_analyze, Cmd_report, Cmd_leegroups}) button->setEnabled(false);

    connect(mnadvanced, &QAction::triggered, this, &Frm_offline::requestReport);
    connect(bmpexporta, &QAction::triggered, this, &Frm_offline::exportBmp);
    connect(asciiexporta, &QAction::triggered, this, &Frm_offline::exportAscii);
    connect(Picreal, &PlotSurface::pressed, this, [this](double, double, Qt::MouseButton button) {
        if (button == Qt::RightButton) mnexporta->popup(QCursor::pos());
    });
}

QWidget* Frm_offline::buildBrowser() {
    auto* frame = new QGroupBox("Projects / Acquisitions:", this);
    frame->setFixedWidth(300);
    auto* layout = new QVBoxLayout(frame);
    Listpj = named(new QListWidget(frame), "Listpj");
    Listpj->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Listpj->installEventFilter(this);
    layout->addWidget(Listpj, 1);
    auto* buttons = new QHBoxLayout;
    cmdback = namedButton("cmdback", "<Back>", frame);
    Cmd_join = namedButton("Cmd_join", "Join...", frame);
    Cmd_events = namedButton("Cmd_events", "Events...", frame);
    Cmd_events->setToolTip("What happened during the chosen acquisition (events.log)");
    Cmd_events->setEnabled(false);
    buttons->addWidget(cmdback);
    buttons->addWidget(Cmd_join);
    buttons->addWidget(Cmd_events);
    layout->addLayout(buttons);
    Txt_reporte = named(new QPlainTextEdit(frame), "Txt_reporte");
    Txt_reporte->setReadOnly(true);
    Txt_reporte->setFixedHeight(220);
    layout->addWidget(Txt_reporte);

    connect(Listpj, &QListWidget::itemSelectionChanged, this, &Frm_offline::showSummary);
    connect(Listpj, &QListWidget::itemDoubleClicked, this, &Frm_offline::activateEntry);
    connect(cmdback, &QPushButton::clicked, this, &Frm_offline::listProjects);
    connect(Cmd_join, &QPushButton::clicked, this, &Frm_offline::joinSelected);
    connect(Cmd_events, &QPushButton::clicked, this, [this] {
        if (!runEvents_) runEvents_ = new RunEvents(this);
        runEvents_->showFolder(browsePath_);
    });
    return frame;
}

QWidget* Frm_offline::buildViews() {
    auto* area = new QWidget(this);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    Picreal = named(new PlotSurface(area), "Picreal");
    Picreal->setMinimumSize(600, 400);
    layout->addWidget(Picreal, 1);
    Pic_status = named(new PlotSurface(area), "Pic_status");
    Pic_status->setFixedHeight(12);
    layout->addWidget(Pic_status);
    auto* paging = new QHBoxLayout;
    scrollpage = named(new QScrollBar(Qt::Horizontal, area), "scrollpage");
    scrollpage->setRange(1, 1);
    // Each step loads 21 MB of raw signal, so a drag loads only where it ends.
    scrollpage->setTracking(false);
    Txtpage = named(new QLineEdit(area), "Txtpage");
    Txtpage->setReadOnly(true);
    Txtpage->setFixedWidth(80);
    Txtpage->setAlignment(Qt::AlignCenter);
    paging->addWidget(scrollpage, 1);
    paging->addWidget(Txtpage);
    layout->addLayout(paging);

    connect(scrollpage, &QScrollBar::valueChanged, this, &Frm_offline::changePage);
    connect(Picreal, &PlotSurface::resized, this, &Frm_offline::redrawView);
    connect(Pic_status, &PlotSurface::resized, this, [this] { clearProgress(*Pic_status); });
    return area;
}

QWidget* Frm_offline::buildSelectors() {
    auto* column = new QWidget(this);
    column->setFixedWidth(230);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* wells = new QGroupBox("Well:", column);
    auto* form = new QFormLayout(wells);
    auto* position = new QHBoxLayout;
    Combofila = named(new QComboBox(wells), "Combofila");
    Combocol = named(new QComboBox(wells), "Combocol");
    position->addWidget(Combofila);
    position->addWidget(Combocol);
    form->addRow("Row/Col:", position);
    txtsub = named(new QLineEdit("0", wells), "txtsub");
    form->addRow("Beam:", txtsub);
    lblcanal = named(new QLabel(wells), "lblcanal");
    form->addRow("Channel:", lblcanal);
    combogrup = named(new QComboBox(wells), "combogrup");
    form->addRow("Group:", combogrup);
    lstgrup = named(new QListWidget(wells), "lstgrup");
    lstgrup->installEventFilter(this);
    form->addRow(lstgrup);
    layout->addWidget(wells, 1);

    auto* views = new QGroupBox("View:", column);
    auto* viewLayout = new QVBoxLayout(views);
    Cmd_leegroups = namedButton("Cmd_leegroups", "[Group Activity]", views);
    cmdchannels = namedButton("cmdchannels", "Channel Signal", views);
    cmdactogram = namedButton("cmdactogram", "Actogram", views);
    viewLayout->addWidget(Cmd_leegroups);
    viewLayout->addWidget(cmdchannels);
    viewLayout->addWidget(cmdactogram);
    layout->addWidget(views);

    auto* analysis = new QGroupBox("Analysis:", column);
    auto* analysisForm = new QFormLayout(analysis);
    frmtxt_threshold = named(new QLineEdit(analysis), "frmtxt_threshold");
    analysisForm->addRow("Threshold:", frmtxt_threshold);
    cmb_modeanalisis = named(new QComboBox(analysis), "cmb_modeanalisis");
    analysisForm->addRow("Method:", cmb_modeanalisis);
    Cmd_analyze = namedButton("Cmd_analyze", "Analyze", analysis);
    analysisForm->addRow(Cmd_analyze);
    layout->addWidget(analysis);

    Cmd_report = namedButton("Cmd_report", "Report", column);
    layout->addWidget(Cmd_report);

    connect(Combofila, &QComboBox::currentIndexChanged, this, &Frm_offline::showChannel);
    connect(Combocol, &QComboBox::currentIndexChanged, this, &Frm_offline::showChannel);
    connect(txtsub, &QLineEdit::editingFinished, this, &Frm_offline::showChannel);
    connect(combogrup, &QComboBox::currentIndexChanged, this, &Frm_offline::showGroupWells);
    connect(lstgrup, &QListWidget::itemDoubleClicked, this, &Frm_offline::chooseWell);
    connect(Cmd_leegroups, &QPushButton::clicked, this, &Frm_offline::showGroupActivity);
    connect(cmdchannels, &QPushButton::clicked, this, &Frm_offline::showChannelSignal);
    connect(cmdactogram, &QPushButton::clicked, this, &Frm_offline::showActogram);
    connect(Cmd_analyze, &QPushButton::clicked, this, &Frm_offline::analyze);
    connect(Cmd_report, &QPushButton::clicked, this, &Frm_offline::requestReport);
    return column;
}

QWidget* Frm_offline::buildSwitchBar() {
    auto* bar = new QWidget(this);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    Command21 = namedButton("Command21", "Main", bar);
    CmdMain = Command21;
    Command22 = namedButton("Command22", "Setup", bar);
    CmdOffline = namedButton("CmdOffline", "OffLine", bar);
    for (QPushButton* button : {Command21, Command22, CmdOffline}) {
        button->setMinimumWidth(96);
        layout->addWidget(button);
    }
    connect(Command21, &QPushButton::clicked, this, [this] {
        releaseBuffers();
        emit mainRequested();
        hide();
    });
    connect(Command22, &QPushButton::clicked, this, [this] {
        emit setupRequested();
        hide();
    });
    return bar;
}

void Frm_offline::showReportText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace("\r\n", "\n");
    Txt_reporte->setPlainText(shown);
}

void Frm_offline::listProjects() {
    // Back leaves the acquisition: its drawing must not stay as if it were the next one's.
    Picreal->clear();
    Listpj->clear();
    for (const std::string& name : listProjectNames(programFolder_)) Listpj->addItem(QString::fromStdString(name));
    browseLevel_ = 0;
}

void Frm_offline::showSummary() {
    QListWidgetItem* item = Listpj->currentItem();
    if (!item || !item->isSelected()) return;
    const std::string name = item->text().toStdString();
    if (browseLevel_ == 0) {
        browseProjectPath_ = programFolder_ / name;
        browseProjectNumber_ = projectNumberOfName(name);
        browsePath_ = browseProjectPath_;
        showReportText(projectSummary(browsePath_, name, browseProjectNumber_, dialogs_));
        Cmd_events->setEnabled(false);
    } else {
        browsePath_ = browseProjectPath_ / name;
        showReportText(acquisitionSummary(browsePath_, name, browseProjectNumber_, dialogs_));
        Cmd_events->setEnabled(hasRunEvents(browsePath_));
    }
}

void Frm_offline::activateEntry() {
    if (browseLevel_ == 0) {
        openProject();
    } else {
        openAcquisition();
    }
}

void Frm_offline::openProject() {
    QListWidgetItem* item = Listpj->currentItem();
    if (!item || loading_) return;
    const std::string name = item->text().toStdString();
    browseProjectPath_ = programFolder_ / name;
    browseProjectNumber_ = projectNumberOfName(name);
    // Signals stay off while the list changes: its summaries belong to the level being left.
    {
        QSignalBlocker quiet(Listpj);
        Listpj->clear();
        browsePath_ = browseProjectPath_;
        for (const std::string& acquisition : listAcquisitions(browseProjectPath_)) {
            Listpj->addItem(QString::fromStdString(acquisition));
        }
    }
    loadOfflineConfig(config_, browsePath_, programFolder_, browseProjectNumber_, dialogs_);
    refillSelectors();
    browseLevel_ = 1;
}

void Frm_offline::joinSelected() {
    std::vector<std::string> names;
    for (int row = 0; browseLevel_ == 1 && row < Listpj->count(); ++row) {
        if (Listpj->item(row)->isSelected()) names.push_back(Listpj->item(row)->text().toStdString());
    }
    // Counted before asking: a question about one folder would lead nowhere.
    if (names.size() < 2) {
        dialogs_.message("Wrong Selection!\r\nSelect more than one acquisition folder");
        return;
    }
    const std::vector<std::filesystem::path> written = joinAcquisitions(browseProjectPath_, names, dialogs_, host_);
    if (!written.empty()) showWritten(statusBar(), "Joined into", written.front().parent_path());
}

void Frm_offline::releaseBuffers() {
    page_.release();
    actogramGrid_.reset();
    actogramFolder_.clear();
}

void Frm_offline::requestReport() { emit reportRequested(QString::fromStdString(acquisitionPath_.string())); }

void Frm_offline::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (listed_) return;
    listed_ = true;
    listProjects();
    clearProgress(*Pic_status);
}

void Frm_offline::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) CmdOffline->setFocus();
}

void Frm_offline::closeEvent(QCloseEvent* event) {
    releaseBuffers();
    cmdchannels->setText("Channel Signal");
    Cmd_leegroups->setText("[Group Activity]");
    cmdactogram->setText("Actogram");
    cmdchannels->setEnabled(false);
    cmdactogram->setEnabled(false);
    listed_ = false;
    emit mainRequested();
    event->accept();
}

bool Frm_offline::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == Listpj) {
                activateEntry();
                return true;
            }
            if (watched == lstgrup && lstgrup->currentItem()) {
                chooseWell(lstgrup->currentItem());
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace zorvex
