#include "ui/setup/SettingsPanels.h"

#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/setup/SetupRules.h"

namespace zorvex {

namespace {

const QStringList AcquisitionModes = {"0_Offline",     "1_Default",     "2_Fast(0.31)",
                                      "3_Fast(32.63)", "4_Fast(64.95)", "5_Fast(96.127)"};
const QStringList DspMethods = {"0_Threshold+Binary (Old Method.w/filters)", "1_Threshold Avrg (Default.Agar&Liquid)"};
const QStringList NoYes = {"NO", "YES"};
constexpr int YesIndex = 1;
constexpr int NumberBoxWidth = 90;

// A stored index that the list does not have (a hand-edited setup.dat) shows
// no selection and is kept until the operator picks an entry.
void selectIndex(QComboBox* box, int index) { box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1); }

// Stores what a box's rule makes of its text, and shows the corrected value.
void applyRule(QLineEdit* box, std::int16_t& field, BoxValue (*rule)(std::string_view)) {
    BoxValue result = rule(box->text().toStdString());
    field = result.value;
    if (result.shownText) {
        QString shown = QString::fromStdString(*result.shownText);
        if (box->text() != shown) box->setText(shown);
    }
}

QWidget* withUnit(QWidget* box, const QString& unit, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box);
    if (!unit.isEmpty()) layout->addWidget(new QLabel(unit, row));
    layout->addStretch();
    return row;
}

QLabel* noteLabel(const QString& text, QWidget* parent) {
    auto* note = new QLabel(text, parent);
    note->setStyleSheet("color: #555; font-style: italic;");
    return note;
}

}  // namespace

ConfigPanel::ConfigPanel(ProjectSetup& setup, QWidget* parent) : QGroupBox("Acquisition setup", parent), setup_(setup) {
    setObjectName("Frameconfig");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(noteLabel("*Please select the appropriate configuration for your experiment", this));
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    form->setHorizontalSpacing(12);
    form->setVerticalSpacing(10);

    Combowell = new QComboBox(this);
    Combowell->setObjectName("Combowell");
    Combowell->setEditable(true);
    Combowell->setMinimumWidth(140);
    cmdlod = new QPushButton("Go", this);
    cmdlod->setObjectName("cmdlod");
    auto* plateRow = new QWidget(this);
    auto* plateLayout = new QHBoxLayout(plateRow);
    plateLayout->setContentsMargins(0, 0, 0, 0);
    plateLayout->addWidget(Combowell);
    plateLayout->addWidget(cmdlod);
    plateLayout->addStretch();
    form->addRow("Well Format:", plateRow);

    Combo_aqmode = new QComboBox(this);
    Combo_aqmode->setObjectName("Combo_aqmode");
    form->addRow("Acq Mode:", withUnit(Combo_aqmode, "", this));
    Txtlapse = numberBox("Txtlapse");
    form->addRow("Acq. Lapse:", withUnit(Txtlapse, "minutes", this));
    Txtsample = numberBox("Txtsample");
    form->addRow("Sample rate:", withUnit(Txtsample, "/sec", this));
    Txtbuffer = numberBox("Txtbuffer");
    form->addRow("Real-time Buffer:", withUnit(Txtbuffer, "bytes", this));
    ComboDSP = new QComboBox(this);
    ComboDSP->setObjectName("ComboDSP");
    form->addRow("DSP method:", withUnit(ComboDSP, "", this));
    Txt_dspinterval = numberBox("Txt_dspinterval");
    form->addRow("DSP Interval:", withUnit(Txt_dspinterval, "bytes", this));
    layout->addLayout(form);
    layout->addStretch();

    connect(Combo_aqmode, &QComboBox::activated, this,
            [this](int index) { setup_.Aq_mode = static_cast<std::int16_t>(index); });
    connect(ComboDSP, &QComboBox::activated, this,
            [this](int index) { setup_.DSP_Method = static_cast<std::int16_t>(index); });
    numbers_ = {{Txtlapse, "Acq. Lapse", &ProjectSetup::Aq_lapse, lapseMinutes},
                {Txtsample, "Sample rate", &ProjectSetup::Sample_Rate, anyInt16},
                {Txtbuffer, "Real-time Buffer", &ProjectSetup::RT_Buffer, bufferSamples},
                {Txt_dspinterval, "DSP Interval", &ProjectSetup::DSP_Interval, anyInt16}};
    lbl_numberproblem = new QLabel(this);
    lbl_numberproblem->setObjectName("lbl_numberproblem");
    lbl_numberproblem->setStyleSheet("color: #c00000;");
    lbl_numberproblem->setWordWrap(true);
    layout->insertWidget(layout->count() - 1, lbl_numberproblem);
    for (const NumberField& number : numbers_) {
        // Whatever is typed stays as typed: a clamp is shown only once the
        // operator leaves the box, so that 45 can be typed into an emptied box.
        connect(number.box, &QLineEdit::textChanged, this, [this, number] { takeTyped(number); });
        number.box->installEventFilter(this);
    }
}

void ConfigPanel::takeTyped(const NumberField& number) {
    showNumberProblem();
    // The buffer is taken only when the operator leaves the box, so that
    // typing 5000 passes through 5, 50 and 500 without a stored 200.
    if (number.box == Txtbuffer || wholeNumberProblem(number.caption, number.box->text().toStdString())) return;
    setup_.*number.field = number.rule(number.box->text().toStdString()).value;
}

void ConfigPanel::showNumberProblem() {
    const std::optional<std::string> problem = numberProblem();
    lbl_numberproblem->setText(QString::fromStdString(problem.value_or("")));
    lbl_numberproblem->setVisible(problem.has_value());
}

std::optional<std::string> ConfigPanel::numberProblem() const {
    for (const NumberField& number : numbers_) {
        if (auto problem = wholeNumberProblem(number.caption, number.box->text().toStdString())) return problem;
    }
    return std::nullopt;
}

QLineEdit* ConfigPanel::numberBox(const char* name) {
    auto* box = new QLineEdit(this);
    box->setObjectName(name);
    box->setFixedWidth(NumberBoxWidth);
    box->setAlignment(Qt::AlignRight);
    // Only a sign and the five digits a 16-bit setting can hold get in.
    box->setValidator(new QRegularExpressionValidator(QRegularExpression("-?[0-9]{0,5}"), box));
    return box;
}

bool ConfigPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        for (const NumberField& number : numbers_) {
            if (number.box == watched && !wholeNumberProblem(number.caption, number.box->text().toStdString())) {
                applyRule(number.box, setup_.*number.field, number.rule);
            }
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

void ConfigPanel::load(const std::vector<std::string>& plateNames) {
    Combowell->clear();
    for (const std::string& name : plateNames) Combowell->addItem(QString::fromStdString(name));
    auto match = std::find(plateNames.begin(), plateNames.end(), setup_.Plate_format);
    if (match == plateNames.end() && !plateNames.empty()) --match;
    Combowell->setCurrentIndex(static_cast<int>(match - plateNames.begin()));

    Combo_aqmode->clear();
    Combo_aqmode->addItems(AcquisitionModes);
    selectIndex(Combo_aqmode, setup_.Aq_mode);

    for (const NumberField& number : numbers_) {
        number.box->setText(QString::number(setup_.*number.field));
        // A stored value the box would not take (a hand-edited file) shows as the box corrects it.
        if (number.box == Txtlapse) applyRule(number.box, setup_.*number.field, number.rule);
    }

    ComboDSP->clear();
    ComboDSP->addItems(DspMethods);
    selectIndex(ComboDSP, setup_.DSP_Method);
}

void ConfigPanel::showPlateFormat() {
    QString name = QString::fromStdString(setup_.Plate_format);
    int index = Combowell->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) {
        Combowell->setCurrentIndex(index);
    } else {
        Combowell->setEditText(name);
    }
}

OutputPanel::OutputPanel(ProjectSetup& setup, QWidget* parent) : QGroupBox("File Output", parent), setup_(setup) {
    setObjectName("Frameout");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    form->setHorizontalSpacing(12);
    form->setVerticalSpacing(10);
    Combosavecount = new QComboBox(this);
    Combosavecount->setObjectName("Combosavecount");
    form->addRow("Save Counts/minute", withUnit(Combosavecount, "", this));
    Combosavereal = new QComboBox(this);
    Combosavereal->setObjectName("Combosavereal");
    form->addRow("Save Real-time data:", withUnit(Combosavereal, "", this));
    Txtfolder = new QLineEdit(this);
    Txtfolder->setObjectName("Txtfolder");
    Txtfolder->setReadOnly(true);
    Txtfolder->setMinimumWidth(420);
    form->addRow("Working Folder:", Txtfolder);
    layout->addLayout(form);
    layout->addStretch();

    connect(Combosavecount, &QComboBox::activated, this, [this] {
        Combosavecount->setCurrentIndex(YesIndex);
        setup_.Save_counts = 1;
    });
    connect(Combosavereal, &QComboBox::activated, this,
            [this] { setup_.Save_real = Combosavereal->currentText() == "YES" ? 1 : 0; });
}

void OutputPanel::load() {
    Combosavecount->clear();
    Combosavecount->addItems(NoYes);
    Combosavecount->setCurrentIndex(YesIndex);
    setup_.Save_counts = 1;
    Combosavereal->clear();
    Combosavereal->addItems(NoYes);
    selectIndex(Combosavereal, setup_.Save_real);
}

ToolsPanel::ToolsPanel(ProjectSetup& setup, QWidget* parent) : QGroupBox("Tools", parent), setup_(setup) {
    setObjectName("frametool");
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(10);
    auto check = [this, layout](const char* name, const char* caption) {
        auto* box = new QCheckBox(caption, this);
        box->setObjectName(name);
        layout->addWidget(box);
        return box;
    };
    chkcalib = check("chkcalib", "Calibration Control");
    chklight = check("chklight", "Light Control*");
    chktemp = check("chktemp", "Temperature Control*");
    Chk_mn4 = check("Chk_mn4", "Menu 4");
    Chk_mn5 = check("Chk_mn5", "Menu 5");
    Chk_mn6 = check("Chk_mn6", "Menu 6");
    // Menus 4 to 6 only show their flags; the editor never changes them.
    for (QCheckBox* shown : {Chk_mn4, Chk_mn5, Chk_mn6}) shown->setEnabled(false);
    layout->addSpacing(8);
    layout->addWidget(noteLabel("*Available only in some Hardware versions!", this));
    layout->addStretch();

    connect(chklight, &QCheckBox::clicked, this, [this](bool on) {
        setup_.Menu2_Light = on ? 1 : 0;
        emit toolPanelsChanged();
        emit lightControlSwitched(on);
    });
    connect(chktemp, &QCheckBox::clicked, this, [this](bool on) {
        setup_.Menu3_Temp = on ? 1 : 0;
        emit toolPanelsChanged();
    });
}

void ToolsPanel::load() {
    chkcalib->setChecked(true);
    setup_.Menu1_Cal = 1;
    chkcalib->setEnabled(false);
    chklight->setChecked(setup_.Menu2_Light != 0);
    setup_.Menu2_Light = chklight->isChecked() ? 1 : 0;
    chktemp->setChecked(setup_.Menu3_Temp != 0);
    setup_.Menu3_Temp = chktemp->isChecked() ? 1 : 0;
    Chk_mn4->setChecked(setup_.Menu4 != 0);
    Chk_mn5->setChecked(setup_.Menu5 != 0);
    Chk_mn6->setChecked(setup_.Menu6 != 0);
    emit toolPanelsChanged();
}

}  // namespace zorvex
