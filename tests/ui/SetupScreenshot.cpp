// Renders the setup editor at 1280 x 800 into the folder named on the command
// line: its acquisition settings (setup-settings.png), and its groups panel
// with a 96-well plate tiled in 2 x 2 blocks and the first groups annotated
// for a screen (setup-groups.png):
//   setup_screenshot docs/screenshots

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QTableWidget>
#include <cstdlib>
#include <iostream>

#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "acquisition/NewProgramFolder.h"
#include "store/ProgramFolderInit.h"
#include "store/ProjectFolders.h"
#include "store/Workspace.h"
#include "ui/setup/Frm_setup.h"
#include "ui/setup/GroupAnnotationTable.h"
#include "ui/setup/GroupsPanel.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: setup_screenshot OUTPUT_FOLDER\n";
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    using namespace zorvex;

    test::TempFolder folder;
    test::ScriptedDialogs dialogs;
    if (auto failure = initProgramFolder(folder.path(), findDataFolder())) {
        std::cerr << *failure << "\n";
        return 1;
    }
    Workspace workspace;
    workspace.programFolder = folder.path();
    loadConfig(workspace.config, workspace.programFolder, dialogs);
    workspace.projectFolder = projectFolderPath(workspace.programFolder, workspace.config.Actual_Project_Number);
    loadProject(workspace, workspace.config.Actual_Project_Number, dialogs);

    Frm_setup window(workspace, dialogs);
    window.resize(1280, 800);
    window.show();
    window.Txt_description->setPlainText("N2 worms at 20 C, 2 x 2 wells per replicate group");
    const QString output = QString::fromLocal8Bit(argv[1]);
    window.Cmdconfig->click();
    QApplication::processEvents();
    if (!window.grab().save(output + "/setup-settings.png", "PNG")) {
        std::cerr << "cannot write setup-settings.png in " << argv[1] << "\n";
        return 1;
    }

    window.Cmdgroups->click();
    GroupsPanel* groups = window.groups();
    groups->Combo_sets->setCurrentText("02x02 [RowsxColumn]");
    groups->cmd_goset->click();
    groups->combogrup->setCurrentRow(5);
    // The first groups annotated for a screen, as an operator types them.
    QTableWidget* annotations = groups->annotations->tbl_annotations;
    const char* typed[][3] = {{"DMSO", "0.5", "%"}, {"Levamisole", "1", "mM"}, {"Compound X", "0.1", "uM"},
                              {"Compound X", "1", "uM"}};
    const char* roles[] = {"Negative control", "Positive control", "Sample", "Sample"};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 3; ++column) annotations->item(row, 2 + column)->setText(typed[row][column]);
        qobject_cast<QComboBox*>(annotations->cellWidget(row, 5))->setCurrentText(roles[row]);
    }
    QApplication::processEvents();

    // The pointer over well E5, as an operator about to click it.
    QPointF over = groups->Picwell->toPixel(4 * 200 + 100, 4 * 200 - 50 + 100);
    QMouseEvent move(QEvent::MouseMove, over, groups->Picwell->mapToGlobal(over), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(groups->Picwell, &move);
    QApplication::processEvents();

    if (!window.grab().save(output + "/setup-groups.png", "PNG")) {
        std::cerr << "cannot write setup-groups.png in " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
