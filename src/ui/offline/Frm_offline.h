#pragma once
// The offline review window: stored projects and their acquisitions browsed
// without the instrument, an acquisition's group activity, raw channel signal
// page by page and actograms, its re-analysis, joins and exports. It keeps its
// own copy of each folder's configuration, so review never touches the
// current project.

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/Dialogs.h"
#include "platform/Host.h"
#include "reports/RhythmGrid.h"
#include "ui/common/FigureSaving.h"
#include "ui/common/PlotSurface.h"
#include "ui/offline/RunEvents.h"
#include "views/OfflineConfig.h"
#include "views/PageBuffer.h"

namespace zorvex {

class Frm_offline : public QMainWindow {
    Q_OBJECT
public:
    /// The view `Picreal` shows; the list selectors redraw it.
    enum class ViewMode { GroupActivity, ChannelSignal, Actogram };

    Frm_offline(const std::filesystem::path& programFolder, Dialogs& dialogs, Host& host, QWidget* parent = nullptr);

    int browseLevel() const { return browseLevel_; }
    const std::filesystem::path& browsePath() const { return browsePath_; }
    /// The acquisition whose pages and views are shown; empty before one is opened.
    const std::filesystem::path& acquisitionPath() const { return acquisitionPath_; }
    const OfflineConfig& config() const { return config_; }
    const PageBuffer& pageBuffer() const { return page_; }
    int currentPage() const { return currentPage_; }
    int realTimeFiles() const { return realTimeFiles_; }
    ViewMode viewMode() const { return viewMode_; }
    int selectedChannel() const { return selectedChannel_; }

    QListWidget* Listpj;
    QPlainTextEdit* Txt_reporte;
    QPushButton* cmdback;
    QPushButton* Cmd_join;
    QPushButton* Cmd_events;  ///< shows the chosen acquisition's events.log
    PlotSurface* Picreal;
    PlotSurface* Pic_status;
    QScrollBar* scrollpage;
    QLineEdit* Txtpage;
    QComboBox* Combofila;
    QComboBox* Combocol;
    QLineEdit* txtsub;
    QLabel* lblcanal;
    QComboBox* combogrup;
    QListWidget* lstgrup;
    QPushButton* Cmd_leegroups;
    QPushButton* cmdchannels;
    QPushButton* cmdactogram;
    QLineEdit* frmtxt_threshold;
    QComboBox* cmb_modeanalisis;
    QPushButton* Cmd_analyze;
    QPushButton* Cmd_report;
    QAction* mnadvanced;
    QMenu* mnexporta;
    QAction* bmpexporta;
    QAction* asciiexporta;
    QAction* figureexporta;  ///< "Save figure as PDF/SVG/PNG...", for the group and actogram views
    /// Asks where a saved figure goes: the save dialog, unless a test answers.
    FigureFileQuestion askFigureFile = askFigureFileByDialog;
    QPushButton* Command21;  ///< "Main"
    QPushButton* CmdMain;    ///< the same button as Command21
    QPushButton* Command22;  ///< "Setup"
    QPushButton* CmdOffline; ///< "OffLine": marks this window, takes the focus

signals:
    /// Back to the main window.
    void mainRequested();
    /// On to the setup editor.
    void setupRequested();
    /// The report window, on the opened acquisition's folder (empty when none is open).
    void reportRequested(const QString& acquisitionFolder);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildBrowser();
    QWidget* buildViews();
    QWidget* buildSelectors();
    QWidget* buildSwitchBar();

    // Browsing (Frm_offline.cpp).
    void listProjects();
    void showSummary();
    void activateEntry();
    void openProject();
    void joinSelected();
    void releaseBuffers();
    void requestReport();
    void showReportText(const std::string& text);

    // The opened acquisition (Frm_offlineReview.cpp).
    void openAcquisition();
    void loadPage(int page, int progressSteps);
    void ensurePageLoaded();
    void refillSelectors();
    void showChannel();
    int selectedWell() const;
    QString selectedWellLabel() const;
    void showGroupWells();
    void chooseWell(QListWidgetItem* item);
    void redrawView();
    void setViewCaptions(ViewMode mode);
    void showGroupActivity();
    void showChannelSignal();

    // The actogram view (Frm_offlineActogram.cpp).
    void showActogram();
    const RhythmGrid* actogramGrid();
    void analyze();
    void changePage(int page);
    void exportAscii();
    void exportBmp();

    // Figures of the shown view (Frm_offlineFigure.cpp).
    void addFigureEntry();
    void saveFigure();

    std::filesystem::path programFolder_;
    Dialogs& dialogs_;
    Host& host_;

    int browseLevel_ = 0;
    std::filesystem::path browseProjectPath_;
    int browseProjectNumber_ = 0;
    std::filesystem::path browsePath_;
    RunEvents* runEvents_ = nullptr;  ///< made at its first use, owned by this window
    bool listed_ = false;

    OfflineConfig config_;
    std::filesystem::path acquisitionPath_;
    int realTimeFiles_ = 0;
    int currentPage_ = 1;
    int pageCount_ = 1;
    PageBuffer page_;
    bool loading_ = false;
    ViewMode viewMode_ = ViewMode::GroupActivity;
    int selectedChannel_ = -1;
    std::filesystem::path actogramFolder_;  ///< the folder actogramGrid_ was read from
    std::optional<RhythmGrid> actogramGrid_;
};

}  // namespace zorvex
