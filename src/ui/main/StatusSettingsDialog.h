#pragma once
// Settings > "Status page and notify...": the port and address of the
// read-only status page, its token, and the notify command. OK checks the
// values, writes status.ini and applies them at once, run or no run.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <filesystem>

#include "platform/Dialogs.h"

namespace zorvex {

class RunWatch;

class StatusSettingsDialog : public QDialog {
    Q_OBJECT
public:
    /// The settings of `programFolder`, applied to `watch` on OK.
    StatusSettingsDialog(std::filesystem::path programFolder, RunWatch& watch, Dialogs& dialogs,
                         QWidget* parent = nullptr);

    QSpinBox* txt_status_port;
    QLineEdit* txt_status_bind;
    QLineEdit* txt_status_token;  ///< read-only: the token asked for beyond this computer
    QLabel* lbl_status_address;   ///< the page's address to open, once it listens
    QLineEdit* txt_notify;

    /// Checks, saves and applies; false (the dialog stays open) after a message.
    bool applyAndSave();

private:
    void showAddress();

    std::filesystem::path programFolder_;
    RunWatch& watch_;
    Dialogs& dialogs_;
};

}  // namespace zorvex
