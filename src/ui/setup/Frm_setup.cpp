#include "ui/setup/Frm_setup.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "store/PlateFormat.h"
#include "store/ProjectFolders.h"
#include "ui/common/WindowSize.h"
#include "ui/setup/GroupAnnotationTable.h"
#include "ui/setup/GroupsPanel.h"
#include "ui/setup/SettingsPanels.h"
#include "ui/setup/SetupRules.h"

namespace zorvex {

namespace {

enum Panel { ConfigIndex, OutputIndex, GroupsIndex, ToolsIndex };
constexpr std::array<const char*, 4> ShownCaptions = {">Config", ">Output", ">Groups", ">Tools "};
constexpr std::array<const char*, 4> PlainCaptions = {"Config", "Output", "Groups", "Tools "};
constexpr std::array<const char*, 4> ButtonNames = {"Cmdconfig", "Cmdoutput", "Cmdgroups", "Cmdtools"};

// An empty name would leave the project unrecognisable in every list.
constexpr const char* NameRequired = "Please enter a name for the project";
constexpr const char* ProjectSaveFailed = "<Error Saving Project Files>";

QPushButton* namedButton(const char* name, const char* caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

Frm_setup::Frm_setup(Workspace& workspace, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), workspace_(workspace), dialogs_(dialogs) {
    setObjectName("Frm_setup");
    setWindowTitle("<Zorvex> Acquisition Software  --------> Setup");
    resize(LargeWindowSize);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(buildProjectBar());
    layout->addWidget(buildSwitchBar());

    auto* body = new QHBoxLayout;
    auto* panelArea = new QVBoxLayout;
    config_ = new ConfigPanel(workspace_.setup, central);
    output_ = new OutputPanel(workspace_.setup, central);
    groups_ = new GroupsPanel(workspace_, dialogs_, central);
    tools_ = new ToolsPanel(workspace_.setup, central);
    panels_ = {config_, output_, groups_, tools_};
    for (QWidget* panel : panels_) {
        panelArea->addWidget(panel);
        panel->hide();
    }
    body->addLayout(panelArea, 1);
    body->addWidget(buildProjectList());
    layout->addLayout(body, 1);
    setCentralWidget(central);

    connect(config_->cmdlod, &QPushButton::clicked, this, &Frm_setup::choosePlate);
    connect(tools_, &ToolsPanel::toolPanelsChanged, this, &Frm_setup::toolPanelsChanged);
    connect(tools_, &ToolsPanel::lightControlSwitched, this, &Frm_setup::lightControlSwitched);
}

QWidget* Frm_setup::buildProjectBar() {
    auto* bar = new QGroupBox("Project", this);
    auto* layout = new QHBoxLayout(bar);
    txtprj = new QLineEdit(bar);
    txtprj->setObjectName("txtprj");
    txtprj->setReadOnly(true);
    txtprj->setMinimumWidth(240);
    layout->addWidget(txtprj);
    Cmdnewpj = namedButton("Cmdnewpj", "New...", bar);
    Cmdsavepj = namedButton("Cmdsavepj", "Save...", bar);
    cmdLoad = namedButton("cmdLoad", "Load...", bar);
    Cmdrename = namedButton("Cmdrename", "Rename", bar);
    for (QPushButton* button : {Cmdnewpj, Cmdsavepj, cmdLoad, Cmdrename}) layout->addWidget(button);
    layout->addSpacing(16);
    layout->addWidget(new QLabel("Description:", bar));
    Txt_description = new QPlainTextEdit(bar);
    Txt_description->setObjectName("Txt_description");
    Txt_description->setFixedHeight(48);
    layout->addWidget(Txt_description, 1);

    connect(Cmdnewpj, &QPushButton::clicked, this, &Frm_setup::newProject);
    connect(Cmdsavepj, &QPushButton::clicked, this, &Frm_setup::saveProjectChoice);
    connect(cmdLoad, &QPushButton::clicked, this, &Frm_setup::loadChoice);
    connect(Cmdrename, &QPushButton::clicked, this, &Frm_setup::renameProject);
    return bar;
}

QWidget* Frm_setup::buildProjectList() {
    auto* frame = new QGroupBox("SELECT PROJECT TO LOAD:", this);
    frame->setObjectName("frm_project");
    frame->setFixedWidth(230);
    auto* layout = new QVBoxLayout(frame);
    List_project = new QListWidget(frame);
    List_project->setObjectName("List_project");
    layout->addWidget(List_project, 1);
    auto* hint = new QLabel("Double-click a project to open it.", frame);
    hint->setObjectName("lbl_projecthint");
    hint->setWordWrap(true);
    layout->addWidget(hint);
    Cmd_cancel = namedButton("Cmd_cancel", "Cancel", frame);
    layout->addWidget(Cmd_cancel);
    frame->hide();
    frm_project = frame;

    connect(List_project, &QListWidget::itemDoubleClicked, this, &Frm_setup::chooseProject);
    connect(Cmd_cancel, &QPushButton::clicked, frame, &QWidget::hide);
    return frame;
}

QWidget* Frm_setup::buildSwitchBar() {
    auto* bar = new QWidget(this);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int panel = 0; panel < 4; ++panel) {
        panelButtons_[panel] = namedButton(ButtonNames[panel], PlainCaptions[panel], bar);
        panelButtons_[panel]->setMinimumWidth(96);
        layout->addWidget(panelButtons_[panel]);
        connect(panelButtons_[panel], &QPushButton::clicked, this, [this, panel] { showPanel(panel); });
    }
    Cmdconfig = panelButtons_[ConfigIndex];
    Cmdoutput = panelButtons_[OutputIndex];
    Cmdgroups = panelButtons_[GroupsIndex];
    Cmdtools = panelButtons_[ToolsIndex];
    layout->addStretch();
    Command21 = namedButton("Command21", "Main", bar);
    CmdMain = Command21;
    Command24 = namedButton("Command24", "OffLine", bar);
    CmdSetup = namedButton("CmdSetup", "Setup", bar);
    for (QPushButton* button : {Command21, Command24, CmdSetup}) {
        button->setMinimumWidth(96);
        layout->addWidget(button);
    }
    connect(Command21, &QPushButton::clicked, this, [this] { leaveFor(&Frm_setup::mainRequested); });
    connect(Command24, &QPushButton::clicked, this, [this] { leaveFor(&Frm_setup::offlineRequested); });
    return bar;
}

void Frm_setup::leaveFor(void (Frm_setup::*signal)()) {
    emit(this->*signal)();
    hide();
}

void Frm_setup::showPanel(int panel) {
    if (!panels_[panel]->isHidden()) return;
    // Hide first: two panels shown at once, even for a moment, would stretch the window.
    for (int other = 0; other < 4; ++other) {
        if (other != panel) panels_[other]->hide();
        panelButtons_[other]->setText(other == panel ? ShownCaptions[other] : PlainCaptions[other]);
    }
    panels_[panel]->show();
    groups_->setGroupMode(panel == GroupsIndex);
}

void Frm_setup::showProject() {
    txtprj->setText(QString("%1_%2")
                        .arg(workspace_.config.Actual_Project_Number)
                        .arg(QString::fromStdString(workspace_.setup.Name)));
    output_->Txtfolder->setText(QString::fromStdString(workspace_.projectFolder.string()));
}

void Frm_setup::loadContents() {
    showProject();
    config_->load(listPlateNames(workspace_.programFolder));
    output_->load();
    frm_project->hide();
    tools_->load();
    groups_->reload();
    showPanel(GroupsIndex);
}

bool Frm_setup::saveCurrentProject() {
    if (std::optional<std::string> problem = config_->numberProblem()) {
        dialogs_.message("The project was not saved. " + *problem + ".");
        return false;
    }
    errno = 0;
    if (saveProject(workspace_) && groups_->annotations->save()) return true;
    // The file layer fails on a system call and leaves its error behind.
    const int error = errno;
    dialogs_.message(std::string(ProjectSaveFailed) + " in " + workspace_.projectFolder.string() + ": " +
                     (error != 0 ? std::generic_category().message(error) : "the reason was not reported"));
    return false;
}

void Frm_setup::allocateProject(const std::string& typed) {
    std::optional<std::string> name = typedName(typed);
    if (!name) {
        dialogs_.message(NameRequired);
        return;
    }
    ProgramConfig& config = workspace_.config;
    config.Last_Project = nextProjectNumber(config.Last_Project);
    const std::string folderName = projectFolderName(config.Last_Project);
    const std::filesystem::path folder = workspace_.programFolder / folderName;
    std::error_code error;
    if (std::filesystem::exists(folder, error)) {
        std::string question =
            "The project number to generate (" + folderName + "already exists. do you like to overwrite?";
        if (dialogs_.message(question, Buttons::YesNo) == Answer::No) return;
    } else if (!std::filesystem::create_directory(folder, error)) {
        dialogs_.message("<Error Creating Project Folder " + folderName + ">");
        return;
    }
    workspace_.projectFolder = folder;
    config.Actual_Project_Number = config.Last_Project;
    workspace_.setup.Name = *name;
    // The copy of the setup in the new folder must name the new folder.
    workspace_.setup.Working_folder = defaultWorkingFolder(workspace_.programFolder, config.Last_Project);
    showProject();
    saveCurrentProject();
    saveConfig(config, workspace_.programFolder, dialogs_);
}

void Frm_setup::newProject() {
    if (dialogs_.message("Do you like to Create a New Project?", Buttons::OkCancel) != Answer::Ok) return;
    std::string title =
        "Saving <" + std::to_string(nextProjectNumber(workspace_.config.Last_Project)) + "> with a new name";
    // Cancel just cancels; an empty answer is asked again by its message.
    if (std::optional<std::string> typed = dialogs_.titledAnswer("Enter the New Project Name", title)) {
        allocateProject(*typed);
    }
}

void Frm_setup::saveProjectChoice() {
    const std::string current = txtprj->text().toStdString();
    switch (dialogs_.message("Do you like to Update <" + current + "> values?", Buttons::YesNoCancel)) {
        case Answer::Yes: saveCurrentProject(); break;
        case Answer::No:
            if (std::optional<std::string> typed =
                    dialogs_.titledAnswer("Enter the New Project Name", "Saving <" + current + "> with a new name")) {
                allocateProject(*typed);
            }
            break;
        default: break;
    }
}

void Frm_setup::loadChoice() {
    Answer answer = dialogs_.message("Do you like to save current values before new load?", Buttons::YesNoCancel);
    if (answer == Answer::Cancel) return;
    if (answer == Answer::Yes) saveCurrentProject();
    List_project->clear();
    for (const std::string& name : listProjectNames(workspace_.programFolder)) {
        auto* item = new QListWidgetItem(QString::fromStdString(projectListEntry(workspace_.programFolder, name)),
                                         List_project);
        item->setData(Qt::UserRole, QString::fromStdString(name));
    }
    frm_project->show();
}

void Frm_setup::chooseProject() {
    QListWidgetItem* item = List_project->currentItem();
    if (!item || !item->isSelected()) return;
    const std::string name = item->data(Qt::UserRole).toString().toStdString();
    const std::int16_t number = projectNumberOfName(name);
    workspace_.projectFolder = number < 1 ? workspace_.programFolder : workspace_.programFolder / name;
    workspace_.config.Actual_Project_Number = number;
    // Last_Project only grows with the numbers "New..." hands out.
    saveConfig(workspace_.config, workspace_.programFolder, dialogs_);
    loadProject(workspace_, number, dialogs_);
    loadContents();
}

void Frm_setup::renameProject() {
    if (workspace_.config.Actual_Project_Number == 0) {
        dialogs_.message("Not possible to rename the Default project. Save it with another Name");
        return;
    }
    if (std::optional<std::string> name = typedName(dialogs_.input("Rename Project: Entre New Name"))) {
        workspace_.setup.Name = *name;
        showProject();
    }
}

void Frm_setup::choosePlate() {
    const std::string name = config_->Combowell->currentText().toStdString();
    if (!findPlateFile(workspace_.programFolder, name)) {
        dialogs_.message("Selection Error");
        return;
    }
    if (dialogs_.message("Load New Plate configuration?", Buttons::YesNo) == Answer::No) {
        config_->showPlateFormat();
        return;
    }
    // Read the plate first: a damaged file must not cost the operator the groups.
    PlateFormat chosen = workspace_.plate;
    PlateLoad load = loadPlateFormat(chosen, workspace_.programFolder, name);
    if (!load.ok) {
        dialogs_.message("Error [\\" + name + ".dat] ID#" + std::to_string(load.stage) +
                         " => Plate format not changed");
        config_->showPlateFormat();
        return;
    }
    groups_->clearAllGroups();
    if (std::optional<std::string> notice = plateNotice(name)) dialogs_.message(*notice);
    workspace_.setup.Plate_format = name;
    workspace_.plate = std::move(chosen);
    loadContents();
}

void Frm_setup::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) loadContents();
}

void Frm_setup::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) CmdSetup->setFocus();
}

void Frm_setup::closeEvent(QCloseEvent* event) {
    emit mainRequested();
    event->accept();
}

}  // namespace zorvex
