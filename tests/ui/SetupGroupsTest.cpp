#include <QKeyEvent>

#include "SetupWindow.h"
#include "common/Text.h"
#include "store/PlateGroups.h"
#include "ui/setup/GroupAnnotationTable.h"
#include "ui/setup/GroupsPanel.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {

// Map points at the middle of a well of the demo's z96f plate.
QPointF wellCentre(const Workspace& workspace, int column, int row) {
    MapGeometry map = mapGeometry(workspace.plate);
    return {column * map.columnPitch + map.columnOffset + map.columnPitch / 2.0,
            row * map.rowPitch + map.rowOffset + map.rowPitch / 2.0};
}

struct MapPointer {
    GroupsPanel* panel;
    const Workspace& workspace;

    QPointF pixel(int column, int row) const {
        QPointF at = wellCentre(workspace, column, row);
        return panel->Picwell->toPixel(at.x(), at.y());
    }
    void releaseAt(double x, double y, Qt::MouseButton button) const {
        QPointF at = panel->Picwell->toPixel(x, y);
        sendMouse(panel->Picwell, QEvent::MouseMove, at, Qt::NoButton, button);
        sendMouse(panel->Picwell, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
    }
    void press(int column, int row, Qt::MouseButton button) const {
        sendMouse(panel->Picwell, QEvent::MouseMove, pixel(column, row), Qt::NoButton, Qt::NoButton);
        sendMouse(panel->Picwell, QEvent::MouseButtonPress, pixel(column, row), button, button);
    }
    void moveHeld(int column, int row, Qt::MouseButton button) const {
        sendMouse(panel->Picwell, QEvent::MouseMove, pixel(column, row), Qt::NoButton, button);
    }
    void release(int column, int row, Qt::MouseButton button) const {
        sendMouse(panel->Picwell, QEvent::MouseButtonRelease, pixel(column, row), button, Qt::NoButton);
    }
};

void pressKey(QWidget* widget, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Pixels around a map point whose colour passes `test`.
template <typename Test>
int pixelsNear(const GroupsPanel& panel, double x, double y, int reach, Test test) {
    QPoint centre = panel.Picwell->toPixel(x, y).toPoint();
    const QImage& image = panel.Picwell->image();
    int count = 0;
    for (int px = centre.x() - reach; px <= centre.x() + reach; ++px) {
        for (int py = centre.y() - reach; py <= centre.y() + reach; ++py) {
            if (image.valid(px, py) && test(QColor(image.pixel(px, py)))) ++count;
        }
    }
    return count;
}

bool greenish(const QColor& c) { return c.green() > 90 && c.red() < 90 && c.blue() < 90; }
bool bluish(const QColor& c) { return c.blue() > 120 && c.red() < 90 && c.green() < 90; }
bool reddish(const QColor& c) { return c.red() > 150 && c.green() < 60 && c.blue() < 60; }
bool yellowish(const QColor& c) { return c.red() > 180 && c.green() > 140 && c.blue() < 100; }

}  // namespace

TEST(SetupGroups, AFreeWellMovesIntoTheSelectedGroupAndBack) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    clearGroups(setup.workspace.channels, setup.workspace.groups);
    setWellGroup(setup.workspace.channels, setup.workspace.plate, 95, 3);  // H12
    window.loadContents();
    GroupsPanel* groups = window.groups();
    EXPECT_EQ(setup.items("combogrup"),
              (std::vector<std::string>{"000_Free", "001_Free", "002_Free", "003_Group3", "004_Free"}));
    groups->combogrup->setCurrentRow(3);
    EXPECT_EQ(setup.items("lstgrup"), (std::vector<std::string>{"H12.0", "H12.1"}));
    EXPECT_EQ(setup.items("lstchgrup")[9], "B1.1");

    setup.doubleClick("lstchgrup", "B1.1");

    EXPECT_EQ(setup.workspace.channels.Group[2], 3);
    EXPECT_EQ(setup.workspace.channels.Group[18], 3);
    EXPECT_EQ(setup.items("lstgrup"), (std::vector<std::string>{"B1.0", "B1.1", "H12.0", "H12.1"}));
    std::vector<std::string> free = setup.items("lstchgrup");
    EXPECT_EQ(std::count(free.begin(), free.end(), "B1.0") + std::count(free.begin(), free.end(), "B1.1"), 0);
    EXPECT_EQ(groups->lstchgrup->currentItem()->text(), "D1.1");  // the same place in the list
    EXPECT_EQ(groups->selectedGroup(), 3);

    groups->lstgrup->setCurrentRow(0);
    groups->Command13->click();  // "=>"
    EXPECT_EQ(setup.workspace.channels.Group[2], -1);
    EXPECT_EQ(setup.items("lstgrup"), (std::vector<std::string>{"H12.0", "H12.1"}));
    EXPECT_EQ(groups->lstgrup->currentRow(), 0);

    groups->lstchgrup->setCurrentRow(0);
    groups->Command12->click();  // "<=": A1
    EXPECT_EQ(setup.workspace.channels.Group[0], 3);
    pressKey(groups->lstgrup, Qt::Key_Return);  // Enter takes the selected A1.0 out again
    EXPECT_EQ(setup.workspace.channels.Group[16], -1);
}

TEST(SetupGroups, TilingTwoByTwoMakesTwentyFourGroups) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    GroupsPanel* groups = window.groups();
    EXPECT_EQ(groups->Combo_sets->currentText(), "04x01 [RowsxColumn]");
    groups->Combo_sets->setCurrentText("02x02 [RowsxColumn]");

    groups->cmd_goset->click();

    std::vector<std::string> items = setup.items("combogrup");
    ASSERT_EQ(items.size(), 25u);
    for (int g = 0; g < 24; ++g) EXPECT_EQ(items[g], formatDigits(g, 3) + "_Group" + std::to_string(g));
    EXPECT_EQ(items[24], "024_Free");
    EXPECT_EQ(groups->selectedGroup(), 0);
    EXPECT_EQ(setup.items("lstgrup"),
              (std::vector<std::string>{"A1.0", "B1.0", "A1.1", "B1.1", "A2.0", "B2.0", "A2.1", "B2.1"}));
    EXPECT_TRUE(setup.items("lstchgrup").empty());
    EXPECT_EQ(setup.workspace.channels.Group[64], 4);  // A3
}

TEST(SetupGroups, ALeftPressKeepsOtherGroupsUntilTheRelease) {
    SetupWindow setup;
    Frm_setup& window = setup.open();  // demo: one group per plate row
    GroupsPanel* groups = window.groups();
    MapPointer pointer{groups, setup.workspace};
    groups->combogrup->setCurrentRow(2);
    ASSERT_EQ(setup.workspace.channels.Group[2], 1);  // B1 in group 1

    pointer.press(0, 1, Qt::LeftButton);
    EXPECT_EQ(setup.workspace.channels.Group[2], 1);
    EXPECT_EQ(setup.workspace.channels.Group[18], 1);
    EXPECT_EQ(groups->lblnchannel->text(), "1");

    pointer.release(0, 1, Qt::LeftButton);
    EXPECT_EQ(setup.workspace.channels.Group[2], 2);
    EXPECT_EQ(setup.workspace.channels.Group[18], 2);
    EXPECT_EQ(groups->selectedGroup(), 2);
    std::vector<std::string> assigned = setup.items("lstgrup");
    EXPECT_EQ(std::count(assigned.begin(), assigned.end(), "B1.1"), 1);

    setWellGroup(setup.workspace.channels, setup.workspace.plate, 4, -1);  // E1 free
    pointer.press(0, 4, Qt::LeftButton);
    EXPECT_EQ(setup.workspace.channels.Group[8], 2);  // a free well joins at the press
    pointer.release(0, 4, Qt::LeftButton);
}

TEST(SetupGroups, ARightDragFreesTheWholeRectangle) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    GroupsPanel* groups = window.groups();
    MapPointer pointer{groups, setup.workspace};

    pointer.press(0, 0, Qt::RightButton);
    EXPECT_EQ(setup.workspace.channels.Group[0], -1);  // A1 at once
    pointer.moveHeld(1, 2, Qt::RightButton);
    EXPECT_EQ(groups->lblnchannel->text(), "C2");
    pointer.release(1, 2, Qt::RightButton);

    for (int channel : {0, 16, 2, 18, 4, 20, 32, 48, 34, 50, 36, 52}) {
        EXPECT_EQ(setup.workspace.channels.Group[channel], -1) << channel;
    }
    EXPECT_EQ(setup.workspace.channels.Group[6], 3);   // D1
    EXPECT_EQ(setup.workspace.channels.Group[64], 0);  // A3
    EXPECT_EQ(groups->lblnchannel->text(), "10");
    EXPECT_EQ(setup.items("lstchgrup").size(), 12u);
}

TEST(SetupGroups, TheMapIgnoresPressesWhileAnotherPanelIsShown) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    MapPointer pointer{window.groups(), setup.workspace};
    const ChannelTable before = setup.workspace.channels;
    window.Cmdconfig->click();
    pointer.press(0, 0, Qt::RightButton);
    pointer.release(0, 0, Qt::RightButton);
    EXPECT_EQ(setup.workspace.channels, before);

    window.Cmdgroups->click();
    pointer.press(0, 1, Qt::RightButton);
    EXPECT_EQ(setup.workspace.channels.Group[2], -1);  // B1
    pointer.releaseAt(2450, 50, Qt::RightButton);      // beyond the plate's right edge
    EXPECT_EQ(setup.workspace.channels.Group[0], 0);   // A1
    EXPECT_EQ(setup.workspace.channels.Group[4], 2);   // C1
    pointer.release(0, 2, Qt::RightButton);            // no drag any more: C1 alone
    EXPECT_EQ(setup.workspace.channels.Group[0], 0);
    EXPECT_EQ(setup.workspace.channels.Group[4], -1);
}

TEST(SetupGroups, GroupsAreRenamedByDoubleClick) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    window.groups()->Combo_sets->setCurrentText("02x02 [RowsxColumn]");
    window.groups()->cmd_goset->click();
    setup.dialogs.inputs = {"Control", "", "Mutant"};

    setup.doubleClick("combogrup", "003_Group3");
    EXPECT_EQ(setup.dialogs.shown.back(), "Enter New Group (003) Name");
    EXPECT_EQ(setup.items("combogrup")[3], "003_Control");
    EXPECT_EQ(setup.workspace.groups.Name[3], "Control");
    // The annotation table's Name column follows at once.
    const QTableWidget* table = window.groups()->annotations->tbl_annotations;
    QStringList names;
    for (int row = 0; row < table->rowCount(); ++row) names << table->item(row, 1)->text();
    EXPECT_TRUE(names.contains("Control")) << names.join(",").toStdString();
    EXPECT_FALSE(names.contains("Group3")) << names.join(",").toStdString();

    setup.doubleClick("combogrup", "003_Control");
    EXPECT_EQ(setup.items("combogrup")[3], "003_Control");

    window.groups()->combogrup->setCurrentRow(5);
    pressKey(window.groups()->combogrup, Qt::Key_Enter);
    EXPECT_EQ(setup.workspace.groups.Name[5], "Mutant");
}

TEST(SetupGroups, ClearingLeavesTheSingleItemForGroupZero) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    setup.dialogs.answers = {Answer::No};
    window.groups()->Cmd_clear->click();
    EXPECT_EQ(setup.dialogs.shown, (std::vector<std::string>{"Do you like to Clear Group lists?"}));
    EXPECT_EQ(setup.items("combogrup").size(), 9u);

    window.groups()->Cmd_clear->click();
    EXPECT_EQ(setup.items("combogrup"), (std::vector<std::string>{"000_Free"}));
    EXPECT_TRUE(setup.items("lstgrup").empty());
    EXPECT_EQ(setup.items("lstchgrup").size(), 192u);
}

TEST(SetupGroups, TheMapShowsWellsChannelsAndGroupLabels) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    // The probes below are placed for the map's scale in a window 800 px high.
    window.resize(1280, 800);
    QApplication::processEvents();
    GroupsPanel* groups = window.groups();
    groups->Combo_sets->setCurrentText("02x02 [RowsxColumn]");
    groups->cmd_goset->click();
    // Well A1 spans x 0..200 and y -50..150; its label sits at (25, -5).
    EXPECT_GT(pixelsNear(*groups, 0, 100, 1, reddish), 0);
    EXPECT_GT(pixelsNear(*groups, 50, 50, 3, bluish), 0);      // channel 0, in a well
    EXPECT_GT(pixelsNear(*groups, 50, 150, 3, yellowish), 0);  // channel 1, in none
    EXPECT_GT(pixelsNear(*groups, 55, 10, 8, greenish), 0);    // "G0"
    EXPECT_GT(pixelsNear(*groups, 55, 410, 8, bluish), 0);     // "G1" on C1
    EXPECT_EQ(pixelsNear(*groups, 55, 10, 8, reddish), 0);

    setup.dialogs.answers = {Answer::Yes};
    groups->Cmd_clear->click();
    EXPECT_EQ(pixelsNear(*groups, 55, 10, 8, greenish), 0);

    const QString bmp = QString::fromStdString((setup.folder / "map.bmp").string());
    ASSERT_TRUE(groups->Picwell->saveBmp(bmp));
    QImage saved(bmp);
    EXPECT_EQ(saved.size(), groups->Picwell->image().size());
    EXPECT_EQ(saved.pixel(5, 5), groups->Picwell->image().pixel(5, 5));
}
