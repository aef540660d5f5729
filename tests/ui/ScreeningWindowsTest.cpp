// The screening in the windows: the groups' annotations edited in the setup
// editor, saved, read again and recorded with an acquisition; a layout
// imported with good and bad lines; the screening window of the report
// window run on a built acquisition.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QTableWidget>

#include "AcquisitionFixture.h"
#include "ManualHost.h"
#include "PlainCsv.h"
#include "ScreenedPlate.h"
#include "SetupWindow.h"
#include "common/Files.h"
#include "ui/report/Frm_Report.h"
#include "ui/report/ScreeningWindow.h"
#include "ui/setup/GroupAnnotationTable.h"
#include "ui/setup/GroupsPanel.h"

using namespace zorvex;

namespace {

enum Column { GroupColumn, NameColumn, CompoundColumn, ConcentrationColumn, UnitColumn, RoleColumn };

// The demo project's groups are its plate rows: group g is row g of the table.
void type(QTableWidget* table, int row, int column, const char* text) { table->item(row, column)->setText(text); }

void chooseRole(QTableWidget* table, int row, const char* role) {
    auto* box = qobject_cast<QComboBox*>(table->cellWidget(row, RoleColumn));
    ASSERT_NE(box, nullptr);
    box->setCurrentText(role);
}

std::vector<std::string> rowTexts(QTableWidget* table, int row) {
    std::vector<std::string> texts;
    for (int column = GroupColumn; column < RoleColumn; ++column) texts.push_back(table->item(row, column)->text().toStdString());
    texts.push_back(qobject_cast<QComboBox*>(table->cellWidget(row, RoleColumn))->currentText().toStdString());
    return texts;
}

}  // namespace

TEST(SetupAnnotations, EditedAnnotationsAreSavedReadAgainAndRecordedWithTheAcquisition) {
    test::SetupWindow setup;
    Frm_setup& window = setup.open();
    QTableWidget* table = window.groups()->annotations->tbl_annotations;
    ASSERT_EQ(table->rowCount(), 8);  // the demo's eight row groups
    EXPECT_EQ(table->item(1, NameColumn)->text(), "Row B");
    type(table, 0, CompoundColumn, "DMSO");
    type(table, 0, ConcentrationColumn, "0,5");  // a decimal comma is read too
    type(table, 0, UnitColumn, "%");
    chooseRole(table, 0, "Negative control");
    type(table, 1, CompoundColumn, "Drug \"A\", batch 2");
    type(table, 1, ConcentrationColumn, "lots");
    EXPECT_EQ(table->item(1, ConcentrationColumn)->text(), "");
    ASSERT_EQ(setup.dialogs.shown.size(), 1u);
    EXPECT_NE(setup.dialogs.shown[0].find("must be a number"), std::string::npos) << setup.dialogs.shown[0];
    type(table, 1, ConcentrationColumn, "1e-3");
    type(table, 1, UnitColumn, "uM");
    chooseRole(table, 1, "Sample");
    window.Cmdsavepj->click();  // "Do you like to Update <1_Demo> values?" answered Yes

    // groupinfo.csv as another program reads it: RFC 4180 with a header line.
    const auto project = projectFolderPath(setup.folder.path(), 1);
    const auto saved = test::plainRecords(readFile(project / "groupinfo.csv").value_or(""));
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(saved[0], (std::vector<std::string>{"group", "name", "compound", "concentration", "unit", "role"}));
    EXPECT_EQ(saved[1], (std::vector<std::string>{"0", "Row A", "DMSO", "0.5", "%", "negative"}));
    EXPECT_EQ(saved[2], (std::vector<std::string>{"1", "Row B", "Drug \"A\", batch 2", "0.001", "uM", "sample"}));

    // Read again by another editor on the project as saved.
    test::ScriptedDialogs dialogs;
    Workspace reopened;
    reopened.programFolder = setup.folder.path();
    loadConfig(reopened.config, reopened.programFolder, dialogs);
    reopened.projectFolder = project;
    loadProject(reopened, 1, dialogs);
    Frm_setup again(reopened, dialogs);
    again.show();
    QTableWidget* shown = again.groups()->annotations->tbl_annotations;
    EXPECT_EQ(rowTexts(shown, 0), (std::vector<std::string>{"0", "Row A", "DMSO", "0.5", "%", "Negative control"}));
    EXPECT_EQ(rowTexts(shown, 1), (std::vector<std::string>{"1", "Row B", "Drug \"A\", batch 2", "0.001", "uM", "Sample"}));
    EXPECT_EQ(rowTexts(shown, 2), (std::vector<std::string>{"2", "Row C", "", "", "", ""}));

    // An acquisition of the project keeps the annotations beside its groups.dat.
    reopened.setup.RT_Buffer = 200;
    const std::filesystem::path folder = test::recordBins(reopened, dialogs, 1, "Annotated");
    EXPECT_EQ(readFile(folder / "groupinfo.csv"), readFile(project / "groupinfo.csv"));
}

TEST(SetupAnnotations, AnImportedLayoutAnnotatesItsGroupsAndListsEveryLineLeftOutInOneMessage) {
    test::SetupWindow setup;
    Frm_setup& window = setup.open();
    GroupAnnotationTable* annotations = window.groups()->annotations;
    const auto layout = setup.folder / "layout.csv";
    ASSERT_TRUE(writeFile(layout, "well,compound,concentration,unit,role\n"
                                  "A1-A12,DMSO,0.5,%,negative\n"
                                  "Row B,Drug,1,uM,sample\n"
                                  "Z9,Drug,3,uM,sample\n"            // no such well
                                  "Row C,Drug,three,uM,sample\n"     // no number
                                  "A1-B1,Drug,10,uM,sample\n"        // wells of two groups
                                  "H12,Levamisole,1,mM,positive\n"));
    annotations->setChooseFile([&](bool open) { return open ? layout : setup.folder / "exported.csv"; });
    annotations->cmd_import->click();

    ASSERT_EQ(setup.dialogs.shown.size(), 1u);
    const std::string& message = setup.dialogs.shown[0];
    for (const char* line : {"line 4:", "line 5:", "line 6:"}) EXPECT_NE(message.find(line), std::string::npos) << message;
    EXPECT_EQ(message.find("line 2:"), std::string::npos) << message;
    QTableWidget* table = annotations->tbl_annotations;
    EXPECT_EQ(rowTexts(table, 0), (std::vector<std::string>{"0", "Row A", "DMSO", "0.5", "%", "Negative control"}));
    EXPECT_EQ(rowTexts(table, 1), (std::vector<std::string>{"1", "Row B", "Drug", "1", "uM", "Sample"}));
    EXPECT_EQ(rowTexts(table, 2), (std::vector<std::string>{"2", "Row C", "", "", "", ""}));
    EXPECT_EQ(rowTexts(table, 7), (std::vector<std::string>{"7", "Row H", "Levamisole", "1", "mM", "Positive control"}));

    // Exported: one line per well in a group, read back without a message.
    annotations->cmd_export->click();
    const auto exported = test::plainRecords(readFile(setup.folder / "exported.csv").value_or(""));
    ASSERT_EQ(exported.size(), 1u + 96u);
    EXPECT_EQ(exported[1], (std::vector<std::string>{"A1", "DMSO", "0.5", "%", "negative"}));
    annotations->importFrom(setup.folder / "exported.csv");
    EXPECT_EQ(setup.dialogs.shown.size(), 1u);
}

TEST(ScreeningWindow, RunsOnTheReportsFolderAndShowsTableQualityAndCurves) {
    test::TempFolder temp;
    const std::filesystem::path folder = test::writeScreenedPlate(temp.path());
    test::ScriptedDialogs dialogs;
    test::ManualHost host;
    Frm_Report report(temp.path(), dialogs, host);
    ASSERT_TRUE(report.openOn(folder, "60"));
    report.Cmd_screening->click();
    auto* window = report.findChild<ScreeningWindow*>();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->isVisible());
    // The whole recording at first: its last record, stamped 6 h, lies before the excluded end.
    EXPECT_GT(window->txt_to->value(), 6.0);
    EXPECT_LE(window->txt_to->value(), 6.02);
    window->txt_from->setValue(2);
    window->txt_to->setValue(4);
    window->cmd_screen->click();

    ASSERT_EQ(window->tbl_results->rowCount(), 1);
    EXPECT_EQ(window->tbl_results->item(0, 0)->text(), "Drug");
    EXPECT_NEAR(window->tbl_results->item(0, 1)->text().section(' ', 0, 0).toDouble(), test::ScreenTruth.ic50, 0.01);
    EXPECT_EQ(window->tbl_results->item(0, 1)->text().section(' ', 1), "uM");
    EXPECT_EQ(window->tbl_results->item(0, 8)->text(), "ok");
    const QString quality = window->lbl_quality->text();
    EXPECT_TRUE(quality.contains("Z' = ")) << quality.toStdString();
    EXPECT_TRUE(quality.contains("outliers: H2")) << quality.toStdString();
    EXPECT_FALSE(window->pic_curves->pixmap().isNull());
    EXPECT_TRUE(window->txt_messages->toPlainText().contains("7 files written in " +
                                                               QString::fromStdString((folder / "screening").string())));
    EXPECT_TRUE(fileExists(folder / "screening" / "dose_response.pdf"));
    window->cmd_openfolder->click();
    EXPECT_EQ(host.opened.back(), folder / "screening");

    // A folder without annotations: its message in a box, the old results gone.
    std::filesystem::remove(folder / "groupinfo.csv");
    dialogs.shown.clear();
    window->cmd_screen->click();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].find("holds no groupinfo.csv"), std::string::npos) << dialogs.shown[0];
    EXPECT_EQ(window->tbl_results->rowCount(), 0);
}
