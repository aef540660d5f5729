// The calibration, light and temperature panels: filled from the project at
// start-up, and the events of their boxes, buttons and menus.

#include "acquisition/Acquisition.h"
#include "analysis/Zero.h"
#include "common/Text.h"
#include "control/LightSchedule.h"
#include "control/Validations.h"
#include "ui/main/Frm_Main.h"
#include "ui/main/PanelRules.h"
#include "ui/setup/Frm_setup.h"

namespace zorvex {

namespace {

constexpr int OrganismParam = 0;
constexpr int CalibrationParam = 1;
constexpr int ZeroParam = 2;
constexpr int SnrParam = 3;
constexpr int EnableParam = 0;
constexpr int OnHourParam = 1;
constexpr int OffHourParam = 2;
constexpr int PulseCountParam = 3;
constexpr int PulseOnParam = 4;
constexpr int PulseOffParam = 5;
constexpr int SetTemperatureParam = 1;
constexpr int CustomizedOrganism = 2;
constexpr int DefaultBinSizeIndex = 1;

// A panel shown for option 1, hidden for 0; other values leave it as it is.
void showByOption(QWidget* panel, int option) {
    if (option == 1) panel->show();
    if (option == 0) panel->hide();
}

QString text(const std::string& value) { return QString::fromStdString(value); }

void paint(QLabel* shape, std::uint32_t rgb) {
    shape->setStyleSheet(QString("background-color: #%1;").arg(rgb, 6, 16, QLatin1Char('0')));
}

}  // namespace

void Frm_Main::fillPanelsFromProject() {
    fillInstrumentPanels();
    setManualCalibration(false);

    combo_minutes->clear();
    for (const char* entry : BinSizeEntries) combo_minutes->addItem(entry);
    combo_minutes->setCurrentIndex(DefaultBinSizeIndex);
}

void Frm_Main::showToolPanels() {
    const ProjectSetup& setup = workspace_.setup;
    showByOption(frm_mn1, setup.Menu1_Cal);
    showByOption(frm_mn2, setup.Menu2_Light);
    showByOption(frm_mn3, setup.Menu3_Temp);
}

void Frm_Main::fillInstrumentPanels() {
    ProjectSetup& setup = workspace_.setup;
    showToolPanels();
    options_ = startupOptions(setup);

    auto& sensor = setup.Mn[SensorRow];
    Cmb_organism->clear();
    for (const char* entry : OrganismEntries) Cmb_organism->addItem(entry);
    if (auto shown = organismText(sensor[OrganismParam])) Cmb_organism->setEditText(text(*shown));
    txt_snr_umbral->setText(text(initialSnrText(sensor[SnrParam])));
    // Other stored types show their text only; the factor stays as start-up read it.
    if (sensor[OrganismParam] >= 0 && sensor[OrganismParam] <= CustomizedOrganism) {
        showSnrBox(applyOrganism(static_cast<Organism>(sensor[OrganismParam]), txt_snr_umbral->text().toStdString()));
    }

    setAutoCalibration(sensor[CalibrationParam] == 1);
    setAutoZero(sensor[ZeroParam] == 1);

    const auto& light = setup.Mn[LightRow];
    Chk_lenabled->setChecked(light[EnableParam] == 1);
    txt_lon->setText(QString::number(light[OnHourParam]));
    txt_loff->setText(QString::number(light[OffHourParam]));
    session_.pendingSend = false;
    frm_pulse->hide();
    if (Chk_lenabled->isChecked()) {
        txt_pulsetimes->setText(QString::number(light[PulseCountParam]));
        txt_pulseon->setText(text(formatFixed(light[PulseOnParam] / 10.0, 1)));
        txt_pulseoff->setText(text(formatFixed(light[PulseOffParam] / 10.0, 1)));
        frm_pulse->setVisible(light[PulseCountParam] >= 1);
        txt_lon->setEnabled(light[PulseCountParam] < 1);
        txt_loff->setEnabled(light[PulseCountParam] < 1);
    }

    const auto& temperature = setup.Mn[TemperatureRow];
    Chk_tenabled->setChecked(temperature[EnableParam] == 1);
    txttemp->setText(text(formatFixed(temperature[SetTemperatureParam] / 10.0, 1)));
}

void Frm_Main::showSnrBox(const SnrBox& box) {
    txt_snr_umbral->setText(text(box.text));
    lbl_umbral->setText(text(box.caption));
    txt_snr_umbral->setVisible(box.visible);
    options_.snrFactor = box.factor;
}

void Frm_Main::connectPanels() {
    connect(Cmb_organism, &QComboBox::activated, this, &Frm_Main::onOrganismChosen);
    lbl_umbral->installEventFilter(this);
    connect(setup_.get(), &Frm_setup::toolPanelsChanged, this, &Frm_Main::showToolPanels);
    connect(setup_.get(), &Frm_setup::lightControlSwitched, this, [this](bool on) {
        workspace_.setup.Mn[LightRow][EnableParam] = on ? 1 : 0;
        Chk_lenabled->setChecked(on);
    });
    connect(txt_snr_umbral, &QLineEdit::editingFinished, this, &Frm_Main::onSnrLeft);
    connect(mnCalibra, &QAction::triggered, this, &Frm_Main::setAutoCalibration);
    connect(mnZero, &QAction::triggered, this, &Frm_Main::setAutoZero);
    connect(mncal_off, &QAction::triggered, this, [this] { setManualCalibration(false); });
    connect(mncal_on, &QAction::triggered, this, [this] { setManualCalibration(true); });

    connect(cmd_luz, &QPushButton::clicked, this, [this] {
        if (refuseWhileSearching() || acquisition_->refuseWhileLost("Switching an output")) return;
        session_.outputs.light = !session_.outputs.light;
        onOutputsChanged();
    });
    connect(Chk_lenabled, &QCheckBox::clicked, this,
            [this](bool ticked) { workspace_.setup.Mn[LightRow][EnableParam] = ticked ? 1 : 0; });
    connect(cmd_cyclepulse, &QPushButton::clicked, this, [this] { frm_pulse->setVisible(!frm_pulse->isVisible()); });
    connect(txt_lon, &QLineEdit::editingFinished, this, [this] { onLightHourLeft(txt_lon, OnHourParam, 9); });
    connect(txt_loff, &QLineEdit::editingFinished, this, [this] { onLightHourLeft(txt_loff, OffHourParam, 21); });
    connect(txt_pulsetimes, &QLineEdit::editingFinished, this, &Frm_Main::onPulseCountLeft);
    connect(txt_pulseon, &QLineEdit::editingFinished, this, [this] { onPulseMinutesLeft(txt_pulseon, PulseOnParam); });
    connect(txt_pulseoff, &QLineEdit::editingFinished, this,
            [this] { onPulseMinutesLeft(txt_pulseoff, PulseOffParam); });

    connect(Chk_tenabled, &QCheckBox::clicked, this,
            [this](bool ticked) { workspace_.setup.Mn[TemperatureRow][EnableParam] = ticked ? 1 : 0; });
    connect(txttemp, &QLineEdit::editingFinished, this, &Frm_Main::onSetTemperatureLeft);
    connect(Cmd_settemp, &QPushButton::clicked, this, [this] { session_.setTemperature = val(txttemp->text().toStdString()); });
    connect(cmd_ontemp, &QPushButton::clicked, this, [this] {
        if (refuseWhileSearching() || acquisition_->refuseWhileLost("Switching an output")) return;
        session_.outputs.active = !session_.outputs.active;
        onOutputsChanged();
    });
    connect(cmd_frio, &QPushButton::clicked, this, [this] {
        if (refuseWhileSearching() || acquisition_->refuseWhileLost("Switching an output")) return;
        session_.outputs.heat = !session_.outputs.heat;
        session_.outputs.active = false;
        onOutputsChanged();
    });
}

void Frm_Main::onOrganismChosen(int index) {
    workspace_.setup.Mn[SensorRow][OrganismParam] = static_cast<std::int16_t>(index);
    showSnrBox(applyOrganism(static_cast<Organism>(index), txt_snr_umbral->text().toStdString()));
}

void Frm_Main::toggleSnrBox() {
    const bool show = txt_snr_umbral->isHidden();
    lbl_umbral->setText(show ? "> Zero SNR:" : ">>>>");
    txt_snr_umbral->setVisible(show);
}

void Frm_Main::onSnrLeft() {
    showSnrBox(typedSnr(txt_snr_umbral->text().toStdString(), workspace_.setup, dialogs_));
    Cmb_organism->setCurrentIndex(CustomizedOrganism);
}

void Frm_Main::onLightHourLeft(QLineEdit* box, int param, std::int16_t fallbackHour) {
    const CheckedBox checked = checkLightHour(box->text().toStdString(), fallbackHour, dialogs_);
    workspace_.setup.Mn[LightRow][static_cast<std::size_t>(param)] = checked.stored;
    box->setText(text(checked.text));
}

void Frm_Main::onPulseCountLeft() {
    const CheckedBox checked = checkPulseCount(txt_pulsetimes->text().toStdString(), dialogs_);
    workspace_.setup.Mn[LightRow][PulseCountParam] = checked.stored;
    txt_pulsetimes->setText(text(checked.text));
    txt_lon->setEnabled(checked.stored < 1);
    txt_loff->setEnabled(checked.stored < 1);
}

void Frm_Main::onPulseMinutesLeft(QLineEdit* box, int param) {
    const CheckedBox checked = checkPulseMinutes(box->text().toStdString(), dialogs_);
    workspace_.setup.Mn[LightRow][static_cast<std::size_t>(param)] = checked.stored;
    box->setText(text(checked.text));
}

void Frm_Main::onSetTemperatureLeft() {
    const CheckedBox checked = checkSetTemperature(txttemp->text().toStdString(), dialogs_);
    workspace_.setup.Mn[TemperatureRow][SetTemperatureParam] = checked.stored;
    txttemp->setText(text(checked.text));
}

void Frm_Main::onOutputsChanged() {
    showOutputs(session_.outputs);
    session_.outputsChanged(acquisition_->state() == AcquisitionState::Running);
}

void Frm_Main::showOutputs(const InstrumentState& state) {
    const OutputIndicators shown = indicatorsOf(state);
    cmd_luz->setText(text(shown.lightCaption));
    paint(shape_light, shown.lightColour);
    cmd_frio->setText(text(shown.modeCaption));
    cmd_ontemp->setText(text(shown.elementCaption));
    paint(shape_temp, shown.elementColour);
}

void Frm_Main::setAutoCalibration(bool on) {
    mnCalibra->setChecked(on);
    options_.autoCalibration = on;
    workspace_.setup.Mn[SensorRow][CalibrationParam] = on ? 1 : 0;
    cmd_calibra->setVisible(!on);
}

void Frm_Main::setAutoZero(bool on) {
    mnZero->setChecked(on);
    options_.autoZero = on;
    workspace_.setup.Mn[SensorRow][ZeroParam] = on ? 1 : 0;
    Cmd_autozero->setVisible(!on);
}

void Frm_Main::setManualCalibration(bool on) {
    Cmd_readblank->setVisible(on);
    if (!on) {
        if (auto* control = setup_->findChild<QCheckBox*>("chkcalib")) control->setChecked(true);
        setAutoCalibration(true);
        setAutoZero(true);
    }
    mnCalibra->setEnabled(on);
    mnZero->setEnabled(on);
    mncal_off->setChecked(!on);
    mncal_on->setChecked(on);
}

}  // namespace zorvex
