#pragma once
// The project setup editor. Until its panels arrive it shows the project
// description and offers the way back to the main window.

#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>

namespace zorvex {

class Frm_setup : public QMainWindow {
    Q_OBJECT
public:
    explicit Frm_setup(QWidget* parent = nullptr);
    QPlainTextEdit* Txt_description;
    QPushButton* CmdMain;

signals:
    void mainRequested();
};

}  // namespace zorvex
