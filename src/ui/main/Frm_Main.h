#pragma once
// The main window: the operator's place during acquisitions. It owns the
// start-up sequence (splash, configuration, project, instrument search) and
// switches to the setup editor and the offline review.

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>
#include <string>
#include <vector>

#include "control/InstrumentSession.h"
#include "device/PortSearch.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"
#include "store/Workspace.h"

namespace zorvex {

class Frm_Init;
class Frm_offline;
class Frm_setup;

class Frm_Main : public QMainWindow {
    Q_OBJECT
public:
    Frm_Main(Workspace& workspace, InstrumentSession& session, Dialogs& dialogs, Host& host, std::string commandLine);
    ~Frm_Main() override;

    /// The start-up sequence; false when the program must end.
    bool startUp();

    OperatingMode operatingMode() const { return session_.mode; }
    bool autorunRequested() const { return autorun_; }
    Frm_offline* offlineWindow() const { return offline_.get(); }
    Frm_setup* setupWindow() const { return setup_.get(); }
    Frm_Init* splashWindow() const { return splash_.get(); }

    QLineEdit* txt_projecto;
    QPlainTextEdit* Txt_description;
    QPushButton* CmdPlay;
    QPushButton* CmdPause;
    QPushButton* CmdStop;
    QPushButton* CmdSetup;
    QPushButton* CmdOffline;
    QAction* mnexit;
    QAction* mncontent;
    QAction* mnabout;
    std::vector<QAction*> mncom1;  ///< "COM1".."COM15"; index 0 is COM1

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildWidgets();
    void buildMenus();
    void runStartUpSteps();
    void showProjectName();
    void showPortMenuAfterSearch();
    void showPortMenuChecks(const PortMenuChecks& checks);
    void onSerialPortItem(int port);
    void showOffline();
    void showSetup();
    void showMainAgain();

    Workspace& workspace_;
    InstrumentSession& session_;
    Dialogs& dialogs_;
    Host& host_;
    std::string commandLine_;
    bool autorun_ = false;
    int startupStep_ = 0;
    std::unique_ptr<Frm_Init> splash_;
    std::unique_ptr<Frm_offline> offline_;
    std::unique_ptr<Frm_setup> setup_;
};

}  // namespace zorvex
