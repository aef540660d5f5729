#include "ui/report/FigureDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPixmap>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "common/Files.h"
#include "figures/FigureCanvas.h"
#include "figures/Figures.h"
#include "ui/report/BinSizeBox.h"

namespace zorvex {

namespace {

// In the order of FigureKinds, ErrorBand, HeatValue and PageSize.
constexpr const char* KindCaptions[] = {"Group activity over time", "Plate heat map", "Actogram"};
constexpr const char* ErrorCaptions[] = {"\u00b1 standard error", "\u00b1 standard deviation", "No band"};
constexpr const char* ValueCaptions[] = {"Total counts", "Mean counts per hour"};
constexpr const char* SizeCaptions[] = {"Page column (85 mm wide)", "Slide (254 x 143 mm)"};
constexpr const char* FormatCaptions[] = {"PDF", "SVG", "PNG (300 dpi)"};
constexpr const char* FormatExtensions[] = {".pdf", ".svg", ".png"};
// The subject entries that are not a group.
constexpr int EveryGroupEntry = -1;
constexpr int WellEntry = -2;
// Typing settles before the figure is drawn again.
constexpr int PreviewDelayMs = 250;
constexpr double MmPerInch = 25.4;

template <typename Widget>
Widget* named(Widget* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

template <std::size_t N>
QComboBox* comboOf(const char* name, const char* const (&captions)[N], QWidget* parent) {
    auto* combo = named(new QComboBox(parent), name);
    for (const char* caption : captions) combo->addItem(caption);
    return combo;
}

}  // namespace

FigureDialog::FigureDialog(const std::filesystem::path& programFolder, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), programFolder_(programFolder), dialogs_(dialogs) {
    setObjectName("FigureDialog");
    setWindowTitle("Figures");
    auto* layout = new QVBoxLayout(this);
    auto* body = new QHBoxLayout;
    body->addWidget(buildSettings(), 0, Qt::AlignTop);
    picPreview = named(new QLabel(this), "picPreview");
    picPreview->setMinimumSize(600, 460);
    picPreview->setAlignment(Qt::AlignCenter);
    picPreview->setFrameShape(QFrame::StyledPanel);
    picPreview->setStyleSheet("background: white");
    body->addWidget(picPreview, 1);
    layout->addLayout(body, 1);

    auto* bottom = new QHBoxLayout;
    lblStatus = named(new QLabel(this), "lblStatus");
    lblStatus->setWordWrap(true);
    lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    bottom->addWidget(lblStatus, 1);
    cmdSave = named(new QPushButton("Save...", this), "cmdSave");
    cmdClose = named(new QPushButton("Close", this), "cmdClose");
    bottom->addWidget(cmdSave);
    bottom->addWidget(cmdClose);
    layout->addLayout(bottom);
    resize(1040, 620);

    previewTimer_.setSingleShot(true);
    previewTimer_.setInterval(PreviewDelayMs);
    connect(&previewTimer_, &QTimer::timeout, this, &FigureDialog::drawPreview);
    connect(cmdSave, &QPushButton::clicked, this, &FigureDialog::save);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
}

QWidget* FigureDialog::buildSettings() {
    auto* area = new QWidget(this);
    area->setFixedWidth(340);
    form_ = new QFormLayout(area);
    form_->setContentsMargins(0, 0, 0, 0);
    cmbKind = comboOf("cmbKind", KindCaptions, area);
    form_->addRow("Figure:", cmbKind);
    cmbBin = binSizeBox("cmbBin", area);
    form_->addRow("Bin size (min):", cmbBin);
    cmbError = comboOf("cmbError", ErrorCaptions, area);
    form_->addRow("Band:", cmbError);
    txtWindow = named(new QLineEdit(area), "txtWindow");
    txtWindow->setPlaceholderText("all, or H1-H2 such as 0-24");
    form_->addRow("Hours from start:", txtWindow);
    lstGroups = named(new QListWidget(area), "lstGroups");
    lstGroups->setMaximumHeight(150);
    form_->addRow("Groups:", lstGroups);
    chkPerGroup = named(new QCheckBox("One panel per group", area), "chkPerGroup");
    form_->addRow("", chkPerGroup);
    cmbTime = named(new QComboBox(area), "cmbTime");
    cmbTime->addItems({"Zeitgeber time (with a daily light)", "Hours from the start"});
    form_->addRow("Time axis:", cmbTime);
    cmbValue = comboOf("cmbValue", ValueCaptions, area);
    form_->addRow("Well colour:", cmbValue);
    cmbSubject = named(new QComboBox(area), "cmbSubject");
    form_->addRow("Actogram of:", cmbSubject);
    cmbWell = named(new QComboBox(area), "cmbWell");
    form_->addRow("Well:", cmbWell);
    cmbSize = comboOf("cmbSize", SizeCaptions, area);
    form_->addRow("Size:", cmbSize);
    cmbFormat = comboOf("cmbFormat", FormatCaptions, area);
    form_->addRow("File type:", cmbFormat);

    for (QComboBox* combo : {cmbKind, cmbError, cmbTime, cmbValue, cmbSubject, cmbWell, cmbSize}) {
        connect(combo, &QComboBox::currentIndexChanged, this, &FigureDialog::schedulePreview);
    }
    connect(cmbKind, &QComboBox::currentIndexChanged, this, &FigureDialog::showSettingsOfKind);
    connect(cmbSubject, &QComboBox::currentIndexChanged, this, &FigureDialog::showSettingsOfKind);
    connect(cmbBin, &QComboBox::currentTextChanged, this, &FigureDialog::schedulePreview);
    connect(txtWindow, &QLineEdit::textChanged, this, &FigureDialog::schedulePreview);
    connect(lstGroups, &QListWidget::itemChanged, this, &FigureDialog::schedulePreview);
    connect(chkPerGroup, &QCheckBox::toggled, this, &FigureDialog::schedulePreview);
    showSettingsOfKind();
    return area;
}

void FigureDialog::showSettingsOfKind() {
    const FigureKind kind = FigureKinds[cmbKind->currentIndex()];
    const std::array<std::pair<QWidget*, FigureSetting>, 8> rows = {{{cmbError, FigureSetting::Error},
                                                                     {txtWindow, FigureSetting::Window},
                                                                     {lstGroups, FigureSetting::Groups},
                                                                     {chkPerGroup, FigureSetting::PerGroup},
                                                                     {cmbTime, FigureSetting::TimeAxis},
                                                                     {cmbValue, FigureSetting::HeatValue},
                                                                     {cmbSubject, FigureSetting::ActogramSubject},
                                                                     {cmbWell, FigureSetting::ActogramSubject}}};
    for (const auto& [widget, setting] : rows) form_->setRowVisible(widget, settingApplies(setting, kind));
    if (cmbSubject->currentData().toInt() != WellEntry) form_->setRowVisible(cmbWell, false);
}

bool FigureDialog::openOn(const std::filesystem::path& acquisitionFolder, const QString& binText) {
    if (acquisitionFolder.empty() || !fileExists(acquisitionFolder / "counts.bin")) {
        dialogs_.message("Activity file not Found");
        return false;
    }
    auto plate = loadReportPlate(acquisitionFolder, programFolder_, dialogs_);
    if (!plate) return false;
    acquisition_ = acquisitionFolder;
    setWindowTitle("Figures - " + QString::fromStdString(acquisitionFolder.filename().string()));
    cmbBin->setEditText(binText);
    fillOffer(figureOfferOf(*plate));
    savedNotice_.clear();
    show();
    raise();
    activateWindow();
    drawPreview();
    return true;
}

void FigureDialog::fillOffer(const FigureOffer& offer) {
    const QSignalBlocker quietGroups(lstGroups);
    const QSignalBlocker quietSubject(cmbSubject);
    const QSignalBlocker quietWell(cmbWell);
    lstGroups->clear();
    cmbSubject->clear();
    cmbSubject->addItem("Every group", EveryGroupEntry);
    for (const FigureGroup& group : offer.groups) {
        const QString caption = QString("%1: %2").arg(group.group).arg(QString::fromStdString(group.name));
        auto* item = new QListWidgetItem(caption, lstGroups);
        item->setData(Qt::UserRole, group.group);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        cmbSubject->addItem("Group " + caption, group.group);
    }
    cmbSubject->addItem("One well (with its group's mean)", WellEntry);
    cmbWell->clear();
    for (const std::string& well : offer.wells) cmbWell->addItem(QString::fromStdString(well));
    showSettingsOfKind();
}

std::optional<FigureChoices> FigureDialog::choices() {
    FigureChoices chosen;
    chosen.kind = FigureKinds[cmbKind->currentIndex()];
    auto refuse = [this](const QString& what, const std::string& problem) {
        showStatus(what + ": " + QString::fromStdString(problem), true);
        return std::nullopt;
    };
    const auto bin = readBinMinutes(cmbBin->currentText().toStdString());
    if (!bin.value) return refuse("Bin size", bin.problem);
    chosen.binMinutes = bin.value;
    const std::string window = txtWindow->text().trimmed().toStdString();
    if (settingApplies(FigureSetting::Window, chosen.kind) && !window.empty()) {
        const auto hours = readHourWindow(window);
        if (!hours.value) return refuse("Hours from start", hours.problem);
        chosen.window = hours.value;
    }
    if (settingApplies(FigureSetting::Groups, chosen.kind)) {
        for (int row = 0; row < lstGroups->count(); ++row) {
            const QListWidgetItem* item = lstGroups->item(row);
            if (item->checkState() == Qt::Checked) chosen.groups.push_back(item->data(Qt::UserRole).toInt());
        }
        if (chosen.groups.empty()) return refuse("Groups", "tick at least one group to draw");
        // Every group ticked draws every group, as an untouched list does.
        if (static_cast<int>(chosen.groups.size()) == lstGroups->count()) chosen.groups.clear();
    }
    chosen.error = static_cast<ErrorBand>(cmbError->currentIndex());
    chosen.perGroup = chkPerGroup->isChecked();
    chosen.zeitgeber = cmbTime->currentIndex() == 0;
    chosen.heatValue = static_cast<HeatValue>(cmbValue->currentIndex());
    const int subject = cmbSubject->currentData().toInt();
    chosen.subject = subject == EveryGroupEntry ? ActogramSubject::AllGroups
                     : subject == WellEntry     ? ActogramSubject::WellAndGroup
                                                : ActogramSubject::Group;
    chosen.group = std::max(subject, 0);
    chosen.well = cmbWell->currentText().toStdString();
    chosen.page = static_cast<PageSize>(cmbSize->currentIndex());
    return chosen;
}

void FigureDialog::schedulePreview() {
    if (!acquisition_.empty()) previewTimer_.start();
}

void FigureDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    schedulePreview();
}

void FigureDialog::drawPreview() {
    previewTimer_.stop();
    picPreview->clear();
    const std::optional<FigureChoices> chosen = choices();
    if (!chosen) return;
    const FigureRequest request = figureRequestOf(*chosen, acquisition_, programFolder_, {});
    // As wide as the preview, in the screen's own pixels.
    const double ratio = picPreview->devicePixelRatioF();
    const double dotsPerInch = picPreview->contentsRect().width() * ratio / (styleOf(request.page).widthMm / MmPerInch);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const FigurePreview preview = previewFigure(request, dotsPerInch);
    QApplication::restoreOverrideCursor();
    // A figure drawn without remarks leaves the last saved file on the status line.
    const bool remark = !preview.outcome.message.empty();
    showStatus(remark ? QString::fromStdString(preview.outcome.message) : savedNotice_, remark && !preview.outcome.written);
    if (preview.image.isNull()) return;
    QPixmap picture = QPixmap::fromImage(preview.image);
    const QSize room = picPreview->contentsRect().size() * ratio;
    if (picture.height() > room.height()) picture = picture.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    picture.setDevicePixelRatio(ratio);
    picPreview->setPixmap(picture);
}

void FigureDialog::save() {
    const std::optional<FigureChoices> chosen = choices();
    if (!chosen) return;
    const QString extension = FormatExtensions[cmbFormat->currentIndex()];
    const std::filesystem::path suggested = freeFigureFile(acquisition_, chosen->kind, extension.toStdString());
    const QString file = askFigureFile(this, QString::fromStdString(suggested.string()));
    if (file.isEmpty()) return;
    const SavedFigure saved = saveFigure(figureRequestOf(*chosen, acquisition_, programFolder_, {}), file, extension);
    showStatus(saved.notice, !saved.written);
    if (saved.written) savedNotice_ = saved.notice;
}

void FigureDialog::showStatus(const QString& text, bool failure) {
    lblStatus->setStyleSheet(failure ? "color: #b00020" : "");
    lblStatus->setText(text);
}

}  // namespace zorvex
