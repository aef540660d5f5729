#pragma once
// The window of the report window's "Behaviour..." button: sleep and
// circadian rhythm of the acquisition, each on its tab with the choices of
// the sleep and periodogram commands, the groups' table, the figures, and
// where the files went.

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <filesystem>
#include <optional>

#include "behaviour/PeriodFiles.h"
#include "behaviour/SleepFiles.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"

namespace zorvex {

class BehaviourWindow : public QMainWindow {
    Q_OBJECT
public:
    BehaviourWindow(const std::filesystem::path& programFolder, Dialogs& dialogs, Host& host, QWidget* parent = nullptr);

    /// Shows the window on an acquisition folder; the results of another folder are cleared.
    void openOn(const std::filesystem::path& acquisitionFolder);

    /// Finds sleep with the chosen settings, writes its files and shows them.
    void findSleep();
    /// Computes the periodograms with the chosen settings, writes their files and shows them.
    void findPeriods();

    QLabel* lbl_folder;
    QDoubleSpinBox* txt_from;
    QDoubleSpinBox* txt_to;
    QTabWidget* tab_behaviour;
    QSpinBox* txt_inactive;  ///< 0: the organism's
    QPushButton* cmd_sleep;
    QTableWidget* tbl_sleep;
    QLabel* pic_sleep;
    QSpinBox* txt_resample;
    QDoubleSpinBox* txt_periodfrom;
    QDoubleSpinBox* txt_periodto;
    QDoubleSpinBox* txt_step;
    QComboBox* cmb_method;
    QDoubleSpinBox* txt_alpha;
    QPushButton* cmd_periods;
    QTableWidget* tbl_periods;
    QLabel* pic_periodogram;
    QLabel* pic_periodmap;
    QPlainTextEdit* txt_messages;
    QPushButton* cmd_openfolder;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* buildSleepTab();
    QWidget* buildRhythmTab();
    std::optional<ElapsedWindow> window() const;
    void showFiles(const std::vector<std::filesystem::path>& files, const std::vector<std::string>& messages);
    void showSleep();
    void showPeriods();
    void showPictures();

    std::filesystem::path programFolder_;
    Dialogs& dialogs_;
    Host& host_;
    std::filesystem::path folder_;
    std::filesystem::path resultsFolder_;
    std::optional<RhythmGrid> grid_;
    std::optional<SleepResults> sleep_;
    std::optional<PeriodResults> periods_;
};

}  // namespace zorvex
