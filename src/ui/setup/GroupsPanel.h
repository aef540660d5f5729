#pragma once
// The groups panel of the setup editor (Framegrup): the plate map Picwell on
// which wells are clicked or dragged into biological replicate groups, the
// group list, the assigned and free channel lists, block tiling and clearing.
// Changes go to the current project's channel groups and group names in memory.

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "platform/Dialogs.h"
#include "store/PlateGroups.h"
#include "store/Workspace.h"
#include "ui/common/PlotSurface.h"

namespace zorvex {

class GroupAnnotationTable;

class GroupsPanel : public QGroupBox {
    Q_OBJECT
public:
    GroupsPanel(Workspace& workspace, Dialogs& dialogs, QWidget* parent);

    /// Fills the pattern list, the group list (group 0 selected), the
    /// assigned and free lists, and draws the map.
    void reload();

    /// Takes every channel out of its group, names every group "Free", and
    /// shows the emptied lists and map.
    void clearAllGroups();

    /// Presses and releases on the map act only while the panel is shown.
    void setGroupMode(bool on) { groupMode_ = on; }

    /// The group of the selected group list item; -1 when none is selected.
    int selectedGroup() const;

    QListWidget* combogrup;
    QListWidget* lstgrup;
    QListWidget* lstchgrup;
    QPushButton* Command12;  ///< "<=": the selected free well joins the group
    QPushButton* Command13;  ///< "=>": the selected assigned well leaves it
    QComboBox* Combo_sets;
    QPushButton* cmd_goset;
    QPushButton* Cmd_clear;
    PlotSurface* Picwell;
    QLabel* lblnchannel;
    GroupAnnotationTable* annotations;  ///< the groups' screening annotations, under the map

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildLists();
    void fillGroupList(int group);
    void fillAssignedList(int group);
    void fillFreeList();
    void refreshLists();
    void drawMap();
    void renameGroup();
    void moveWell(QListWidget* list, int group);
    void tile();
    void askClear();
    bool trackPointer(double x, double y, Cell& cell);
    void onPressed(double x, double y, Qt::MouseButton button);
    void onMoved(double x, double y, Qt::MouseButtons buttons);
    void onReleased(double x, double y, Qt::MouseButton button);
    void outlineCells(Cell from, Cell to);

    Workspace& workspace_;
    Dialogs& dialogs_;
    bool groupMode_ = false;
    bool filling_ = false;
    bool dragging_ = false;
    bool outside_ = false;
    Cell pressedCell_;
};

}  // namespace zorvex
