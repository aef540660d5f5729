// What the main window says about a run it starts or pauses: Cancel in the
// name box starts nothing, a paused run says so, a folder that cannot be made says why.

#include <gtest/gtest.h>

#include <QMenu>
#include <QMenuBar>

#include "MainProgram.h"
#include "TypedKeys.h"
#include "acquisition/Acquisition.h"
#include "common/Files.h"
#include "ui/main/LiveViewModel.h"
#include "ui/common/AppFonts.h"

using namespace zorvex;

using test::OnlineProgram;

namespace {

void shortRun(ProjectSetup& setup) {
    setup.RT_Buffer = 200;
    setup.Aq_lapse = 600;
}

std::size_t foldersIn(const std::filesystem::path& folder) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) count += entry.is_directory();
    return count;
}

// The rows of the signal plot that hold the red trace, and the first of them.
struct TraceRows {
    int rows = 0;
    int first = -1;
};

TraceRows traceRows(const QImage& image) {
    TraceRows trace;
    for (int y = 0; y < image.height(); ++y) {
        bool red = false;
        for (int x = 0; x < image.width() && !red; ++x) red = test::isRed(image.pixel(x, y));
        if (!red) continue;
        ++trace.rows;
        if (trace.first < 0) trace.first = y;
    }
    return trace;
}

}  // namespace

TEST(MainRunState, CancelInTheNameBoxStartsNothing) {
    OnlineProgram program("", shortRun);
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    const std::size_t folders = foldersIn(program.workspace.projectFolder);
    program.dialogs.shown.clear();

    window.CmdPlay->click();  // the scripted box is cancelled, as Escape does

    ASSERT_EQ(program.dialogs.shown.size(), 1u);  // no "Name is EMPTY", no second box
    EXPECT_NE(program.dialogs.shown[0].find("Enter a Name for this Experiment"), std::string::npos);
    EXPECT_EQ(window.acquisition().state(), AcquisitionState::Stopped);
    EXPECT_FALSE(window.Timeradq->isActive());
    EXPECT_TRUE(window.CmdPlay->isEnabled());
    EXPECT_TRUE(window.lbl_monitor->isHidden());
    EXPECT_EQ(foldersIn(program.workspace.projectFolder), folders);
}

TEST(MainRunState, ReportBeforeAnyRecordingSaysWhereStoredOnesAreReported) {
    OnlineProgram program("", shortRun);
    ASSERT_TRUE(program.start());
    program.dialogs.shown.clear();

    program.window->Cmdreport->click();

    ASSERT_EQ(program.dialogs.shown.size(), 1u);
    EXPECT_NE(program.dialogs.shown[0].find("No acquisition was recorded since the program started"), std::string::npos)
        << program.dialogs.shown[0];
}

TEST(MainRunState, PauseShowsInItsButtonAndTheModeLine) {
    OnlineProgram program("", shortRun);
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    program.dialogs.inputs = {"Paused run"};
    window.CmdPlay->click();
    ASSERT_EQ(window.acquisition().state(), AcquisitionState::Running);
    const QString online = window.lbl_mode->text();
    EXPECT_EQ(window.CmdPause->text(), "Pause");

    for (const Answer timeCounter : {Answer::Yes, Answer::No}) {
        program.dialogs.answers = {timeCounter};
        window.CmdPause->click();
        EXPECT_EQ(window.acquisition().state(), AcquisitionState::Paused);
        EXPECT_EQ(window.CmdPause->text(), "Resume");
        EXPECT_EQ(window.lbl_mode->text(), online + " - RUN PAUSED, nothing is sampled");

        window.CmdPause->click();
        EXPECT_EQ(window.acquisition().state(), AcquisitionState::Running);
        EXPECT_EQ(window.CmdPause->text(), "Pause");
        EXPECT_EQ(window.lbl_mode->text(), online);
    }

    program.dialogs.answers = {Answer::Yes};
    window.CmdPause->click();
    window.CmdStop->click();  // stopped while paused
    EXPECT_EQ(window.CmdPause->text(), "Pause");
    EXPECT_EQ(window.lbl_mode->text(), online);
}

TEST(MainRunState, AFolderThatCannotBeMadeSaysWhy) {
    OnlineProgram program("", shortRun);
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    // A file where this minute's acquisition folder goes.
    const auto blocked = program.workspace.projectFolder / "06122026_1458";
    ASSERT_TRUE(writeFile(blocked, "not a folder"));
    program.dialogs.inputs = {"Blocked"};
    program.dialogs.shown.clear();

    window.CmdPlay->click();

    EXPECT_EQ(window.acquisition().state(), AcquisitionState::Stopped);
    ASSERT_EQ(program.dialogs.shown.size(), 2u);
    EXPECT_EQ(program.dialogs.shown[1], "Cannot create the acquisition folder " + blocked.string() + ": Not a directory");
}

TEST(MainRunState, TheTraceAtTheStartZoomShowsTheCrossings) {
    OnlineProgram program("", shortRun);
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    program.dialogs.inputs = {""};  // a monitor run
    window.CmdPlay->click();
    ASSERT_TRUE(program.runUntil([&] { return window.acquisition().binsClosed() >= 1; }));
    window.Timeradq->stop();
    EXPECT_EQ(window.zoom(), DefaultZoom);
    const TraceRows started = traceRows(window.Picreal->image());

    while (window.zoom() > 0) window.Cmdzoom_minus->click();  // the same samples at zoom 0
    const TraceRows raw = traceRows(window.Picreal->image());

    // At zoom 0 the samples lie above the plot: a flat line along its top.
    EXPECT_LE(raw.rows, 3);
    EXPECT_GT(started.rows, raw.rows);
    EXPECT_GT(started.first, raw.first + 10);  // the trace came down into the plot
    window.CmdStop->click();
}

TEST(MainRunState, MenusShowWholeWordsInTheMenuBarsFont) {
    QApplication::setFont(QFont("DejaVu Sans", 14), "QMenu");  // a theme that enlarges menus
    useMenuBarFontInMenus();
    OnlineProgram program;
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    const QFont barFont = window.menuBar()->font();
    int checked = 0;
    for (QMenu* menu : window.findChildren<QMenu*>()) {
        EXPECT_EQ(menu->font(), barFont) << menu->title().toStdString();
        const QFontMetrics metrics(menu->font());
        for (QAction* action : menu->actions()) {
            if (action->isSeparator()) continue;
            EXPECT_LT(metrics.horizontalAdvance(action->text()), menu->sizeHint().width()) << action->text().toStdString();
            ++checked;
        }
    }
    EXPECT_GT(checked, 20);  // File, Settings with its 15 ports, Advanced, Help
}
