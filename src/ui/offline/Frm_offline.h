#pragma once
// The offline review window. Until the review views arrive it offers the way
// back to the main window.

#include <QMainWindow>
#include <QPushButton>

namespace zorvex {

class Frm_offline : public QMainWindow {
    Q_OBJECT
public:
    explicit Frm_offline(QWidget* parent = nullptr);
    QPushButton* CmdMain;

signals:
    void mainRequested();
};

}  // namespace zorvex
