#include "ui/factory/Frm_Factory.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "common/Text.h"
#include "control/FactoryTemperatureCalibration.h"
#include "control/Temperature.h"

namespace zorvex {

namespace {
constexpr double DefaultReferenceC = 25.0;

QString degrees(double value) { return QString::fromStdString(formatFixed(value, 1)); }
}  // namespace

Frm_Factory::Frm_Factory(InstrumentSession& session, Host& host, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), host_(host), dialogs_(dialogs) {
    setObjectName("Frm_Factory");
    setWindowTitle("Factory Settings");
    auto* layout = new QVBoxLayout(this);
    txt_mensaje = new QLabel(this);
    txt_mensaje->setObjectName("txt_mensaje");
    layout->addWidget(txt_mensaje);

    auto* form = new QFormLayout;
    txt_current_temp = new QLineEdit(this);
    txt_current_temp->setObjectName("txt_current_temp");
    txt_current_temp->setReadOnly(true);
    form->addRow("Current temperature (\u00B0C):", txt_current_temp);
    txt_set_temp = new QLineEdit(this);
    txt_set_temp->setObjectName("txt_set_temp");
    form->addRow("Reference temperature (\u00B0C):", txt_set_temp);
    layout->addLayout(form);

    Cmd_temp = new QPushButton("SET", this);
    Cmd_temp->setObjectName("Cmd_temp");
    Cmd_close = new QPushButton("Close", this);
    Cmd_close->setObjectName("Cmd_close");
    Cmd_close->setToolTip("Back to the main window; nothing is written (Esc)");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Cmd_temp);
    buttons->addStretch();
    buttons->addWidget(Cmd_close);
    layout->addLayout(buttons);

    Timer_temp = new QTimer(this);
    Timer_temp->setObjectName("Timer_temp");
    Timer_temp->setInterval(TemperatureIntervalMs);
    connect(Timer_temp, &QTimer::timeout, this, &Frm_Factory::showTemperature);
    connect(Cmd_temp, &QPushButton::clicked, this, &Frm_Factory::calibrate);
    connect(Cmd_close, &QPushButton::clicked, this, &QWidget::close);
}

void Frm_Factory::open() {
    txt_mensaje->setText(QString::fromStdString(openFactoryWindow(session_.factory)));
    txt_set_temp->setText(degrees(DefaultReferenceC));
    txt_current_temp->setText(degrees(0));
    open_ = true;
    show();
    Timer_temp->start();
}

void Frm_Factory::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && open_) Timer_temp->start();
}

void Frm_Factory::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Frm_Factory::closeEvent(QCloseEvent* event) {
    open_ = false;
    Timer_temp->stop();
    event->accept();
    emit closed();
}

void Frm_Factory::showTemperature() { txt_current_temp->setText(degrees(readTemperature(session_))); }

void Frm_Factory::calibrate() {
    const FactoryCalibrationResult result =
        calibrateFactoryTemperature(session_, host_, dialogs_, txt_set_temp->text().toStdString());
    if (!result.status.empty()) txt_mensaje->setText(QString::fromStdString(result.status));
}

}  // namespace zorvex
