// The main window's widgets and menus, named as the controls they stand for.

#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "ui/about/Frm_About.h"
#include "ui/main/Frm_Main.h"
#include "ui/main/LiveViewModel.h"
#include "ui/main/PanelRules.h"
#include "ui/main/StatusSettingsDialog.h"

namespace zorvex {

namespace {

template <typename Widget, typename... Args>
Widget* named(const char* name, Args&&... args) {
    auto* widget = new Widget(std::forward<Args>(args)...);
    widget->setObjectName(name);
    return widget;
}

QLineEdit* box(const char* name, QWidget* parent, int width = 56) {
    auto* edit = named<QLineEdit>(name, parent);
    edit->setMaximumWidth(width);
    return edit;
}

// The coloured square beside a light or temperature button.
QLabel* indicator(const char* name, QWidget* parent) {
    auto* shape = named<QLabel>(name, parent);
    shape->setFixedSize(22, 22);
    shape->setFrameShape(QFrame::Box);
    shape->setAutoFillBackground(true);
    return shape;
}

}  // namespace

void Frm_Main::buildWidgets() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    auto* projectRow = new QHBoxLayout;
    projectRow->addWidget(new QLabel("Project:", central));
    txt_projecto = named<QLineEdit>("txt_projecto", central);
    txt_projecto->setReadOnly(true);
    txt_projecto->setMaximumWidth(320);
    projectRow->addWidget(txt_projecto);
    projectRow->addSpacing(16);
    projectRow->addWidget(new QLabel("Description:", central));
    Txt_description = named<QPlainTextEdit>("Txt_description", central);
    Txt_description->setMaximumHeight(48);
    projectRow->addWidget(Txt_description, 1);
    layout->addLayout(projectRow);

    auto* body = new QHBoxLayout;
    body->addWidget(buildLiveArea(central), 3);
    auto* side = new QVBoxLayout;
    side->addWidget(buildCalibrationPanel(central));
    side->addWidget(buildLightPanel(central));
    side->addWidget(buildTemperaturePanel(central));
    side->addWidget(buildStatusPanel(central));
    side->addStretch();
    body->addLayout(side, 1);
    layout->addLayout(body, 1);

    auto* buttons = new QHBoxLayout;
    auto makeButton = [&](const char* name, const char* caption) {
        auto* button = named<QPushButton>(name, caption, central);
        button->setMinimumWidth(96);
        buttons->addWidget(button);
        return button;
    };
    CmdPlay = makeButton("CmdPlay", "Start");
    CmdPause = makeButton("CmdPause", "Pause");
    CmdStop = makeButton("CmdStop", "Stop");
    Cmdreport = makeButton("Cmdreport", "Report");
    buttons->addStretch();
    CmdSetup = makeButton("CmdSetup", "Setup");
    CmdOffline = makeButton("CmdOffline", "OffLine");
    layout->addLayout(buttons);
    CmdPause->setEnabled(false);

    setCentralWidget(central);
    lbl_mode = named<QLabel>("lbl_mode", this);
    lbl_mode->setStyleSheet("font-weight: bold; padding: 0 6px;");
    statusBar()->addPermanentWidget(lbl_mode);
    Timeradq = named<QTimer>("Timeradq", this);
    Timer_test = named<QTimer>("Timer_test", this);
}

QWidget* Frm_Main::buildLiveArea(QWidget* parent) {
    auto* area = new QWidget(parent);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* viewRow = new QHBoxLayout;
    CheckRT = named<QCheckBox>("CheckRT", "Real-time View", area);
    CheckRT->setChecked(true);
    viewRow->addWidget(CheckRT);
    // A monitor run looks like a recording everywhere else: this says
    // otherwise, on the row it shares with the check box, so no height is lost.
    lbl_monitor = named<QLabel>("lbl_monitor", "MONITOR ONLY - NOT RECORDING", area);
    lbl_monitor->setAlignment(Qt::AlignCenter);
    lbl_monitor->setStyleSheet("background-color: #c00000; color: white; font-weight: bold; padding: 2px;");
    lbl_monitor->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    lbl_monitor->hide();
    viewRow->addWidget(lbl_monitor, 1);
    layout->addLayout(viewRow);

    Framereal = named<QGroupBox>("Framereal", "Real-time signal", area);
    auto* signal = new QVBoxLayout(Framereal);
    Picreal = named<PlotSurface>("Picreal", Framereal);
    Picreal->setMinimumHeight(220);
    signal->addWidget(Picreal, 1);
    auto* zoomRow = new QHBoxLayout;
    zoomRow->addWidget(new QLabel("Zoom:", Framereal));
    Cmdzoom_minus = named<QPushButton>("Cmdzoom_minus", "-", Framereal);
    txtzoom = box("txtzoom", Framereal, 40);
    txtzoom->setReadOnly(true);
    txtzoom->setText(QString::number(DefaultZoom));
    Cmdzoom_plus = named<QPushButton>("Cmdzoom_plus", "+", Framereal);
    for (QWidget* widget : {static_cast<QWidget*>(Cmdzoom_minus), static_cast<QWidget*>(txtzoom),
                            static_cast<QWidget*>(Cmdzoom_plus)}) {
        zoomRow->addWidget(widget);
    }
    zoomRow->addStretch();
    signal->addLayout(zoomRow);
    layout->addWidget(Framereal, 1);

    auto* lower = new QHBoxLayout;
    Picact = named<PlotSurface>("Picact", area);
    Picact->setFixedSize(330, 220);
    // The bar captions sit 60 pixels apart: a smaller font keeps them apart.
    QFont captions = Picact->font();
    captions.setPixelSize(10);
    Picact->setFont(captions);
    lower->addWidget(Picact);

    auto* selectors = new QGroupBox("Channel", area);
    auto* grid = new QGridLayout(selectors);
    Combofila = named<QComboBox>("Combofila", selectors);
    Combocol = named<QComboBox>("Combocol", selectors);
    txtsub = box("txtsub", selectors, 40);
    txtsub->setText("0");
    lblcanal = named<QLabel>("lblcanal", "0", selectors);
    grid->addWidget(new QLabel("Row", selectors), 0, 0);
    grid->addWidget(Combofila, 0, 1);
    grid->addWidget(new QLabel("Column", selectors), 0, 2);
    grid->addWidget(Combocol, 0, 3);
    grid->addWidget(new QLabel("Beam", selectors), 0, 4);
    grid->addWidget(txtsub, 0, 5);
    grid->addWidget(new QLabel("Channel", selectors), 1, 0);
    grid->addWidget(lblcanal, 1, 1);
    combogrup = named<QComboBox>("combogrup", selectors);
    grid->addWidget(new QLabel("Group", selectors), 2, 0);
    grid->addWidget(combogrup, 2, 1, 1, 5);
    lstgrup = named<QListWidget>("lstgrup", selectors);
    grid->addWidget(lstgrup, 3, 0, 1, 6);
    lower->addWidget(selectors, 1);
    layout->addLayout(lower);
    return area;
}

QWidget* Frm_Main::buildCalibrationPanel(QWidget* parent) {
    frm_mn1 = named<QGroupBox>("frm_mn1", "Zero and calibration", parent);
    auto* grid = new QGridLayout(frm_mn1);
    cmd_calibra = named<QPushButton>("cmd_calibra", "Fast CALIB", frm_mn1);
    Cmd_autozero = named<QPushButton>("Cmd_autozero", "Fast ZERO", frm_mn1);
    Cmd_readblank = named<QPushButton>("Cmd_readblank", "Read Blank", frm_mn1);
    grid->addWidget(cmd_calibra, 0, 0);
    grid->addWidget(Cmd_autozero, 0, 1);
    grid->addWidget(Cmd_readblank, 0, 2);
    Cmb_organism = named<QComboBox>("Cmb_organism", frm_mn1);
    Cmb_organism->setEditable(true);  // start-up may show texts that are not entries
    grid->addWidget(new QLabel("Organism:", frm_mn1), 1, 0);
    grid->addWidget(Cmb_organism, 1, 1, 1, 2);
    lbl_umbral = named<QLabel>("lbl_umbral", ">>>>", frm_mn1);
    txt_snr_umbral = box("txt_snr_umbral", frm_mn1);
    grid->addWidget(lbl_umbral, 2, 0);
    grid->addWidget(txt_snr_umbral, 2, 1);
    return frm_mn1;
}

QWidget* Frm_Main::buildLightPanel(QWidget* parent) {
    frm_mn2 = named<QGroupBox>("frm_mn2", "Light", parent);
    auto* grid = new QGridLayout(frm_mn2);
    cmd_luz = named<QPushButton>("cmd_luz", "OFF", frm_mn2);
    shape_light = indicator("shape_light", frm_mn2);
    Chk_lenabled = named<QCheckBox>("Chk_lenabled", "Enabled", frm_mn2);
    grid->addWidget(cmd_luz, 0, 0);
    grid->addWidget(shape_light, 0, 1);
    grid->addWidget(Chk_lenabled, 0, 2);
    txt_lon = box("txt_lon", frm_mn2);
    txt_loff = box("txt_loff", frm_mn2);
    grid->addWidget(new QLabel("ON hour", frm_mn2), 1, 0);
    grid->addWidget(txt_lon, 1, 1);
    grid->addWidget(new QLabel("OFF hour", frm_mn2), 2, 0);
    grid->addWidget(txt_loff, 2, 1);
    cmd_cyclepulse = named<QPushButton>("cmd_cyclepulse", "Cycle/Pulse", frm_mn2);
    grid->addWidget(cmd_cyclepulse, 1, 2);

    frm_pulse = named<QGroupBox>("frm_pulse", "Pulses", frm_mn2);
    auto* pulses = new QGridLayout(frm_pulse);
    txt_pulsetimes = box("txt_pulsetimes", frm_pulse);
    txt_pulseon = box("txt_pulseon", frm_pulse);
    txt_pulseoff = box("txt_pulseoff", frm_pulse);
    pulses->addWidget(new QLabel("Times", frm_pulse), 0, 0);
    pulses->addWidget(txt_pulsetimes, 0, 1);
    pulses->addWidget(new QLabel("ON (min)", frm_pulse), 1, 0);
    pulses->addWidget(txt_pulseon, 1, 1);
    pulses->addWidget(new QLabel("OFF (min)", frm_pulse), 2, 0);
    pulses->addWidget(txt_pulseoff, 2, 1);
    grid->addWidget(frm_pulse, 3, 0, 1, 3);
    frm_pulse->hide();
    return frm_mn2;
}

QWidget* Frm_Main::buildTemperaturePanel(QWidget* parent) {
    frm_mn3 = named<QGroupBox>("frm_mn3", "Temperature", parent);
    auto* grid = new QGridLayout(frm_mn3);
    cmd_ontemp = named<QPushButton>("cmd_ontemp", "OFF", frm_mn3);
    cmd_frio = named<QPushButton>("cmd_frio", "FRIO", frm_mn3);
    shape_temp = indicator("shape_temp", frm_mn3);
    Chk_tenabled = named<QCheckBox>("Chk_tenabled", "Enabled", frm_mn3);
    grid->addWidget(cmd_ontemp, 0, 0);
    grid->addWidget(cmd_frio, 0, 1);
    grid->addWidget(shape_temp, 0, 2);
    grid->addWidget(Chk_tenabled, 0, 3);
    txttemp = box("txttemp", frm_mn3);
    Cmd_settemp = named<QPushButton>("Cmd_settemp", "SET", frm_mn3);
    grid->addWidget(new QLabel("Set (*C)", frm_mn3), 1, 0);
    grid->addWidget(txttemp, 1, 1);
    grid->addWidget(Cmd_settemp, 1, 2);
    return frm_mn3;
}

QWidget* Frm_Main::buildStatusPanel(QWidget* parent) {
    auto* status = new QWidget(parent);
    auto* layout = new QVBoxLayout(status);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* timeRow = new QHBoxLayout;
    timeRow->addWidget(new QLabel("Bin size (min):", status));
    combo_minutes = named<QComboBox>("combo_minutes", status);
    timeRow->addWidget(combo_minutes);
    Txt_time = named<QLineEdit>("Txt_time", status);
    Txt_time->setReadOnly(true);
    timeRow->addWidget(Txt_time);
    layout->addLayout(timeRow);
    picturetime = named<PlotSurface>("picturetime", status);
    picturetime->setFixedHeight(16);
    picturetime->setScale(0, 100, 100, 0);
    layout->addWidget(picturetime);

    frm_autotext = named<QGroupBox>("frm_autotext", status);
    auto* panel = new QVBoxLayout(frm_autotext);
    lbl_autotext = named<QLabel>("lbl_autotext", frm_autotext);
    lbl_autochannel = named<QLabel>("lbl_autochannel", frm_autotext);
    picturecal = named<PlotSurface>("picturecal", frm_autotext);
    picturecal->setFixedHeight(16);
    panel->addWidget(lbl_autotext);
    panel->addWidget(lbl_autochannel);
    panel->addWidget(picturecal);
    layout->addWidget(frm_autotext);

    lblcalibrando = named<QLabel>("lblcalibrando", status);
    lbl_autostart = named<QLabel>("lbl_autostart", status);
    layout->addWidget(lblcalibrando);
    layout->addWidget(lbl_autostart);
    lblcalibrando->hide();
    lbl_autostart->hide();
    return status;
}

void Frm_Main::buildMenus() {
    QMenu* file = menuBar()->addMenu("File");
    mnexit = file->addAction("Exit");
    mnexit->setObjectName("mnexit");
    connect(mnexit, &QAction::triggered, this, &QWidget::close);

    QMenu* settings = menuBar()->addMenu("Settings");
    QMenu* ports = settings->addMenu("COM Ports");
    for (int port = 1; port <= LastScannedPort; ++port) {
        // Each entry names the device its number leads to (comports.dat).
        QAction* item = ports->addAction(
            QString("COM%1\t%2").arg(port).arg(QString::fromStdString(session_.comm.portMap().device(port))));
        item->setObjectName(QString("mncom1_%1").arg(port));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, port] { onSerialPortItem(port); });
        mncom1.push_back(item);
    }
    mnstatuspage = settings->addAction("Status page and notify...");
    mnstatuspage->setObjectName("mnstatuspage");
    connect(mnstatuspage, &QAction::triggered, this, [this] {
        StatusSettingsDialog dialog(workspace_.programFolder, *watch_, dialogs_, this);
        dialog.exec();
    });

    QMenu* advanced = menuBar()->addMenu("Advanced");
    QMenu* manual = advanced->addMenu("Manual_Calibration");
    mncal_off = manual->addAction("OFF");
    mncal_off->setObjectName("mncal_off");
    mncal_on = manual->addAction("ON");
    mncal_on->setObjectName("mncal_on");
    mnCalibra = advanced->addAction("Auto   Calibration");
    mnCalibra->setObjectName("mnCalibra");
    mnZero = advanced->addAction("Auto   Zero");
    mnZero->setObjectName("mnZero");
    for (QAction* item : {mncal_off, mncal_on, mnCalibra, mnZero}) item->setCheckable(true);
    mnstatustest = advanced->addAction("Test DEVICE");
    mnstatustest->setObjectName("mnstatustest");
    mn_factory = advanced->addAction("Factory Settings");
    mn_factory->setObjectName("mn_factory");

    QMenu* help = menuBar()->addMenu("Help");
    mncontent = help->addAction("Content");
    mncontent->setObjectName("mncontent");
    mnabout = help->addAction("About");
    mnabout->setObjectName("mnabout");
    connect(mnabout, &QAction::triggered, this, [this] {
        Frm_About about(this);
        about.exec();
    });
}

}  // namespace zorvex
