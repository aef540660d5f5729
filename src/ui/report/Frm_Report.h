#pragma once
// The report window: an acquisition folder's counts turned into a report
// file in the chosen layout, a recount from the stored raw signal on a pool
// of workers with progress and STOP, one text file per well, monitor files
// for rhythm-analysis tools and the activity table. It reads
// every input again from the folder, so it never depends on the current
// project.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <array>
#include <filesystem>
#include <optional>

#include "platform/Dialogs.h"
#include "platform/Host.h"
#include "reports/Report.h"

namespace zorvex {

class ElidedLabel;
class FigureDialog;
class ScreeningWindow;
class BehaviourWindow;

class Frm_Report : public QMainWindow {
    Q_OBJECT
public:
    Frm_Report(const std::filesystem::path& programFolder, Dialogs& dialogs, Host& host, QWidget* parent = nullptr);

    /// Opens the window on an acquisition folder with `binSizeText` in the bin
    /// size box; "Activity file not Found" instead when the folder holds no
    /// counts.bin. False when the window was not opened.
    bool openOn(const std::filesystem::path& acquisitionFolder, const QString& binSizeText);

    /// Whether `acquisitionFolder` holds the counts.bin a report is made from.
    static bool holdsActivity(const std::filesystem::path& acquisitionFolder);

    /// True while a recalculation runs.
    bool running() const { return running_; }

    QLineEdit* Txt_inputfile;
    QComboBox* Cmb_binsize;
    std::array<QCheckBox*, 5> Chk_statistic{};
    std::array<QRadioButton*, 3> Option_output{};
    std::array<QRadioButton*, 2> Option_report{};
    QLineEdit* txt_customspacer;
    QPushButton* Cmd_generate;
    QPushButton* Cmd_cancel;
    QPushButton* Cmd_figures;
    QPushButton* Cmd_screening;  ///< "Screening...": the screening window on this folder
    QPushButton* Cmd_behaviour;  ///< "Behaviour...": sleep and circadian rhythm of this folder
    QGroupBox* Frame_run;
    QComboBox* Cmb_dspmethod;
    QComboBox* Cmb_organism;
    QLineEdit* frmtxt_threshold;
    QLineEdit* frmtxt_datalapse;
    QCheckBox* Chk_replacedata;
    QPushButton* cmd_runframe;
    QPushButton* cmd_stopframe;
    QLabel* frmlbl_status;
    ElidedLabel* lbl_status;  ///< the status line: what was last written for this acquisition
    QMenu* mnadvance;
    QAction* mnrecalculate;
    QAction* mncircadian;
    QAction* mnrhythm;
    QAction* mntable;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildReportControls();
    QWidget* buildRecalculationFrame();
    void buildMenu();
    void buildStatusLine();
    void setGrown(bool grown);
    void cancel();
    std::filesystem::path folder() const;
    /// The bin size typed; nothing, after "Report Calculation Error", for a text that is no number.
    std::optional<long long> typedBinMinutes();
    ReportRequest request(long long binMinutes) const;
    /// Shows the bin size used and where the report went, and opens it.
    void showOutcome(const ReportOutcome& outcome);
    void generate();
    void showRecalculation();
    void run();
    void exportPerWell();
    void exportForRhythm();
    void exportTable();
    void checkThreshold();
    void showFigures();

    std::filesystem::path programFolder_;
    Dialogs& dialogs_;
    Host& host_;
    ScreeningWindow* screening_ = nullptr;
    BehaviourWindow* behaviour_ = nullptr;
    bool running_ = false;
    bool stopRequested_ = false;
    FigureDialog* figures_ = nullptr;  ///< made at the first "Figures..."
};

}  // namespace zorvex
