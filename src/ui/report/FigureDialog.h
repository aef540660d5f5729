#pragma once
// The report window's figure dialog: the kind of figure, its bin, band, hours,
// groups or actogram subject, the page size and the file type, a preview of
// the figure as it will be written, and saving it where the operator says.
// Which choice makes which request is decided in views/FigureChoices; this
// file only reads and fills the widgets.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <optional>

#include "platform/Dialogs.h"
#include "ui/common/FigureSaving.h"
#include "views/FigureChoices.h"

namespace zorvex {

class FigureDialog : public QDialog {
    Q_OBJECT
public:
    FigureDialog(const std::filesystem::path& programFolder, Dialogs& dialogs, QWidget* parent = nullptr);

    /// Shows the dialog on an acquisition folder with `binText` as its bin;
    /// false, after the reader's message, when the folder cannot be drawn from.
    bool openOn(const std::filesystem::path& acquisitionFolder, const QString& binText);

    /// The choices the widgets hold; nothing, with what to mend on the status
    /// line, when a typed bin or window or the ticked groups cannot be used.
    std::optional<FigureChoices> choices();

    /// Asks where the figure goes: the save dialog, unless a test answers.
    FigureFileQuestion askFigureFile = askFigureFileByDialog;

    QComboBox* cmbKind;
    QComboBox* cmbBin;
    QComboBox* cmbError;
    QLineEdit* txtWindow;
    QListWidget* lstGroups;
    QCheckBox* chkPerGroup;
    QComboBox* cmbTime;
    QComboBox* cmbValue;
    QComboBox* cmbSubject;
    QComboBox* cmbWell;
    QComboBox* cmbSize;
    QComboBox* cmbFormat;
    QLabel* picPreview;
    QLabel* lblStatus;
    QPushButton* cmdSave;
    QPushButton* cmdClose;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* buildSettings();
    void showSettingsOfKind();
    void fillOffer(const FigureOffer& offer);
    void schedulePreview();
    void drawPreview();
    void save();
    void showStatus(const QString& text, bool failure);

    std::filesystem::path programFolder_;
    Dialogs& dialogs_;
    std::filesystem::path acquisition_;
    QFormLayout* form_ = nullptr;
    QTimer previewTimer_;
    QString savedNotice_;  ///< where the last figure of this acquisition went
};

}  // namespace zorvex
