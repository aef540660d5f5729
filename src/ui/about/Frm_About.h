#pragma once

#include <QDialog>
#include <QLabel>

namespace zorvex {

/// The about window: what the program is and its version.
class Frm_About : public QDialog {
    Q_OBJECT
public:
    explicit Frm_About(QWidget* parent = nullptr);
    QLabel* Label_version;
};

}  // namespace zorvex
