// The run's messages in the notices window: a flapping link leaves one list
// and no box, and the end of the lapse stops the run before anything is shown.

#include <gtest/gtest.h>

#include <QThread>

#include "MainProgram.h"
#include "acquisition/Acquisition.h"
#include "common/Files.h"
#include "ui/main/NoticesWindow.h"
#include "ui/report/Frm_Report.h"

using namespace zorvex;

using test::OnlineProgram;

namespace {

std::vector<std::string> listed(const NoticesWindow& window) {
    std::vector<std::string> lines;
    for (int row = 0; row < window.lst_notices->count(); ++row) {
        lines.push_back(window.lst_notices->item(row)->text().toStdString());
    }
    return lines;
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

int noticesWindows() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) count += qobject_cast<NoticesWindow*>(widget) ? 1 : 0;
    return count;
}

}  // namespace

TEST(MainNotices, TwentyLossesAndReturnsGiveOneListAndNoBox) {
    OnlineProgram program("", [](ProjectSetup& setup) {
        setup.RT_Buffer = 200;
        setup.Aq_lapse = 6000;
    });
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    program.dialogs.inputs = {"Flapping link"};
    window.CmdPlay->click();
    ASSERT_TRUE(program.runUntil([&] { return window.acquisition().binsClosed() >= 1; }));
    program.dialogs.shown.clear();
    // A box's own event loop would run the next ticks one level deeper.
    int deepestLoop = 0;
    QObject::connect(window.Timeradq, &QTimer::timeout, [&] {
        deepestLoop = std::max(deepestLoop, QThread::currentThread()->loopLevel());
    });

    constexpr int Losses = 20;
    for (int loss = 0; loss < Losses; ++loss) {
        program.instrument.unplug();
        ASSERT_TRUE(program.runUntil([&] { return window.acquisition().waitingForInstrument(); })) << loss;
        program.instrument.plugIn();
        program.host.elapsedMs += Acquisition::ReconnectIntervalMs;
        ASSERT_TRUE(program.runUntil([&] { return !window.acquisition().waitingForInstrument(); })) << loss;
    }

    EXPECT_EQ(window.acquisition().state(), AcquisitionState::Running);
    EXPECT_TRUE(program.dialogs.shown.empty()) << program.dialogs.shown.front();
    EXPECT_EQ(deepestLoop, 0);
    EXPECT_EQ(noticesWindows(), 1);
    NoticesWindow& notices = *window.noticesWindow();
    EXPECT_TRUE(notices.isVisible());
    EXPECT_FALSE(notices.isModal());
    const auto lines = listed(notices);
    ASSERT_EQ(lines.size(), 2u * Losses);
    // Newest first: the last return, then the loss it ended, which no longer holds.
    EXPECT_TRUE(contains(lines[0], "The instrument answers again on COM4 since ")) << lines[0];
    EXPECT_TRUE(contains(lines[1], "The instrument stopped answering on COM4")) << lines[1];
    for (std::size_t row = 1; row < lines.size(); row += 2) {
        EXPECT_TRUE(contains(lines[row], "(no longer holds: answers again since ")) << lines[row];
    }
    EXPECT_EQ(lines[0].rfind("2026-12-06 ", 0), 0u) << lines[0];
}

TEST(MainNotices, LapseEndingWithNoRecordStopsTheRunWithoutAClick) {
    OnlineProgram program("", [](ProjectSetup& setup) {
        setup.RT_Buffer = 2000;
        setup.Aq_lapse = 1;
    });
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    program.dialogs.inputs = {"Too short"};
    window.CmdPlay->click();
    ASSERT_EQ(window.acquisition().state(), AcquisitionState::Running);
    const auto folder = window.acquisition().folder();
    program.dialogs.shown.clear();

    program.host.advanceMinutes(2);  // the lapse ends before the first bin closes
    ASSERT_TRUE(program.runUntil([&] { return window.noticesWindow()->lst_notices->count() >= 2; }));

    EXPECT_EQ(window.acquisition().state(), AcquisitionState::Stopped);
    EXPECT_EQ(window.acquisition().binsRecorded(), 0);
    EXPECT_FALSE(window.Timeradq->isActive());
    EXPECT_TRUE(window.CmdPlay->isEnabled());
    EXPECT_FALSE(window.CmdPause->isEnabled());
    EXPECT_TRUE(program.dialogs.shown.empty()) << program.dialogs.shown.front();
    EXPECT_FALSE(window.reportWindow()->isVisible());
    EXPECT_TRUE(contains(readFile(folder / "events.log").value_or(""), "End of the lapse (1 min)"));
    const auto lines = listed(*window.noticesWindow());
    EXPECT_TRUE(contains(lines[0], "Activity file not Found in " + folder.string())) << lines[0];
    EXPECT_TRUE(contains(lines[1], "Acquisition finished")) << lines[1];
}
