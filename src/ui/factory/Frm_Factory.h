#pragma once
// The factory settings window: the plate temperature read every second, and
// "SET", which stores the offset that makes the reading show the reference
// temperature typed by the technician. The main window stays hidden while it
// is open.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "control/InstrumentSession.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"

namespace zorvex {

class Frm_Factory : public QWidget {
    Q_OBJECT
public:
    static constexpr int TemperatureIntervalMs = 1000;  ///< `Timer_temp`

    /// Every reference must outlive the window.
    Frm_Factory(InstrumentSession& session, Host& host, Dialogs& dialogs, QWidget* parent = nullptr);

    /// The window's load: status text and boxes, then shown with its timer running.
    void open();

    QLabel* txt_mensaje;
    QLineEdit* txt_set_temp;
    QLineEdit* txt_current_temp;
    QPushButton* Cmd_temp;
    QPushButton* Cmd_close;  ///< "Close", as Escape: back to the main window, nothing written
    QTimer* Timer_temp;

signals:
    /// The window was closed: the main window comes back.
    void closed();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showTemperature();
    void calibrate();

    InstrumentSession& session_;
    Host& host_;
    Dialogs& dialogs_;
    bool open_ = false;  ///< between open() and the close: activation restarts the timer
};

}  // namespace zorvex
