#pragma once
// Three panels of the setup editor: the acquisition settings (Frameconfig),
// the file output (Frameout) and the tool switches (frametool). Each edits
// the current project's setup in memory as the operator types or clicks.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <optional>
#include <string>
#include <vector>

#include "store/ProjectSetup.h"
#include "ui/setup/SetupRules.h"

namespace zorvex {

class ConfigPanel : public QGroupBox {
    Q_OBJECT
public:
    ConfigPanel(ProjectSetup& setup, QWidget* parent);

    /// Shows the setup: the plate list (selecting Plate_format, else the
    /// last), the modes and the number boxes.
    void load(const std::vector<std::string>& plateNames);

    /// Puts Plate_format back into the plate box.
    void showPlateFormat();

    QComboBox* Combowell;
    QPushButton* cmdlod;
    QComboBox* Combo_aqmode;
    QLineEdit* Txtlapse;
    QLineEdit* Txtsample;
    QLineEdit* Txtbuffer;
    QComboBox* ComboDSP;
    QLineEdit* Txt_dspinterval;
    QLabel* lbl_numberproblem;  ///< what is wrong with a number box's text, in red

    /// The first number box whose text is not a whole number: what is wrong with it.
    std::optional<std::string> numberProblem() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// A number box, the setting it edits and the rule that corrects it.
    struct NumberField {
        QLineEdit* box;
        std::string caption;
        std::int16_t ProjectSetup::*field;
        BoxValue (*rule)(std::string_view);
    };

    QLineEdit* numberBox(const char* name);
    void takeTyped(const NumberField& number);
    void showNumberProblem();

    ProjectSetup& setup_;
    std::vector<NumberField> numbers_;
};

class OutputPanel : public QGroupBox {
    Q_OBJECT
public:
    OutputPanel(ProjectSetup& setup, QWidget* parent);

    /// Shows the output choices; counts are always saved.
    void load();

    QComboBox* Combosavecount;
    QComboBox* Combosavereal;
    QLineEdit* Txtfolder;

private:
    ProjectSetup& setup_;
};

class ToolsPanel : public QGroupBox {
    Q_OBJECT
public:
    ToolsPanel(ProjectSetup& setup, QWidget* parent);

    /// Shows the switches; calibration control is always on.
    void load();

    QCheckBox* chkcalib;
    QCheckBox* chklight;
    QCheckBox* chktemp;
    QCheckBox* Chk_mn4;
    QCheckBox* Chk_mn5;
    QCheckBox* Chk_mn6;

signals:
    /// A tool switch changed: the main window shows or hides its panels
    /// (frm_mn1..frm_mn3, frm_pulse) from the Menu flags.
    void toolPanelsChanged();
    /// Light control was switched: the main window's Chk_lenabled follows.
    void lightControlSwitched(bool on);

private:
    ProjectSetup& setup_;
};

}  // namespace zorvex
