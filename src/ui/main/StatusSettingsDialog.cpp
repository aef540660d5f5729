#include "ui/main/StatusSettingsDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHostInfo>
#include <QVBoxLayout>

#include "status/NotifyCommand.h"
#include "status/RunWatch.h"
#include "status/StatusSettings.h"

namespace zorvex {

namespace {
QString q(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

StatusSettingsDialog::StatusSettingsDialog(std::filesystem::path programFolder, RunWatch& watch, Dialogs& dialogs,
                                           QWidget* parent)
    : QDialog(parent), programFolder_(std::move(programFolder)), watch_(watch), dialogs_(dialogs) {
    setObjectName("Frm_StatusSettings");
    setWindowTitle("Status page and notify");
    const StatusSettings settings = loadStatusSettings(programFolder_);

    txt_status_port = new QSpinBox(this);
    txt_status_port->setObjectName("txt_status_port");
    txt_status_port->setRange(0, 65535);
    txt_status_port->setSpecialValueText("Off");
    txt_status_port->setValue(settings.port);
    txt_status_bind = new QLineEdit(q(settings.bindAddress), this);
    txt_status_bind->setObjectName("txt_status_bind");
    txt_status_bind->setToolTip("127.0.0.1: this computer only. Any other address serves plain HTTP on the network "
                                "and asks for the token: use a tunnel or a trusted network.");
    txt_status_token = new QLineEdit(q(watch_.token()), this);
    txt_status_token->setObjectName("txt_status_token");
    txt_status_token->setReadOnly(true);
    txt_status_token->setPlaceholderText("made when the page listens beyond 127.0.0.1");
    lbl_status_address = new QLabel(this);
    lbl_status_address->setObjectName("lbl_status_address");
    lbl_status_address->setTextInteractionFlags(Qt::TextSelectableByMouse);
    txt_notify = new QLineEdit(q(settings.notifyCommand), this);
    txt_notify->setObjectName("txt_notify");
    txt_notify->setMinimumWidth(420);
    txt_notify->setPlaceholderText("sh -c 'printf \"%s\\n\" \"$ZORVEX_MESSAGE\" | mail -s \"Zorvex: $ZORVEX_EVENT\" you@lab'");

    auto* form = new QFormLayout;
    form->addRow("Status page port (1..65535):", txt_status_port);
    form->addRow("Listen on address:", txt_status_bind);
    form->addRow("Token:", txt_status_token);
    form->addRow("Page:", lbl_status_address);
    form->addRow("Notify command:", txt_notify);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (applyAndSave()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    showAddress();
}

bool StatusSettingsDialog::applyAndSave() {
    StatusSettings settings;
    settings.port = txt_status_port->value();
    settings.bindAddress = txt_status_bind->text().trimmed().toStdString();
    settings.notifyCommand = txt_notify->text().trimmed().toStdString();
    if (const std::string wrong = checkStatusSettings(settings); !wrong.empty()) {
        dialogs_.message(wrong);
        return false;
    }
    std::string error;
    if (!settings.notifyCommand.empty() && !splitCommandLine(settings.notifyCommand, error)) {
        dialogs_.message("Notify command: " + error);
        return false;
    }
    if (!saveStatusSettings(settings, programFolder_)) {
        dialogs_.message("The settings cannot be written to " + (programFolder_ / StatusSettingsFileName).string());
        return false;
    }
    if (auto failure = watch_.apply(settings)) {
        dialogs_.message(*failure);
        showAddress();
        return false;
    }
    txt_status_token->setText(q(watch_.token()));
    showAddress();
    return true;
}

void StatusSettingsDialog::showAddress() {
    if (watch_.port() == 0) {
        lbl_status_address->setText("Off");
        return;
    }
    std::string address = txt_status_bind->text().trimmed().toStdString();
    // Every address: the one other computers know this one by.
    if (address == "0.0.0.0" || address == "::") address = QHostInfo::localHostName().toStdString();
    std::string url = "http://" + address + ":" + std::to_string(watch_.port()) + "/";
    if (!isLoopback(address) && !watch_.token().empty()) url += "?token=" + watch_.token();
    lbl_status_address->setText(q(url));
}

}  // namespace zorvex
