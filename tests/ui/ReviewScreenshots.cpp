// Renders the offline window (group activity, channel signal with its
// re-analysis, and the actogram) and the report window over it, at 1280 x
// 800, into the PNG files offline-groups.png, offline-channel.png,
// actogram.png and report.png of the folder named on the command line; then
// the figure dialog over it (figure-dialog.png) and the three figures of the
// three-day acquisition as written (figure-groups.png, figure-plate.png,
// figure-actogram.png):
//   review_screenshots docs/screenshots
// The acquisitions are written by hand (copies of the demo project; six hours
// of counts and a page of raw beam signal, and three days of counts under
// light from 9 to 21), not recorded.

#include <QApplication>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <random>
#include <unistd.h>

#include "AcquisitionBuilder.h"
#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "acquisition/NewProgramFolder.h"
#include "control/LightSchedule.h"
#include "store/ProgramFolderInit.h"
#include "store/ProjectFolders.h"
#include "store/Workspace.h"
#include "figures/Figures.h"
#include "ui/offline/Frm_offline.h"
#include "ui/report/FigureDialog.h"
#include "ui/report/Frm_Report.h"
#include "views/FigureChoices.h"

namespace {

using namespace zorvex;

constexpr const char* AcquisitionName = "14032026_0930";
constexpr int Minutes = 420;
constexpr int RawBins = 55;
constexpr const char* ThreeDaysName = "16032026_1430";
constexpr int ThreeDaysMinutes = 3 * 1440;
constexpr int ThreeDaysStartMinute = 14 * 60 + 30;

// Six hours of counts: each plate row (group) has its own level, and every
// group slows down towards the middle of the run.
void writeCounts(const std::filesystem::path& folder, const Workspace& workspace) {
    std::mt19937 rng(7);
    for (int minute = 1; minute <= Minutes; ++minute) {
        ActivityRecord record;
        record.elapsedMinutes = minute;
        const double rhythm = 1.0 - 0.45 * std::sin(3.14159 * minute / Minutes);
        for (int c = 0; c < ChannelCount; ++c) {
            const int group = workspace.channels.Group[static_cast<std::size_t>(c)];
            const double level = group < 0 ? 1.0 : 4.0 + 1.5 * group;
            std::poisson_distribution<int> counts(level * rhythm);
            record.counts[static_cast<std::size_t>(c)] = static_cast<std::int16_t>(counts(rng));
        }
        record.temperatureTenths = static_cast<std::int16_t>(250 + minute % 3);
        appendActivityRecord(folder, record);
    }
}

// Three days of day-active larvae under light from 9 to 21: busy in the light,
// stirring an hour before it comes on, nearly still at night; the fourth
// plate row (group 3) keeps no rhythm.
void writeThreeDays(const std::filesystem::path& folder, const Workspace& workspace) {
    test::AcquisitionBuilder builder(folder);
    std::mt19937 rng(13);
    std::vector<ActivityRecord> records;
    for (int minute = 1; minute <= ThreeDaysMinutes; ++minute) {
        const double hour = std::fmod((ThreeDaysStartMinute + minute) / 60.0, 24.0);
        const bool light = hour >= 9.0 && hour < 21.0;
        const double anticipation = hour >= 8.0 && hour < 9.0 ? hour - 7.7 : 0.0;
        const double diurnal = light ? 1.0 - 0.25 * std::sin(3.14159 * (hour - 9.0) / 12.0) : 0.06 + 0.6 * anticipation;
        ActivityRecord record;
        record.elapsedMinutes = minute;
        for (int c = 0; c < ChannelCount; ++c) {
            const int group = workspace.channels.Group[static_cast<std::size_t>(c)];
            const double rate = group == 3 ? 2.2 : 4.0 * diurnal;
            std::poisson_distribution<int> counts(rate);
            record.counts[static_cast<std::size_t>(c)] = static_cast<std::int16_t>(counts(rng));
        }
        record.temperatureTenths = 280;
        records.push_back(record);
    }
    builder.append(records);
}

// Beam signals at 55 to 85 % of full scale with small noise and a few organism passes.
void writeRawSignal(const std::filesystem::path& folder) {
    std::mt19937 rng(11);
    auto uniform = [&rng](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    std::vector<int> levels(ChannelCount);
    for (int c = 0; c < ChannelCount; ++c) levels[static_cast<std::size_t>(c)] = 1200 + (c * 37) % 600;
    for (int bin = 0; bin < RawBins; ++bin) {
        SampleFrame frame(500);
        for (int c = 0; c < ChannelCount; ++c) {
            for (int i = 0; i < 500; ++i) frame.at(c, i) = static_cast<std::int16_t>(levels[static_cast<std::size_t>(c)] + uniform(-12, 12));
            for (int pass = uniform(1, 4); pass > 0; --pass) {
                const int start = uniform(0, 470);
                const int width = uniform(6, 28);
                const int depth = uniform(25, 60);
                for (int i = start; i < start + width; ++i) frame.at(c, i) = static_cast<std::int16_t>(frame.at(c, i) * (100 - depth) / 100);
            }
        }
        appendRealTimeDump(folder, bin / DumpsPerRealTimeFile, frame);
    }
}

// The window as the operator sees it, with `over` centred on it when given.
bool save(QWidget& window, QWidget* over, const std::filesystem::path& file) {
    QApplication::processEvents();
    QPixmap shot = window.grab();
    if (over) {
        // The offscreen platform draws no window frames: a plain title bar stands in.
        constexpr int TitleHeight = 24;
        QPixmap top = over->grab();
        QPainter painter(&shot);
        const QSize size(top.width(), top.height() + TitleHeight);
        const QPoint corner((shot.width() - size.width()) / 2, (shot.height() - size.height()) / 2);
        painter.fillRect(QRect(corner + QPoint(6, 6), size), QColor(0, 0, 0, 60));
        painter.fillRect(QRect(corner, QSize(size.width(), TitleHeight)), QColor(70, 90, 120));
        painter.setPen(Qt::white);
        painter.drawText(QRect(corner + QPoint(10, 0), QSize(size.width() - 20, TitleHeight)),
                         Qt::AlignVCenter | Qt::AlignLeft, over->windowTitle());
        painter.drawPixmap(corner + QPoint(0, TitleHeight), top);
        painter.setPen(QColor(70, 90, 120));
        painter.drawRect(QRect(corner, size).adjusted(0, 0, -1, -1));
    }
    if (shot.save(QString::fromStdString(file.string()), "PNG")) return true;
    std::cerr << "cannot write " << file << "\n";
    return false;
}

// The three figures as the command writes them, at 300 dpi for a page column.
bool writeFigures(const std::filesystem::path& acquisition, const std::filesystem::path& programFolder,
                  const std::filesystem::path& output) {
    FigureChoices actogram;
    actogram.kind = FigureKind::Actogram;
    actogram.subject = ActogramSubject::WellAndGroup;
    actogram.well = "B5";
    FigureChoices plate;
    plate.kind = FigureKind::Plate;
    for (const FigureChoices& choices : {FigureChoices{}, plate, actogram}) {
        const std::string name = "figure-" + std::string(figureKindName(choices.kind)) + ".png";
        const FigureOutcome outcome = writeFigure(figureRequestOf(choices, acquisition, programFolder, output / name));
        if (!outcome.written) {
            std::cerr << name << ": " << outcome.message << "\n";
            return false;
        }
    }
    return true;
}

void doubleClick(QListWidget* list, const QString& text) {
    auto found = list->findItems(text, Qt::MatchExactly);
    if (found.isEmpty()) return;
    list->setCurrentItem(found.front());
    emit list->itemDoubleClicked(found.front());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: review_screenshots OUTPUT_FOLDER\n";
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    const std::filesystem::path output = std::filesystem::absolute(argv[1]);
    // The folder texts on screen read "zorvex/p00001/...", relative to a scratch folder.
    test::TempFolder scratch;
    if (::chdir(scratch.path().c_str()) != 0) return 1;
    const std::filesystem::path programFolder = "zorvex";
    test::ScriptedDialogs dialogs;
    test::ManualHost host;
    if (auto failure = initProgramFolder(programFolder, findDataFolder())) {
        std::cerr << *failure << "\n";
        return 1;
    }
    Workspace workspace;
    workspace.programFolder = programFolder;
    loadConfig(workspace.config, workspace.programFolder, dialogs);
    workspace.projectFolder = projectFolderPath(workspace.programFolder, 1);
    loadProject(workspace, 1, dialogs);
    const std::filesystem::path acquisition = workspace.projectFolder / AcquisitionName;
    std::filesystem::create_directories(acquisition);
    saveProjectInto(workspace, acquisition);
    writeExperimentInfo(acquisition, {"N2 day 1", "N2 worms at 20 C"});
    writeCounts(acquisition, workspace);
    writeRawSignal(acquisition);
    Workspace lit = workspace;
    lit.setup.Mn[LightRow] = {1, 9, 21, 0, 0, 0};
    const std::filesystem::path threeDays = workspace.projectFolder / ThreeDaysName;
    std::filesystem::create_directories(threeDays);
    saveProjectInto(lit, threeDays);
    writeExperimentInfo(threeDays, {"Larvae 3 days", "Larvae under light 9-21"});
    writeThreeDays(threeDays, workspace);

    Frm_offline offline(programFolder, dialogs, host);
    offline.resize(1280, 800);
    offline.show();
    doubleClick(offline.Listpj, "p00001");
    doubleClick(offline.Listpj, AcquisitionName);
    offline.combogrup->setCurrentIndex(2);
    doubleClick(offline.lstgrup, "C3");
    offline.Cmd_leegroups->click();
    if (!save(offline, nullptr, output / "offline-groups.png")) return 1;

    offline.cmdchannels->click();
    offline.frmtxt_threshold->setText("2.2");
    offline.Cmd_analyze->click();
    if (!save(offline, nullptr, output / "offline-channel.png")) return 1;

    Frm_Report report(programFolder, dialogs, host);
    report.openOn(acquisition, "30");
    report.mnrecalculate->trigger();
    report.frmlbl_status->setText("Block 12/55");
    QApplication::processEvents();
    if (!save(offline, &report, output / "report.png")) return 1;
    report.close();

    doubleClick(offline.Listpj, ThreeDaysName);
    offline.combogrup->setCurrentIndex(1);
    doubleClick(offline.lstgrup, "B5");
    offline.cmdactogram->click();
    if (!save(offline, nullptr, output / "actogram.png")) return 1;

    report.openOn(threeDays, "60");
    report.Cmd_figures->click();
    auto* figures = report.findChild<FigureDialog*>();
    if (!figures || !save(offline, figures, output / "figure-dialog.png")) return 1;
    figures->close();
    report.close();
    return writeFigures(threeDays, programFolder, output) ? 0 : 1;
}
