// zorvex: the windows of the instrument program.

#include <QApplication>
#include <iostream>
#include <optional>
#include <string>

#include "acquisition/NewProgramFolder.h"
#include "common/CommandLine.h"
#include "platform/ProgramFolder.h"
#include "store/Workspace.h"
#include "ui/common/AppFonts.h"
#include "ui/common/ExitSignals.h"
#include "ui/common/QtDialogs.h"
#include "ui/common/QtHost.h"
#include "ui/main/Frm_Main.h"

namespace {

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

}  // namespace

int main(int argc, char* argv[]) {
    // Read before Qt starts, so --help and --version work without a display.
    CLI::App app{"The windows of the Zorvex instrument program: finds the instrument on a serial port, records "
                 "timed acquisitions of activity in multiwell plates into project folders, shows the live signal, "
                 "and reviews and reports stored acquisitions. Without an instrument it starts offline for review "
                 "and reports.",
                 "zorvex"};
    zorvex::setUpProgram(app);
    app.footer("Help > Content opens the operator's guide, zorvex_help.pdf in the program folder.");
    std::optional<std::filesystem::path> programFolder;
    app.add_option("--program-folder", programFolder,
                   "program folder (default: $ZORVEX_HOME, else ~/.local/share/zorvex, made at the first start); "
                   "make others with 'zorvex-cli init DIR'")
        ->type_name("DIR");
    // The program's command line, where "/RUN" is looked for.
    std::string commandLine;
    app.add_option("/RUN", commandLine, "start an acquisition named \"Autorun project\" once start-up is done")
        ->type_name("");
    if (auto status = zorvex::parseCommandLine(app, {argv + 1, argv + argc}, std::cout, std::cerr)) return *status;

    QApplication application(argc, argv);
    QApplication::setApplicationDisplayName("Zorvex");
    zorvex::useMenuBarFontInMenus();
    zorvex::Workspace workspace;
    workspace.programFolder = zorvex::resolveProgramFolder(programFolder);
    zorvex::QtHost host;
    zorvex::QtDialogs dialogs;
    makeDefaultFolderOnFirstStart(workspace.programFolder, dialogs);
    zorvex::InstrumentSession session(zorvex::readPortMap(workspace.programFolder));
    // Made before the main window and so gone only after it: a signal that
    // comes while the window winds down (a second one is usual from a
    // supervisor) must not kill it before the outputs are off.
    zorvex::ExitSignals exitSignals;
    zorvex::Frm_Main mainWindow(workspace, session, dialogs, host, commandLine);
    // A logout or shut-down ends the program as Exit does, without the question.
    QObject::connect(&exitSignals, &zorvex::ExitSignals::received, &mainWindow, [&mainWindow](const QString& name) {
        mainWindow.shutDown(name.toStdString());
        // Queued, so a signal during start-up still ends the program once its
        // loop runs; exit(), not quit(), which would close the windows and ask.
        QMetaObject::invokeMethod(qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    });
    const bool started = mainWindow.startUp();
    // A signal during the start-up's own part (a message box runs a loop)
    // ends the program here; one during the port search, which runs from
    // the event loop below, ends the search and then the loop.
    if (mainWindow.leaving()) return 0;
    if (!started) return 1;
    return QApplication::exec();
}
