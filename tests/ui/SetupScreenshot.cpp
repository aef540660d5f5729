// Renders the setup editor at 1280 x 800 into the folder named on the command
// line: its acquisition settings (setup-settings.png), and its groups panel
// with a 96-well plate tiled in 2 x 2 blocks (setup-groups.png):
//   setup_screenshot docs/screenshots

#include <QApplication>
#include <QMouseEvent>
#include <cstdlib>
#include <iostream>

#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "acquisition/NewProgramFolder.h"
#include "store/ProgramFolderInit.h"
#include "store/ProjectFolders.h"
#include "store/Workspace.h"
#include "ui/setup/Frm_setup.h"
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
