#include "ui/setup/GroupAnnotationTable.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "common/Files.h"
#include "common/Text.h"
#include "screening/CsvRecords.h"
#include "screening/GroupInfoFile.h"
#include "screening/LayoutImport.h"
#include "store/PlateGroups.h"

namespace zorvex {

namespace {

enum Column { GroupColumn, NameColumn, CompoundColumn, ConcentrationColumn, UnitColumn, RoleColumn, Columns };
// The roles in the order of the role lists, as the lists show them.
constexpr GroupRole Roles[] = {GroupRole::None, GroupRole::Negative, GroupRole::Positive, GroupRole::Sample};
constexpr const char* RoleCaptions[] = {"", "Negative control", "Positive control", "Sample"};
constexpr int TableMinimumHeight = 150;

QTableWidgetItem* fixedItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

QString numberText(const std::optional<double>& value) { return QString::fromStdString(csvNumber(value)); }

// A typed concentration: a number with "." or a decimal comma; nothing for an empty box.
std::optional<std::optional<double>> typedConcentration(std::string text) {
    if (trimBlanks(text).empty()) return std::optional<double>();
    if (text.find('.') == std::string::npos) std::replace(text.begin(), text.end(), ',', '.');
    const auto value = parseCsvNumber(text);
    if (!value || *value < 0) return std::nullopt;
    return value;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

std::filesystem::path askForFile(QWidget* parent, bool open) {
    const QString filter = "CSV files (*.csv *.txt);;All files (*)";
    const QString file = open ? QFileDialog::getOpenFileName(parent, "Import plate layout", QString(), filter)
                              : QFileDialog::getSaveFileName(parent, "Export plate layout", "layout.csv", filter);
    return file.toStdString();
}

}  // namespace

GroupAnnotationTable::GroupAnnotationTable(Workspace& workspace, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), workspace_(workspace), dialogs_(dialogs) {
    setObjectName("GroupAnnotationTable");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* header = new QHBoxLayout;
    header->addWidget(new QLabel("Screening annotations (saved with the project as groupinfo.csv):", this));
    header->addStretch();
    cmd_import = new QPushButton("Import CSV...", this);
    cmd_import->setObjectName("cmd_import");
    cmd_export = new QPushButton("Export CSV...", this);
    cmd_export->setObjectName("cmd_export");
    header->addWidget(cmd_import);
    header->addWidget(cmd_export);
    layout->addLayout(header);

    tbl_annotations = new QTableWidget(0, Columns, this);
    tbl_annotations->setObjectName("tbl_annotations");
    tbl_annotations->setHorizontalHeaderLabels({"Group", "Name", "Compound", "Concentration", "Unit", "Role"});
    tbl_annotations->verticalHeader()->hide();
    tbl_annotations->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tbl_annotations->horizontalHeader()->setSectionResizeMode(GroupColumn, QHeaderView::ResizeToContents);
    tbl_annotations->setMinimumHeight(TableMinimumHeight);
    layout->addWidget(tbl_annotations, 1);

    chooseFile_ = [this](bool open) { return askForFile(this, open); };
    connect(tbl_annotations, &QTableWidget::itemChanged, this, &GroupAnnotationTable::cellEdited);
    connect(cmd_import, &QPushButton::clicked, this, [this] {
        const std::filesystem::path file = chooseFile_(true);
        if (!file.empty()) importFrom(file);
    });
    connect(cmd_export, &QPushButton::clicked, this, [this] {
        const std::filesystem::path file = chooseFile_(false);
        if (!file.empty()) exportTo(file);
    });
}

void GroupAnnotationTable::load() {
    if (workspace_.projectFolder != shownProject_) {
        shownProject_ = workspace_.projectFolder;
        GroupInfoRead read = readGroupInfo(shownProject_);
        annotations_ = std::move(read.annotations);
        if (!read.messages.empty()) dialogs_.message(joinLines(read.messages));
    }
    showGroups();
}

void GroupAnnotationTable::showGroups() {
    std::set<int> groups;
    for (int c = 0; c < ChannelCount; ++c) {
        const int group = workspace_.channels.Group[static_cast<std::size_t>(c)];
        if (group >= 0 && group < ChannelSlots && workspace_.plate.WellOfChannel[static_cast<std::size_t>(c)] >= 0) {
            groups.insert(group);
        }
    }
    for (const auto& [group, annotation] : annotations_) groups.insert(group);
    filling_ = true;
    tbl_annotations->setRowCount(static_cast<int>(groups.size()));
    int row = 0;
    for (int group : groups) fillRow(row++, group);
    filling_ = false;
}

void GroupAnnotationTable::fillRow(int row, int group) {
    const auto found = annotations_.find(group);
    const GroupAnnotation annotation = found == annotations_.end() ? GroupAnnotation{} : found->second;
    tbl_annotations->setItem(row, GroupColumn, fixedItem(QString::number(group)));
    tbl_annotations->setItem(row, NameColumn,
                             fixedItem(QString::fromStdString(workspace_.groups.Name[static_cast<std::size_t>(group)])));
    tbl_annotations->setItem(row, CompoundColumn, new QTableWidgetItem(QString::fromStdString(annotation.compound)));
    tbl_annotations->setItem(row, ConcentrationColumn, new QTableWidgetItem(numberText(annotation.concentration)));
    tbl_annotations->setItem(row, UnitColumn, new QTableWidgetItem(QString::fromStdString(annotation.unit)));
    auto* role = new QComboBox(tbl_annotations);
    for (const char* caption : RoleCaptions) role->addItem(caption);
    role->setCurrentIndex(static_cast<int>(std::find(std::begin(Roles), std::end(Roles), annotation.role) - std::begin(Roles)));
    tbl_annotations->setCellWidget(row, RoleColumn, role);
    connect(role, &QComboBox::currentIndexChanged, this, [this, row](int index) { roleChosen(row, index); });
}

int GroupAnnotationTable::groupOfRow(int row) const { return tbl_annotations->item(row, GroupColumn)->text().toInt(); }

// An annotation that says nothing is no annotation.
void GroupAnnotationTable::dropBlank(int group) {
    const GroupAnnotation& annotation = annotations_[group];
    if (annotation.compound.empty() && !annotation.concentration && annotation.unit.empty() &&
        annotation.role == GroupRole::None) {
        annotations_.erase(group);
    }
}

void GroupAnnotationTable::cellEdited(QTableWidgetItem* item) {
    if (filling_) return;
    const int group = groupOfRow(item->row());
    GroupAnnotation& annotation = annotations_[group];
    const std::string text = std::string(trimBlanks(item->text().toStdString()));
    switch (item->column()) {
        case CompoundColumn: annotation.compound = text; break;
        case UnitColumn: annotation.unit = text; break;
        case ConcentrationColumn:
            if (const auto value = typedConcentration(text)) {
                annotation.concentration = *value;
            } else {
                dialogs_.message("The concentration of group " + std::to_string(group) + " must be a number of 0 or "
                                 "more (for example 0.5), or empty: \"" + text + "\" is not.");
            }
            filling_ = true;
            item->setText(numberText(annotation.concentration));
            filling_ = false;
            break;
        default: return;
    }
    dropBlank(group);
}

void GroupAnnotationTable::roleChosen(int row, int index) {
    if (filling_ || index < 0 || index >= static_cast<int>(std::size(Roles))) return;
    const int group = groupOfRow(row);
    annotations_[group].role = Roles[index];
    dropBlank(group);
}

bool GroupAnnotationTable::save() {
    shownProject_ = workspace_.projectFolder;
    if (annotations_.empty() && !fileExists(shownProject_ / GroupInfoFileName)) return true;
    return writeGroupInfo(shownProject_, annotations_, workspace_.groups);
}

void GroupAnnotationTable::importFrom(const std::filesystem::path& file) {
    const auto text = readFile(file, MaxGroupInfoBytes);
    if (!text) {
        dialogs_.message("The layout " + file.string() + " cannot be read: check that it exists and is a CSV file "
                         "under 1 MB.");
        return;
    }
    LayoutImport imported = importLayout(*text, workspace_.plate, workspace_.channels, workspace_.groups);
    for (auto& [group, annotation] : imported.annotations) annotations_[group] = std::move(annotation);
    showGroups();
    const std::string taken = std::to_string(imported.annotations.size()) + " group(s) annotated from " + file.string();
    if (imported.messages.empty()) return;
    dialogs_.message(taken + ". These lines were left out:\n" + joinLines(imported.messages));
}

bool GroupAnnotationTable::exportTo(const std::filesystem::path& file) {
    if (writeFile(file, layoutText(annotations_, workspace_.plate, workspace_.channels))) return true;
    dialogs_.message("The layout cannot be written to " + file.string() + ": check that its folder exists and can be "
                     "written.");
    return false;
}

}  // namespace zorvex
