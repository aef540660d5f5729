// zorvex: the windows of the instrument program.

#include <QApplication>
#include <iostream>
#include <optional>
#include <string>

#include "acquisition/NewProgramFolder.h"
#include "common/HelpText.h"
#include "platform/ProgramFolder.h"
#include "store/Workspace.h"
#include "ui/common/ExitSignals.h"
#include "ui/common/QtDialogs.h"
#include "ui/common/QtHost.h"
#include "ui/main/Frm_Main.h"

namespace {

constexpr int ExitUsage = 2;

std::string programHelp() {
    return zorvex::formatHelp(
        {{"zorvex [--program-folder DIR] [/RUN]"},
         "The windows of the Zorvex instrument program: finds the instrument on a serial port, records timed "
         "acquisitions of activity in multiwell plates into project folders, shows the live signal, and reviews "
         "and reports stored acquisitions. Without an instrument it starts offline for review and reports.",
         {{"Options:",
           {{"--program-folder DIR", "program folder (default: $ZORVEX_HOME, else ~/.local/share/zorvex, made "
                                     "at the first start); make others with 'zorvex-cli init DIR'"},
            {"/RUN", "start an acquisition named \"Autorun project\" once start-up is done"},
            {"--help", "show this help and exit"},
            {"--version", "show the version and exit"}}}},
         "Help > Content opens the operator's guide, zorvex_help.pdf in the program folder."});
}

// The first start of an installed program (from the desktop's menu, say) has
// no program folder yet: the default one is made as 'zorvex-cli init' would.
// A folder named by the operator is never made, so a mistyped one is reported.
void makeDefaultFolderOnFirstStart(const std::filesystem::path& folder, zorvex::Dialogs& dialogs) {
    std::error_code error;
    if (folder != zorvex::defaultProgramFolder() || std::filesystem::exists(folder, error) || error) return;
    if (auto failure = zorvex::makeProgramFolder(folder)) {
        dialogs.message("The program folder " + folder.string() + " could not be made: " + *failure);
    } else {
        dialogs.message("Welcome. A new program folder was made in " + folder.string() +
                        ": acquisitions and settings are kept there. The Demo project is ready for a first "
                        "acquisition.");
    }
}

int usageError(const std::string& problem) {
    std::cerr << "zorvex: " << problem << "\n" << zorvex::tryHelpText("zorvex");
    return ExitUsage;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Read before Qt starts, so --help and --version work without a display.
    std::optional<std::filesystem::path> programFolder;
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::cout << programHelp();
            return 0;
        }
        if (argument == "--version") {
            std::cout << zorvex::versionText("zorvex");
            return 0;
        }
        if (argument == "--program-folder") {
            if (i + 1 >= argc) return usageError("option '--program-folder' needs a folder");
            programFolder = argv[++i];
        } else if (argument.rfind("--", 0) == 0) {
            return usageError("unknown option '" + argument + "'");
        } else {
            // The rest is the program's command line, where "/RUN" is looked for.
            commandLine += (commandLine.empty() ? "" : " ") + argument;
        }
    }

    QApplication application(argc, argv);
    QApplication::setApplicationDisplayName("Zorvex");
    zorvex::Workspace workspace;
    workspace.programFolder = zorvex::resolveProgramFolder(programFolder);
    zorvex::QtHost host;
    zorvex::QtDialogs dialogs;
    makeDefaultFolderOnFirstStart(workspace.programFolder, dialogs);
    zorvex::InstrumentSession session(zorvex::readPortMap(workspace.programFolder));
    zorvex::Frm_Main mainWindow(workspace, session, dialogs, host, commandLine);
    // A logout or shut-down ends the program as Exit does, without the question.
    zorvex::ExitSignals exitSignals;
    QObject::connect(&exitSignals, &zorvex::ExitSignals::received, &mainWindow, [&mainWindow](const QString& name) {
        mainWindow.shutDown(name.toStdString());
        // Queued, so a signal during start-up still ends the program once its loop runs.
        QMetaObject::invokeMethod(qApp, &QApplication::quit, Qt::QueuedConnection);
    });
    if (!mainWindow.startUp()) return 1;
    return QApplication::exec();
}
