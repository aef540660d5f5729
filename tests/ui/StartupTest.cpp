#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>

#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "cli/DataFolder.h"
#include "common/Files.h"
#include "store/ProgramFolderInit.h"
#include "ui/main/Frm_Main.h"
#include "ui/offline/Frm_offline.h"
#include "ui/splash/Frm_Init.h"

using namespace zorvex;

namespace {

struct StartedProgram {
    test::TempFolder folder;
    test::ScriptedDialogs dialogs;
    test::ManualHost host;
    Workspace workspace;
    std::unique_ptr<Frm_Main> window;

    explicit StartedProgram(const std::string& commandLine = "") {
        workspace.programFolder = folder.path();
        window = std::make_unique<Frm_Main>(workspace, dialogs, host, commandLine);
    }
};

}  // namespace

TEST(Startup, NewProgramFolderComesUpOfflineWithTheDemoProject) {
    StartedProgram program;
    ASSERT_FALSE(initProgramFolder(program.folder.path(), findDataFolder()));

    ASSERT_TRUE(program.window->startUp());

    EXPECT_TRUE(program.dialogs.shown.empty()) << program.dialogs.shown.front();
    EXPECT_EQ(program.window->operatingMode(), OperatingMode::Offline);
    EXPECT_EQ(program.window->txt_projecto->text(), "1_Demo");
    EXPECT_EQ(program.workspace.setup.Plate_format, "z96f");
    EXPECT_EQ(program.workspace.projectFolder, program.folder.path() / "p00001");
    EXPECT_TRUE(program.window->offlineWindow()->isVisible());
    EXPECT_FALSE(program.window->isVisible());
    EXPECT_FALSE(program.window->splashWindow()->isVisible());
    EXPECT_EQ(program.window->splashWindow()->LblNews->text(), "STARTING........... Starting Offline Session...");
    EXPECT_TRUE(program.window->mncom1[3]->isChecked());
    EXPECT_FALSE(program.window->autorunRequested());
}

TEST(Startup, MissingConfigurationEndsTheProgramWithItsMessage) {
    StartedProgram program;
    EXPECT_FALSE(program.window->startUp());
    ASSERT_EQ(program.dialogs.shown.size(), 1u);
    EXPECT_EQ(program.dialogs.shown[0], "Config file not found: Check correct software installation");
    EXPECT_FALSE(program.window->splashWindow()->isVisible());
}

TEST(Startup, MissingProjectFolderFallsBackToTheDefaultProject) {
    StartedProgram program(" /RUN ");
    ASSERT_FALSE(initProgramFolder(program.folder.path(), findDataFolder()));
    ASSERT_TRUE(writeFile(program.folder / "config.dat",
                          "\"Config: <Actual_Project_Number>, <Last_Project>,<Serial_COM>,<Restart_Time>\"\r\n3,3,4,0\r\n"));

    ASSERT_TRUE(program.window->startUp());

    EXPECT_EQ(program.workspace.config.Actual_Project_Number, 0);
    EXPECT_EQ(program.workspace.projectFolder, program.folder.path());
    EXPECT_EQ(program.window->txt_projecto->text(), "0_Default");
    EXPECT_TRUE(program.window->autorunRequested());
}

TEST(Startup, SerialPortMenuStoresTheChosenPort) {
    StartedProgram program;
    ASSERT_FALSE(initProgramFolder(program.folder.path(), findDataFolder()));
    ASSERT_TRUE(program.window->startUp());

    program.window->mncom1[6]->trigger();

    EXPECT_TRUE(program.window->mncom1[6]->isChecked());
    EXPECT_FALSE(program.window->mncom1[3]->isChecked());
    auto config = readFile(program.folder / "config.dat");
    ASSERT_TRUE(config);
    EXPECT_NE(config->find("\r\n1,1,7,0\r\n"), std::string::npos);
}
