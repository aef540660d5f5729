#pragma once
// The screening window of the report window's "Screening..." button: the
// time window and the normalisation chosen, the screen run on the
// acquisition, and its results shown (the table of compounds, the plate
// quality, the dose-response curves) with where the files went.

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <filesystem>
#include <optional>

#include "platform/Dialogs.h"
#include "platform/Host.h"
#include "screening/ScreenFolder.h"

namespace zorvex {

class ScreeningWindow : public QMainWindow {
    Q_OBJECT
public:
    ScreeningWindow(const std::filesystem::path& programFolder, Dialogs& dialogs, Host& host, QWidget* parent = nullptr);

    /// Shows the window on an acquisition folder, the window set to the
    /// whole recording; the results of another folder are cleared.
    void openOn(const std::filesystem::path& acquisitionFolder);

    /// Runs the screen with the chosen settings and shows what it gave; a
    /// screen that gives nothing shows its messages in a box.
    void run();

    QLabel* lbl_folder;
    QDoubleSpinBox* txt_from;
    QDoubleSpinBox* txt_to;
    QComboBox* cmb_normalise;
    QComboBox* cmb_fit;
    QComboBox* cmb_figures;
    QPushButton* cmd_screen;
    QTableWidget* tbl_results;
    QLabel* lbl_quality;
    QLabel* pic_curves;
    QPlainTextEdit* txt_messages;
    QPushButton* cmd_openfolder;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* buildSettings();
    QWidget* buildResults();
    void showResults(const ScreeningOutcome& outcome);
    void showCurves();

    std::filesystem::path programFolder_;
    Dialogs& dialogs_;
    Host& host_;
    std::filesystem::path folder_;
    std::filesystem::path resultsFolder_;
    std::optional<ScreeningResults> results_;
    std::pair<double, double> resultsWindow_;  ///< the hours the results were screened over
};

}  // namespace zorvex
