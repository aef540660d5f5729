#pragma once
// The setup editor: where an experiment is described before it runs. It
// creates, saves, loads and renames projects, and shows one of four panels
// (acquisition settings, file output, groups and plate map, tools) that edit
// the current project in memory until the next save.

#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <array>
#include <string>

#include "platform/Dialogs.h"
#include "store/Workspace.h"

namespace zorvex {

class ConfigPanel;
class GroupsPanel;
class OutputPanel;
class ToolsPanel;

class Frm_setup : public QMainWindow {
    Q_OBJECT
public:
    Frm_setup(Workspace& workspace, Dialogs& dialogs, QWidget* parent = nullptr);

    /// Shows the current project in every control and the groups panel.
    void loadContents();

    ConfigPanel* config() const { return config_; }
    OutputPanel* output() const { return output_; }
    GroupsPanel* groups() const { return groups_; }
    ToolsPanel* tools() const { return tools_; }

    QLineEdit* txtprj;
    QPushButton* Cmdnewpj;
    QPushButton* Cmdsavepj;
    QPushButton* cmdLoad;
    QPushButton* Cmdrename;
    QWidget* frm_project;
    QListWidget* List_project;
    QPushButton* Cmd_cancel;
    QPlainTextEdit* Txt_description;
    QPushButton* Cmdconfig;
    QPushButton* Cmdoutput;
    QPushButton* Cmdgroups;
    QPushButton* Cmdtools;
    QPushButton* Command21;  ///< "Main"
    QPushButton* CmdMain;    ///< the same button as Command21
    QPushButton* Command24;  ///< "OffLine"
    QPushButton* CmdSetup;   ///< "Setup": marks this window, takes the focus

signals:
    /// Back to the main window, which takes over Txt_description.
    void mainRequested();
    /// On to the offline window; the main window takes over Txt_description.
    void offlineRequested();
    /// A tool switch changed the Menu flags of the setup.
    void toolPanelsChanged();
    /// Light control was switched on or off.
    void lightControlSwitched(bool on);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildProjectBar();
    QWidget* buildProjectList();
    QWidget* buildSwitchBar();
    void showPanel(int panel);
    void showProject();
    bool saveCurrentProject();
    void allocateProject(const std::string& typedName);
    void newProject();
    void saveProjectChoice();
    void loadChoice();
    void chooseProject();
    void renameProject();
    void choosePlate();
    void leaveFor(void (Frm_setup::*signal)());

    Workspace& workspace_;
    Dialogs& dialogs_;
    ConfigPanel* config_;
    OutputPanel* output_;
    GroupsPanel* groups_;
    ToolsPanel* tools_;
    std::array<QWidget*, 4> panels_{};
    std::array<QPushButton*, 4> panelButtons_{};
};

}  // namespace zorvex
