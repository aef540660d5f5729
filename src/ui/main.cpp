// zorvex: the windows of the instrument program.

#include <QApplication>
#include <iostream>
#include <string>

#include "platform/ProgramFolder.h"
#include "store/Workspace.h"
#include "ui/common/QtDialogs.h"
#include "ui/common/QtHost.h"
#include "ui/main/Frm_Main.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationDisplayName("Zorvex");

    std::optional<std::filesystem::path> programFolder;
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--program-folder" && i + 1 < argc) {
            programFolder = argv[++i];
        } else if (argument == "--help") {
            std::cout << "usage: zorvex [--program-folder DIR] [/RUN]\n";
            return 0;
        } else {
            commandLine += (commandLine.empty() ? "" : " ") + argument;
        }
    }

    zorvex::Workspace workspace;
    workspace.programFolder = zorvex::resolveProgramFolder(programFolder);
    zorvex::QtHost host;
    zorvex::QtDialogs dialogs;
    zorvex::InstrumentSession session(zorvex::readPortMap(workspace.programFolder));
    zorvex::Frm_Main mainWindow(workspace, session, dialogs, host, commandLine);
    if (!mainWindow.startUp()) return 1;
    return QApplication::exec();
}
