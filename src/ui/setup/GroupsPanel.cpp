#include "ui/setup/GroupsPanel.h"

#include <QFontMetrics>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "common/Text.h"
#include "ui/setup/GroupAnnotationTable.h"
#include "ui/setup/SetupRules.h"

namespace zorvex {

namespace {

constexpr double ChannelRadius = 5.0;
constexpr double LabelInset = 25.0;
constexpr double GroupLabelDrop = 45.0;
constexpr double LabelBand = 50.0;
constexpr int MapFontPixels = 11;
constexpr int SidePanelWidth = 380;

const QColor WellColour(200, 0, 0);
const QColor ChannelColour(0, 0, 220);
const QColor UnusedChannelColour(225, 185, 0);

QColor groupColour(int group) {
    static const QColor Colours[] = {QColor(0, 150, 0), QColor(0, 0, 220), QColor(200, 0, 0), Qt::black};
    return Colours[group % 4];
}

bool isEnterKey(QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

QListWidget* channelList(const char* name, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setMinimumHeight(200);
    return list;
}

}  // namespace

GroupsPanel::GroupsPanel(Workspace& workspace, Dialogs& dialogs, QWidget* parent)
    : QGroupBox("Biological Replicate Groups", parent), workspace_(workspace), dialogs_(dialogs) {
    setObjectName("Framegrup");
    auto* layout = new QHBoxLayout(this);

    auto* mapColumn = new QVBoxLayout;
    auto* mapHeader = new QHBoxLayout;
    mapHeader->addWidget(new QLabel("Click wells to assign/remove groups", this));
    mapHeader->addStretch();
    mapHeader->addWidget(new QLabel("Channel:", this));
    lblnchannel = new QLabel(this);
    lblnchannel->setObjectName("lblnchannel");
    lblnchannel->setMinimumWidth(60);
    lblnchannel->setStyleSheet("font-weight: bold;");
    mapHeader->addWidget(lblnchannel);
    mapColumn->addLayout(mapHeader);
    Picwell = new PlotSurface(this);
    Picwell->setObjectName("Picwell");
    Picwell->setKeepAspect(true);
    QFont mapFont = Picwell->font();
    mapFont.setPixelSize(MapFontPixels);
    Picwell->setFont(mapFont);
    Picwell->setMinimumSize(480, 340);
    mapColumn->addWidget(Picwell, 3);
    annotations = new GroupAnnotationTable(workspace_, dialogs_, this);
    mapColumn->addWidget(annotations, 2);
    layout->addLayout(mapColumn, 1);
    layout->addWidget(buildLists());

    connect(Picwell, &PlotSurface::resized, this, &GroupsPanel::drawMap);
    connect(Picwell, &PlotSurface::pressed, this, &GroupsPanel::onPressed);
    connect(Picwell, &PlotSurface::moved, this, &GroupsPanel::onMoved);
    connect(Picwell, &PlotSurface::released, this, &GroupsPanel::onReleased);
}

QWidget* GroupsPanel::buildLists() {
    auto* side = new QWidget(this);
    side->setFixedWidth(SidePanelWidth);
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);

    column->addWidget(new QLabel("Groups (Dblclick to Rename):", side));
    combogrup = new QListWidget(side);
    combogrup->setObjectName("combogrup");
    combogrup->setMinimumHeight(150);
    column->addWidget(combogrup, 1);

    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel("Assigned channels:", side), 0, 0);
    lists->addWidget(new QLabel("Free channels:", side), 0, 2);
    lstgrup = channelList("lstgrup", side);
    lstchgrup = channelList("lstchgrup", side);
    lists->addWidget(lstgrup, 1, 0);
    lists->addWidget(lstchgrup, 1, 2);
    auto* arrows = new QVBoxLayout;
    Command12 = new QPushButton("<=", side);
    Command12->setObjectName("Command12");
    Command13 = new QPushButton("=>", side);
    Command13->setObjectName("Command13");
    for (QPushButton* arrow : {Command12, Command13}) arrow->setFixedWidth(44);
    arrows->addStretch();
    arrows->addWidget(Command12);
    arrows->addWidget(Command13);
    arrows->addStretch();
    lists->addLayout(arrows, 1, 1);
    column->addLayout(lists, 2);

    auto* sets = new QHBoxLayout;
    sets->addWidget(new QLabel("SET:", side));
    Combo_sets = new QComboBox(side);
    Combo_sets->setObjectName("Combo_sets");
    sets->addWidget(Combo_sets, 1);
    cmd_goset = new QPushButton("Go...", side);
    cmd_goset->setObjectName("cmd_goset");
    sets->addWidget(cmd_goset);
    column->addLayout(sets);
    Cmd_clear = new QPushButton("CLEAR LIST", side);
    Cmd_clear->setObjectName("Cmd_clear");
    column->addWidget(Cmd_clear);

    connect(combogrup, &QListWidget::currentRowChanged, this, [this] {
        if (!filling_) fillAssignedList(selectedGroup());
    });
    connect(combogrup, &QListWidget::itemDoubleClicked, this, &GroupsPanel::renameGroup);
    connect(lstchgrup, &QListWidget::itemDoubleClicked, this, [this] { moveWell(lstchgrup, selectedGroup()); });
    connect(lstgrup, &QListWidget::itemDoubleClicked, this, [this] { moveWell(lstgrup, -1); });
    connect(Command12, &QPushButton::clicked, this, [this] { moveWell(lstchgrup, selectedGroup()); });
    connect(Command13, &QPushButton::clicked, this, [this] { moveWell(lstgrup, -1); });
    connect(cmd_goset, &QPushButton::clicked, this, &GroupsPanel::tile);
    connect(Cmd_clear, &QPushButton::clicked, this, &GroupsPanel::askClear);
    for (QListWidget* list : {combogrup, lstgrup, lstchgrup}) list->installEventFilter(this);
    return side;
}

bool GroupsPanel::eventFilter(QObject* watched, QEvent* event) {
    if (isEnterKey(event)) {
        if (watched == combogrup) {
            renameGroup();
            return true;
        }
        if (watched == lstchgrup || watched == lstgrup) {
            moveWell(static_cast<QListWidget*>(watched), watched == lstchgrup ? selectedGroup() : -1);
            return true;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

int GroupsPanel::selectedGroup() const {
    QListWidgetItem* item = combogrup->currentItem();
    return item ? groupOfItem(item->text().toStdString()) : -1;
}

void GroupsPanel::reload() {
    Combo_sets->clear();
    for (const std::string& item : blockPatternItems(workspace_.plate))
        Combo_sets->addItem(QString::fromStdString(item));
    Combo_sets->setCurrentIndex(defaultPatternIndex(static_cast<std::size_t>(Combo_sets->count())));
    annotations->load();
    fillGroupList(0);
    fillAssignedList(selectedGroup());
    fillFreeList();
    // The pointer state belongs to the plate drawn before.
    dragging_ = false;
    lblnchannel->clear();
    Picwell->setOutline(std::nullopt);
    drawMap();
}

void GroupsPanel::fillGroupList(int group) {
    filling_ = true;
    combogrup->clear();
    std::vector<std::string> items = groupListItems(workspace_.channels, workspace_.groups);
    for (const std::string& item : items) combogrup->addItem(QString::fromStdString(item));
    combogrup->setCurrentRow(groupItemIndex(items, group));
    filling_ = false;
    annotations->showGroups();
}

void GroupsPanel::fillAssignedList(int group) {
    lstgrup->clear();
    for (int channel : assignedChannels(workspace_.channels, workspace_.plate, group)) {
        lstgrup->addItem(QString::fromStdString(channelName(workspace_.plate, channel)));
    }
}

void GroupsPanel::fillFreeList() {
    lstchgrup->clear();
    for (int channel : freeChannels(workspace_.channels, workspace_.plate)) {
        lstchgrup->addItem(QString::fromStdString(channelName(workspace_.plate, channel)));
    }
}

// The lists after a change of groups, with the same group selected.
void GroupsPanel::refreshLists() {
    int group = selectedGroup();
    fillGroupList(group);
    fillAssignedList(selectedGroup());
    fillFreeList();
}

void GroupsPanel::clearAllGroups() {
    clearGroups(workspace_.channels, workspace_.groups);
    fillGroupList(0);
    fillAssignedList(selectedGroup());
    fillFreeList();
    drawMap();
}

void GroupsPanel::renameGroup() {
    QListWidgetItem* item = combogrup->currentItem();
    if (!item) return;
    const std::string text = item->text().toStdString();
    const int group = groupOfItem(text);
    if (group < 0 || group >= ChannelSlots) return;
    std::string answer = dialogs_.input("Enter New Group (" + text.substr(0, 3) + ") Name",
                                        text.size() > 4 ? text.substr(4) : std::string());
    std::optional<std::string> name = typedName(answer);
    if (!name) return;
    workspace_.groups.Name[group] = *name;
    item->setText(QString::fromStdString(formatDigits(group, 3) + "_" + *name));
    annotations->showGroups();  // its Name column shows the new name at once
}

void GroupsPanel::moveWell(QListWidget* list, int group) {
    if (list->count() == 0) return;
    if (list->currentRow() < 0) list->setCurrentRow(0);
    const int remembered = list->currentRow();
    std::optional<int> well = wellOfItem(workspace_.plate, list->currentItem()->text().toStdString());
    if (!well) return;
    setWellGroup(workspace_.channels, workspace_.plate, *well, group);
    refreshLists();
    if (list->count() > 0) list->setCurrentRow(std::min(remembered, list->count() - 1));
    drawMap();
}

void GroupsPanel::tile() {
    std::optional<BlockPattern> block = parseBlockPattern(Combo_sets->currentText().toStdString());
    if (!block) return;
    tilePlate(workspace_.channels, workspace_.groups, workspace_.plate, *block);
    fillGroupList(0);
    fillAssignedList(selectedGroup());
    fillFreeList();
    drawMap();
}

void GroupsPanel::askClear() {
    if (dialogs_.message("Do you like to Clear Group lists?", Buttons::YesNo) == Answer::Yes) clearAllGroups();
}

void GroupsPanel::drawMap() {
    const PlateFormat& plate = workspace_.plate;
    const MapGeometry map = mapGeometry(plate);
    Picwell->setScale(map.left, map.top, map.right, map.bottom);
    Picwell->clear();
    for (int k = 0; k < plate.Columns; ++k) {
        for (int r = 0; r < plate.Rows; ++r) {
            Picwell->box(k * map.columnPitch + map.columnOffset, r * map.rowPitch + map.rowOffset,
                         (k + 1) * map.columnPitch + map.columnOffset, (r + 1) * map.rowPitch + map.rowOffset,
                         WellColour);
        }
    }
    for (int c = 0; c < ChannelCount; ++c) {
        bool listed = workspace_.channels.Enabled[c] && plate.WellOfChannel[c] >= 0;
        Picwell->circle(c / 16 * 100 + 50, c % 16 * 100 + 50, ChannelRadius,
                        listed ? ChannelColour : UnusedChannelColour);
    }
    // Label positions use the unrounded pitch, as the wells' own coordinates do.
    auto labelX = [&](int k) { return k * 100 * plate.ColumnPitch + map.columnOffset + LabelInset; };
    auto labelY = [&](int r) { return r * 100 * plate.RowPitch + map.rowOffset; };
    const double textHeight = std::abs(Picwell->toUser(QPointF(0, QFontMetrics(Picwell->font()).height())).y() -
                                       Picwell->toUser(QPointF(0, 0)).y());
    for (int k = 0; k < plate.Columns; ++k) {
        for (int r = 0; r < plate.Rows; ++r) {
            std::vector<int> channels = channelsOfWell(plate, wellOfCell(plate, {k, r}));
            if (channels.empty()) continue;
            int group = workspace_.channels.Group[channels.front()];
            if (group < 0) continue;
            const double y = groupLabelTop(labelY(r), labelY(r + 1), textHeight, ChannelRadius, GroupLabelDrop);
            Picwell->text(labelX(k), y, QString("G%1").arg(group), groupColour(group));
        }
    }
    for (int k = 0; k < plate.Columns; ++k) {
        Picwell->text(labelX(k), map.rowOffset - LabelBand, QString::number(k + 1), Qt::black);
    }
    for (int r = 0; r < plate.Rows; ++r) {
        Picwell->text(map.columnOffset - LabelBand, labelY(r), QString(QChar('A' + r)), Qt::black);
    }
}

// Follows the pointer: the cell under it, and whether it is off the plate.
bool GroupsPanel::trackPointer(double x, double y, Cell& cell) {
    cell = cellAt(workspace_.plate, x, y);
    outside_ = !isOnPlate(workspace_.plate, cell);
    return !outside_;
}

void GroupsPanel::outlineCells(Cell from, Cell to) {
    const MapGeometry map = mapGeometry(workspace_.plate);
    auto x = [&](int column) { return column * map.columnPitch + map.columnOffset; };
    auto y = [&](int row) { return row * map.rowPitch + map.rowOffset; };
    QPointF first(x(std::min(from.column, to.column)), y(std::min(from.row, to.row)));
    QPointF last(x(std::max(from.column, to.column) + 1), y(std::max(from.row, to.row) + 1));
    Picwell->setOutline(QRectF(first, last));
}

void GroupsPanel::onMoved(double x, double y, Qt::MouseButtons buttons) {
    Cell cell;
    if (!trackPointer(x, y, cell)) {
        Picwell->setOutline(std::nullopt);
        return;
    }
    lblnchannel->setText(QString::fromStdString(wellName(workspace_.plate, wellOfCell(workspace_.plate, cell))));
    bool held = buttons & (Qt::LeftButton | Qt::RightButton);
    outlineCells(dragging_ && held ? pressedCell_ : cell, cell);
}

void GroupsPanel::onPressed(double x, double y, Qt::MouseButton button) {
    if (button != Qt::LeftButton && button != Qt::RightButton) return;
    Cell cell;
    if (!trackPointer(x, y, cell) || !groupMode_) return;
    const int well = wellOfCell(workspace_.plate, cell);
    lblnchannel->setText(QString::number(well));
    const bool left = button == Qt::LeftButton;
    applyToWell(workspace_.channels, workspace_.plate, well, selectedGroup(),
                left ? MapAction::FillFree : MapAction::Free);
    pressedCell_ = cell;
    dragging_ = true;
    if (left) fillGroupList(selectedGroup());
    fillAssignedList(selectedGroup());
    fillFreeList();
    drawMap();
}

void GroupsPanel::onReleased(double x, double y, Qt::MouseButton button) {
    if (button != Qt::LeftButton && button != Qt::RightButton) return;
    Cell cell;
    if (!trackPointer(x, y, cell) || !groupMode_) {
        // A drag that ends off the plate changes nothing.
        dragging_ = false;
        Picwell->setOutline(std::nullopt);
        return;
    }
    const MapAction action = button == Qt::LeftButton ? MapAction::Assign : MapAction::Free;
    for (int well : wellsBetween(workspace_.plate, dragging_ ? pressedCell_ : cell, cell)) {
        lblnchannel->setText(QString::number(well));
        applyToWell(workspace_.channels, workspace_.plate, well, selectedGroup(), action);
    }
    refreshLists();
    dragging_ = false;
    outlineCells(cell, cell);
    drawMap();
}

}  // namespace zorvex
