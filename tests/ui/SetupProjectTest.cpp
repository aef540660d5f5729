#include <QPushButton>

#include "ManualHost.h"
#include "control/InstrumentSession.h"
#include "SetupWindow.h"
#include "common/Files.h"
#include "ui/main/Frm_Main.h"
#include "ui/offline/Frm_offline.h"
#include "ui/setup/SettingsPanels.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {

std::string configLine(const SetupWindow& setup) {
    std::string bytes = readFile(setup.folder / "config.dat").value_or("");
    std::size_t second = bytes.find("\r\n");
    return second == std::string::npos ? "" : bytes.substr(second + 2);
}

void setLastProject(SetupWindow& setup, int last) {
    setup.workspace.config.Last_Project = static_cast<std::int16_t>(last);
    ASSERT_TRUE(writeConfigFile(setup.workspace.config, setup.folder.path()));
}

const char* OverwriteP00005 = "The project number to generate (p00005already exists. do you like to overwrite?";

}  // namespace

TEST(SetupProjects, NewProjectTakesTheNextNumberAndWritesTheConfiguration) {
    SetupWindow setup;
    setLastProject(setup, 7);
    Frm_setup& window = setup.open();
    setup.dialogs.inputs = {"Larvae"};

    window.Cmdnewpj->click();

    EXPECT_EQ(setup.dialogs.shown,
              (std::vector<std::string>{"Do you like to Create a New Project?", "Enter the New Project Name"}));
    EXPECT_EQ(setup.dialogs.titles, (std::vector<std::string>{"Saving <8> with a new name"}));
    EXPECT_EQ(window.txtprj->text(), "8_Larvae");
    EXPECT_EQ(setup.workspace.projectFolder, setup.folder / "p00008");
    EXPECT_EQ(setup.child<QLineEdit>("Txtfolder")->text().toStdString(), (setup.folder / "p00008").string());
    EXPECT_EQ(configLine(setup), "8,8,4,0\r\n");
    std::string saved = readFile(setup.folder / "p00008" / "setup.dat").value_or("");
    EXPECT_NE(saved.find("\r\n8,\"Larvae\",\"" + defaultWorkingFolder(setup.folder.path(), 8) + "\",\"z96f\"\r\n"),
              std::string::npos);
    EXPECT_TRUE(fileExists(setup.folder / "p00008" / "chgroup.dat"));
}

TEST(SetupProjects, NumbersWrapAfter32000AndAskBeforeReusingAFolder) {
    SetupWindow setup;
    setLastProject(setup, 32000);
    Frm_setup& window = setup.open();
    setup.dialogs.inputs = {"Wrapped \"best\" run"};
    setup.dialogs.answers = {Answer::Ok, Answer::Yes};

    window.Cmdnewpj->click();

    EXPECT_EQ(setup.dialogs.titles, (std::vector<std::string>{"Saving <1> with a new name"}));
    ASSERT_EQ(setup.dialogs.shown.size(), 3u);
    EXPECT_EQ(setup.dialogs.shown[2],
              "The project number to generate (p00001already exists. do you like to overwrite?");
    EXPECT_EQ(window.txtprj->text(), "1_Wrapped 'best' run");
    EXPECT_EQ(configLine(setup), "1,1,4,0\r\n");
    EXPECT_NE(readFile(setup.folder / "p00001" / "setup.dat").value_or("").find("\"Wrapped 'best' run\""),
              std::string::npos);
}

TEST(SetupProjects, DecliningTheOverwriteKeepsTheNumberTakenInMemory) {
    SetupWindow setup;
    setLastProject(setup, 4);
    std::filesystem::create_directory(setup.folder / "p00005");
    Frm_setup& window = setup.open();
    const std::string configBefore = configLine(setup);
    setup.dialogs.inputs = {"First", "Second"};
    setup.dialogs.answers = {Answer::Ok, Answer::No, Answer::Ok};

    window.Cmdnewpj->click();

    EXPECT_EQ(setup.dialogs.shown.back(), OverwriteP00005);
    EXPECT_EQ(setup.workspace.config.Last_Project, 5);
    EXPECT_EQ(setup.workspace.config.Actual_Project_Number, 1);
    EXPECT_EQ(window.txtprj->text(), "1_Demo");
    EXPECT_EQ(configLine(setup), configBefore);
    EXPECT_FALSE(fileExists(setup.folder / "p00005" / "setup.dat"));

    window.Cmdnewpj->click();

    EXPECT_EQ(setup.dialogs.titles.back(), "Saving <6> with a new name");
    EXPECT_EQ(window.txtprj->text(), "6_Second");
    EXPECT_EQ(configLine(setup), "6,6,4,0\r\n");
}

TEST(SetupProjects, AnEmptyNameIsRefusedWithoutTakingANumber) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    setup.dialogs.inputs = {"  "};

    window.Cmdnewpj->click();

    EXPECT_EQ(setup.dialogs.shown.back(), "Please enter a name for the project");
    EXPECT_EQ(setup.workspace.config.Last_Project, 1);
    EXPECT_FALSE(folderExists(setup.folder / "p00002"));

    setup.dialogs.answers = {Answer::Cancel};
    window.Cmdnewpj->click();
    EXPECT_EQ(setup.dialogs.shown.back(), "Do you like to Create a New Project?");

    // Cancel in the name box, after New... or after No to Save..., just cancels.
    setup.dialogs.shown.clear();
    window.Cmdnewpj->click();
    setup.dialogs.answers = {Answer::No};
    window.Cmdsavepj->click();
    EXPECT_EQ(setup.dialogs.shown,
              (std::vector<std::string>{"Do you like to Create a New Project?", "Enter the New Project Name",
                                        "Do you like to Update <1_Demo> values?", "Enter the New Project Name"}));
    EXPECT_EQ(window.txtprj->text(), "1_Demo");
    EXPECT_FALSE(folderExists(setup.folder / "p00002"));
}

TEST(SetupProjects, ASaveThatFailsSaysWhy) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    // A folder where setup.dat goes: the file cannot take its place.
    const auto project = setup.folder / "p00001";
    std::filesystem::remove(project / "setup.dat");
    std::filesystem::create_directory(project / "setup.dat");
    setup.dialogs.answers = {Answer::Yes};

    window.Cmdsavepj->click();

    ASSERT_EQ(setup.dialogs.shown.size(), 2u);
    EXPECT_EQ(setup.dialogs.shown[1], "<Error Saving Project Files> in " + project.string() + ": Is a directory");
}

TEST(SetupProjects, SaveWithYesWritesTheProjectButNotTheConfiguration) {
    SetupWindow setup;
    // A configuration on disk that differs from memory shows any rewrite.
    ASSERT_TRUE(writeFile(setup.folder / "config.dat",
                          "\"Config: <Actual_Project_Number>, <Last_Project>,<Serial_COM>,"
                          "<Restart_Time>\"\r\n1,3,4,0\r\n"));
    Frm_setup& window = setup.open();
    const std::string before = readFile(setup.folder / "p00001" / "setup.dat").value_or("");
    window.config()->Txtlapse->setText("45");

    window.Cmdsavepj->click();

    EXPECT_EQ(setup.dialogs.shown, (std::vector<std::string>{"Do you like to Update <1_Demo> values?"}));
    EXPECT_EQ(configLine(setup), "1,3,4,0\r\n");
    EXPECT_EQ(readFile(setup.folder / "p00001" / "setup.bak").value_or(""), before);
    EXPECT_NE(readFile(setup.folder / "p00001" / "setup.dat").value_or("").find("\r\n1,45,"), std::string::npos);
}

TEST(SetupProjects, SaveWithNoCopiesTheProjectUnderANewNumber) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    setup.dialogs.answers = {Answer::No};
    setup.dialogs.inputs = {"Copy"};

    window.Cmdsavepj->click();

    EXPECT_EQ(setup.dialogs.titles, (std::vector<std::string>{"Saving <1_Demo> with a new name"}));
    EXPECT_EQ(window.txtprj->text(), "2_Copy");
    EXPECT_EQ(readFile(setup.folder / "p00002" / "chgroup.dat"), readFile(setup.folder / "p00001" / "chgroup.dat"));
    EXPECT_EQ(configLine(setup), "2,2,4,0\r\n");

    setup.dialogs.answers = {Answer::Cancel};
    window.Cmdsavepj->click();
    EXPECT_EQ(setup.dialogs.shown.back(), "Do you like to Update <2_Copy> values?");
    EXPECT_EQ(window.txtprj->text(), "2_Copy");
}

TEST(SetupProjects, ChoosingAProjectFromTheListLoadsIt) {
    SetupWindow setup;
    Workspace twelve = setup.workspace;
    twelve.config.Actual_Project_Number = 12;
    twelve.setup = defaultSetup(setup.folder.path(), 12);
    twelve.setup.Name = "Twelve";
    twelve.setup.Plate_format = "z384";
    twelve.channels = defaultChannelTable();
    twelve.groups = defaultGroupTable();
    std::filesystem::create_directory(setup.folder / "p00012");
    ASSERT_TRUE(saveProjectInto(twelve, setup.folder / "p00012"));
    ASSERT_TRUE(writeFile(setup.folder / "p00013.txt", "not a project"));
    Frm_setup& window = setup.open();
    setup.dialogs.answers = {Answer::No};

    window.cmdLoad->click();

    EXPECT_EQ(setup.dialogs.shown, (std::vector<std::string>{"Do you like to save current values before new load?"}));
    EXPECT_TRUE(window.frm_project->isVisible());
    EXPECT_EQ(setup.items("List_project"), (std::vector<std::string>{"Demo (p00001)", "Twelve (p00012)"}));
    EXPECT_EQ(setup.child<QLabel>("lbl_projecthint")->text(), "Double-click a project to open it.");

    emit window.List_project->itemDoubleClicked(nullptr);  // nothing selected yet
    EXPECT_EQ(setup.workspace.config.Actual_Project_Number, 1);

    setup.doubleClick("List_project", "Twelve (p00012)");

    EXPECT_EQ(setup.workspace.config.Actual_Project_Number, 12);
    EXPECT_EQ(setup.workspace.projectFolder, setup.folder / "p00012");
    EXPECT_EQ(configLine(setup), "12,1,4,0\r\n");  // Last_Project stays: "New..." would still give 2
    EXPECT_EQ(window.txtprj->text(), "12_Twelve");
    EXPECT_EQ(setup.workspace.plate.Rows, 16);
    EXPECT_EQ(window.config()->Combowell->currentText(), "z384");
    EXPECT_FALSE(window.frm_project->isVisible());
    EXPECT_EQ(setup.items("combogrup").size(), 14u);  // default groups 0..12, then 13
}

TEST(SetupProjects, LoadCanSaveFirstOrBeCancelled) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    setup.dialogs.answers = {Answer::Cancel};
    window.cmdLoad->click();
    EXPECT_FALSE(window.frm_project->isVisible());

    window.cmdLoad->click();  // unscripted: Yes, save first
    EXPECT_TRUE(fileExists(setup.folder / "p00001" / "setup.bak"));
    EXPECT_TRUE(window.frm_project->isVisible());
    window.Cmd_cancel->click();
    EXPECT_FALSE(window.frm_project->isVisible());
}

TEST(SetupProjects, RenameIsRefusedInTheDefaultProject) {
    SetupWindow setup;
    setup.workspace.config.Actual_Project_Number = 0;
    Frm_setup& window = setup.open();
    setup.dialogs.inputs = {"Never"};

    window.Cmdrename->click();

    EXPECT_EQ(setup.dialogs.shown,
              (std::vector<std::string>{"Not possible to rename the Default project. Save it with another Name"}));
    EXPECT_EQ(window.txtprj->text(), "0_Default");
    EXPECT_EQ(setup.workspace.setup.Name, "Default");
}

TEST(SetupProjects, RenameChangesTheNameInMemoryOnly) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    const auto before = readFile(setup.folder / "p00001" / "setup.dat");
    setup.dialogs.inputs = {"Mutants\r\nday 2", ""};

    window.Cmdrename->click();
    EXPECT_EQ(setup.dialogs.shown.back(), "Rename Project: Entre New Name");
    EXPECT_EQ(window.txtprj->text(), "1_Mutants day 2");

    window.Cmdrename->click();  // an empty answer keeps the name
    EXPECT_EQ(window.txtprj->text(), "1_Mutants day 2");
    EXPECT_EQ(readFile(setup.folder / "p00001" / "setup.dat"), before);
}

TEST(SetupProjects, TheDescriptionGoesBackToTheMainWindow) {
    SetupWindow setup;
    setup.open().hide();
    ManualHost host;
    InstrumentSession session;
    Frm_Main main(setup.workspace, session, setup.dialogs, host, "");
    main.show();
    main.CmdSetup->click();
    Frm_setup* window = main.setupWindow();
    EXPECT_FALSE(main.isVisible());
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(window->txtprj->text(), "1_Demo");

    window->Txt_description->setPlainText("N2 worms, 20 per well");
    window->Command21->click();

    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(main.Txt_description->toPlainText(), "N2 worms, 20 per well");

    main.CmdSetup->click();
    window->Txt_description->setPlainText("to review");
    window->Command24->click();
    EXPECT_TRUE(main.offlineWindow()->isVisible());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(main.Txt_description->toPlainText(), "to review");
}
