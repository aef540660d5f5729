#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>

#include "MainProgram.h"
#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "SimulatedInstrument.h"
#include "TempFolder.h"
#include "acquisition/NewProgramFolder.h"
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
    std::unique_ptr<InstrumentSession> session;
    std::unique_ptr<Frm_Main> window;

    /// A program whose COM4 is `com4Device` and whose other ports name nothing.
    explicit StartedProgram(const std::string& commandLine = "", const std::string& com4Device = "") {
        workspace.programFolder = folder.path();
        PortMap ports = test::missingDevices(folder.path());
        if (!com4Device.empty()) ports.setDevice(4, com4Device);
        session = std::make_unique<InstrumentSession>(ports);
        window = std::make_unique<Frm_Main>(workspace, *session, dialogs, host, commandLine);
    }

    void init() { ASSERT_FALSE(initProgramFolder(folder.path(), findDataFolder())); }

    /// The start-up with its search, which runs from the event loop; false
    /// when it failed or did not end within the wait limit.
    bool start() { return window->startUp() && test::OnlineProgram::finishStartUp(*window); }
};

const char* const PortErrorPrompt = "COM(15) PORT ERROR. Type New Port number or <Enter> to go Offline";

}  // namespace

TEST(Startup, NewProgramFolderWithoutInstrumentComesUpOfflineWithTheDemoProject) {
    StartedProgram program;
    program.init();

    ASSERT_TRUE(program.start());

    EXPECT_EQ(program.dialogs.shown, std::vector<std::string>{PortErrorPrompt});
    EXPECT_EQ(program.window->operatingMode(), OperatingMode::Offline);
    EXPECT_EQ(program.window->txt_projecto->text(), "1_Demo");
    EXPECT_EQ(program.workspace.setup.Plate_format, "z96f");
    EXPECT_EQ(program.workspace.projectFolder, program.folder.path() / "p00001");
    EXPECT_TRUE(program.window->offlineWindow()->isVisible());
    EXPECT_FALSE(program.window->isVisible());
    EXPECT_FALSE(program.window->splashWindow()->isVisible());
    EXPECT_EQ(program.window->splashWindow()->LblNews->text(), "STARTING........... Starting Offline Session...");
    EXPECT_TRUE(program.window->mncom1[14]->isChecked());
    EXPECT_FALSE(program.window->mncom1[3]->isChecked());
    EXPECT_FALSE(program.window->autorunRequested());
}

TEST(Startup, OfflineMainWindowSaysSoAndStartRefusesBeforeAskingAName) {
    StartedProgram program;
    program.init();
    ASSERT_TRUE(program.start());
    program.window->offlineWindow()->Command21->click();
    ASSERT_TRUE(program.window->isVisible());

    EXPECT_EQ(program.window->lbl_mode->text(), "OFFLINE - no instrument: review, reports and setup only");
    program.window->CmdPlay->click();
    EXPECT_EQ(program.dialogs.shown,
              (std::vector<std::string>{
                  PortErrorPrompt,
                  "Acquisition not allowed in OFFLINE MODE. Connect the equipment and restart the program."}));
}

TEST(Startup, SimulatedInstrumentOnTheConfiguredPortBringsTheProgramUpOnline) {
    test::SimulatedInstrument instrument;
    StartedProgram program("", instrument.path());
    program.init();

    ASSERT_TRUE(program.start());

    EXPECT_TRUE(program.dialogs.shown.empty());
    EXPECT_EQ(program.window->operatingMode(), OperatingMode::Online);
    EXPECT_EQ(program.session->port, 4);
    EXPECT_TRUE(program.session->comm.isOpen(4));
    EXPECT_TRUE(program.session->factory.FactoryCalValid);
    EXPECT_TRUE(program.window->isVisible());
    EXPECT_FALSE(program.window->offlineWindow()->isVisible());
    EXPECT_EQ(program.window->splashWindow()->LblNews->text(), "STARTING........... Communication OK...");
    EXPECT_TRUE(program.window->mncom1[3]->isChecked());
    EXPECT_EQ(program.window->txt_projecto->text(), "1_Demo");
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
    program.init();
    ASSERT_TRUE(writeFile(program.folder / "config.dat",
                          "\"Config: <Actual_Project_Number>, <Last_Project>,<Serial_COM>,<Restart_Time>\"\r\n3,3,4,0\r\n"));

    ASSERT_TRUE(program.start());

    EXPECT_EQ(program.workspace.config.Actual_Project_Number, 0);
    EXPECT_EQ(program.workspace.projectFolder, program.folder.path());
    EXPECT_EQ(program.window->txt_projecto->text(), "0_Default");
    EXPECT_TRUE(program.window->autorunRequested());
}

TEST(Startup, SerialPortMenuStoresTheChosenPort) {
    StartedProgram program;
    program.init();
    ASSERT_TRUE(program.start());

    program.window->mncom1[6]->trigger();

    EXPECT_TRUE(program.window->mncom1[6]->isChecked());
    EXPECT_FALSE(program.window->mncom1[3]->isChecked());
    auto config = readFile(program.folder / "config.dat");
    ASSERT_TRUE(config);
    EXPECT_NE(config->find("\r\n1,1,7,0\r\n"), std::string::npos);
}
