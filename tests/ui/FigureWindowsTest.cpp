// Figures from the windows, through their widgets: the report window's
// "Figures..." dialog (kind, preview, save) and the offline window's
// right-click entry; the files are read back by the readers of FigureReaders.h.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QStatusBar>

#include "FigureReaders.h"
#include "OfflineWindow.h"
#include "TypedKeys.h"
#include "common/Files.h"
#include "ui/report/FigureDialog.h"
#include "ui/report/Frm_Report.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {

constexpr const char* Acquisition = "05032024_1430";

// The file a test answers the save question with, and what it was asked.
struct SaveAnswer {
    std::filesystem::path answer;
    std::vector<std::string> suggested;

    FigureFileQuestion question() {
        return [this](QWidget*, const QString& offered) {
            suggested.push_back(offered.toStdString());
            return QString::fromStdString(answer.string());
        };
    }
};

// Lets the dialog's delayed preview run.
void settle(int milliseconds = 400) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

std::string textOfPdf(const std::filesystem::path& file) {
    return readPdf(readFile(file, std::size_t{16} << 20).value_or("")).text;
}

struct FigureDialogWindow : ReviewFolder {
    std::unique_ptr<Frm_Report> report;
    FigureDialog* dialog = nullptr;
    SaveAnswer save;
    TempFolder output;

    FigureDialogWindow() {
        report = std::make_unique<Frm_Report>(folder.path(), dialogs, host);
        EXPECT_TRUE(report->openOn(acquisition(Acquisition, "z96f", 120).folder(), "30"));
        report->Cmd_figures->click();
        dialog = report->findChild<FigureDialog*>();
        if (dialog) dialog->askFigureFile = save.question();
    }
};

}  // namespace

TEST(FigureDialog, ChoosesAKindPreviewsItAndSavesItWhereAsked) {
    FigureDialogWindow window;
    ASSERT_NE(window.dialog, nullptr);
    FigureDialog& dialog = *window.dialog;
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.windowTitle(), "Figures - 05032024_1430");
    EXPECT_EQ(dialog.cmbBin->currentText(), "30") << "the report window's bin";
    ASSERT_EQ(dialog.lstGroups->count(), 1);
    EXPECT_EQ(dialog.lstGroups->item(0)->text(), "1: Control");
    EXPECT_FALSE(dialog.picPreview->pixmap().isNull()) << dialog.lblStatus->text().toStdString();

    struct Case {
        int kind;
        int format;
        const char* answer;     // typed without an extension: the file type gives it
        const char* written;
        std::vector<QWidget*> shown;
        std::vector<QWidget*> hidden;
    };
    const Case cases[] = {
        {0, 0, "groups", "groups.pdf", {dialog.cmbError, dialog.txtWindow, dialog.lstGroups}, {dialog.cmbValue, dialog.cmbSubject}},
        {1, 1, "heat", "heat.svg", {dialog.txtWindow, dialog.cmbValue}, {dialog.lstGroups, dialog.cmbError, dialog.cmbSubject}},
        {2, 2, "acto.png", "acto.png", {dialog.cmbSubject}, {dialog.txtWindow, dialog.lstGroups, dialog.cmbWell}},
    };
    for (const Case& c : cases) {
        dialog.cmbKind->setCurrentIndex(c.kind);
        dialog.cmbFormat->setCurrentIndex(c.format);
        settle();
        for (QWidget* widget : c.shown) EXPECT_TRUE(widget->isVisible()) << c.written << " " << widget->objectName().toStdString();
        for (QWidget* widget : c.hidden) EXPECT_FALSE(widget->isVisible()) << c.written << " " << widget->objectName().toStdString();
        EXPECT_FALSE(dialog.picPreview->pixmap().isNull()) << c.written;

        window.save.answer = window.output / c.answer;
        dialog.cmdSave->click();
        const std::filesystem::path file = window.output / c.written;
        EXPECT_TRUE(fileExists(file)) << file;
        EXPECT_EQ(dialog.lblStatus->text().toStdString(), "Figure written: " + file.string());
    }
    const auto acquisition = window.project() / Acquisition;
    EXPECT_EQ(window.save.suggested, (std::vector<std::string>{(acquisition / "groups.pdf").string(),
                                                               (acquisition / "plate.svg").string(),
                                                               (acquisition / "actogram.png").string()}));
    std::string svgText;
    for (const std::string& text : readSvg(readFile(window.output / "heat.svg", std::size_t{16} << 20).value_or("")).texts) svgText += text + "\n";
    EXPECT_NE(svgText.find("Control"), std::string::npos) << svgText;

    // An actogram of one well with its group's mean, as the offline window shows it.
    dialog.cmbSubject->setCurrentIndex(dialog.cmbSubject->count() - 1);
    EXPECT_TRUE(dialog.cmbWell->isVisible());
    dialog.cmbWell->setCurrentText("B1");
    dialog.cmbFormat->setCurrentIndex(0);
    window.save.answer = window.output / "well.pdf";
    dialog.cmdSave->click();
    const std::string text = textOfPdf(window.output / "well.pdf");
    EXPECT_NE(text.find("Well B1 (Control)"), std::string::npos) << text;
    EXPECT_NE(text.find("Control: mean of 2 wells"), std::string::npos) << text;
}

TEST(FigureDialog, TypedBinIsKeptAsTyped) {
    FigureDialogWindow window;
    ASSERT_NE(window.dialog, nullptr);
    FigureDialog& dialog = *window.dialog;
    QLineEdit* typed = dialog.cmbBin->lineEdit();
    for (const QString bin : {"2", "12", "1"}) {
        eraseAll(typed);
        typeText(typed, bin);
        EXPECT_EQ(dialog.cmbBin->currentText(), bin);  // not 240 or 120
        const auto choices = dialog.choices();
        ASSERT_TRUE(choices.has_value()) << dialog.lblStatus->text().toStdString();
        EXPECT_EQ(choices->binMinutes, bin.toLongLong());
    }
}

TEST(FigureDialog, WhatCannotBeDrawnOrWrittenIsSaidOnTheStatusLine) {
    FigureDialogWindow window;
    ASSERT_NE(window.dialog, nullptr);
    FigureDialog& dialog = *window.dialog;
    struct Case {
        std::function<void()> choose;
        std::string status;
    };
    const Case cases[] = {
        {[&] { dialog.txtWindow->setText("24-12"); }, "Hours from start: 24-12 does not end after it begins"},
        {[&] { dialog.txtWindow->setText("100-200"); }, "No bin with records lies in the chosen time window."},
        {[&] { dialog.cmbBin->setEditText("0"); }, "Bin size: 0 is not in 1..1440"},
        {[&] { dialog.lstGroups->item(0)->setCheckState(Qt::Unchecked); }, "Groups: tick at least one group to draw"},
    };
    for (const Case& c : cases) {
        dialog.txtWindow->clear();
        dialog.cmbBin->setEditText("30");
        dialog.lstGroups->item(0)->setCheckState(Qt::Checked);
        c.choose();
        settle();
        EXPECT_EQ(dialog.lblStatus->text().toStdString(), c.status);
        EXPECT_TRUE(dialog.picPreview->pixmap().isNull()) << c.status;
        dialog.cmdSave->click();
        EXPECT_EQ(dialog.lblStatus->text().toStdString(), c.status) << "saved after all";
    }
    EXPECT_EQ(window.save.suggested.size(), 1u) << "only the time window could be read and asked to be saved";

    dialog.lstGroups->item(0)->setCheckState(Qt::Checked);
    window.save.answer = window.output / "missing" / "groups.pdf";
    dialog.cmdSave->click();
    EXPECT_EQ(dialog.lblStatus->text().toStdString(), "Figure not written: The figure could not be written to " +
                                                          window.save.answer.string() +
                                                          ": check that its folder exists and can be written.");
    EXPECT_TRUE(std::filesystem::is_empty(window.output.path()));
}

TEST(OfflineFigure, TheRightClickMenuSavesTheGroupViewAndTheActogramAsFigures) {
    OfflineWindow offline;
    offline.acquisition(Acquisition, "z96f", 120);
    offline.openAcquisition(Acquisition);
    Frm_offline& window = *offline.window;
    SaveAnswer save;
    window.askFigureFile = save.question();
    TempFolder output;
    auto rightClick = [&] {
        const QPointF at(40, 40);
        QMouseEvent press(QEvent::MouseButtonPress, at, window.Picreal->mapToGlobal(at), Qt::RightButton,
                          Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(window.Picreal, &press);
        QApplication::processEvents();
        EXPECT_TRUE(window.mnexporta->isVisible());
        const bool offered = window.figureexporta->isEnabled();
        window.mnexporta->close();
        return offered;
    };

    struct Case {
        QPushButton* view;
        const char* answer;
        std::vector<std::string> shows;
    };
    const Case cases[] = {
        {window.Cmd_leegroups, "groups.pdf", {"Control (n = 2)", "Mean of wells \u00b1 SE per 30-min bin"}},
        {window.cmdactogram, "actogram", {"Well A1 (Control)", "Control: mean of 2 wells"}},
    };
    for (const Case& c : cases) {
        c.view->click();
        EXPECT_TRUE(rightClick()) << c.answer;
        save.answer = output / c.answer;
        window.figureexporta->trigger();
        const std::filesystem::path file = output / (std::string(c.answer).find('.') == std::string::npos
                                                         ? std::string(c.answer) + ".pdf"
                                                         : std::string(c.answer));
        EXPECT_EQ(window.statusBar()->currentMessage().toStdString(), "Figure written: " + file.string());
        const std::string text = textOfPdf(file);
        for (const std::string& shown : c.shows) EXPECT_NE(text.find(shown), std::string::npos) << shown << "\n" << text;
    }
    const auto acquisition = offline.project() / Acquisition;
    EXPECT_EQ(save.suggested, (std::vector<std::string>{(acquisition / "groups.pdf").string(),
                                                        (acquisition / "actogram.pdf").string()}));
    EXPECT_TRUE(offline.dialogs.shown.empty());

    window.cmdchannels->click();
    EXPECT_FALSE(rightClick()) << "the raw signal is no figure";

    // A failure is said in a box as well as on the status line.
    window.Cmd_leegroups->click();
    EXPECT_TRUE(rightClick());
    save.answer = output / "missing" / "groups.pdf";
    window.figureexporta->trigger();
    ASSERT_EQ(offline.dialogs.shown.size(), 1u);
    EXPECT_EQ(offline.dialogs.shown.front().rfind("Figure not written: The figure could not be written to ", 0), 0u);
    EXPECT_EQ(window.statusBar()->currentMessage().toStdString(), offline.dialogs.shown.front());
}
