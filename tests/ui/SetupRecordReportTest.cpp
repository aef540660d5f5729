// From the setup editor to a published table: groups tiled on the plate map
// and saved are the groups an acquisition records and zorvex-cli reports.

#include <gtest/gtest.h>

#include <cstdlib>

#include "AcquisitionFixture.h"
#include "SetupWindow.h"
#include "common/Files.h"
#include "common/Text.h"
#include "ui/setup/GroupsPanel.h"

using namespace zorvex;

TEST(SetupToReport, TiledGroupsAreTheGroupsOfTheRecordedReport) {
    test::SetupWindow setup;
    Frm_setup& window = setup.open();
    window.groups()->Combo_sets->setCurrentText("02x02 [RowsxColumn]");
    window.groups()->cmd_goset->click();
    window.Cmdsavepj->click();  // "Do you like to Update <1_Demo> values?" answered Yes

    // The acquisition sees the project as saved on disk, not the editor's memory.
    Workspace recorded;
    recorded.programFolder = setup.folder.path();
    loadConfig(recorded.config, recorded.programFolder, setup.dialogs);
    recorded.projectFolder = projectFolderPath(recorded.programFolder, 1);
    loadProject(recorded, 1, setup.dialogs);
    ASSERT_EQ(recorded.groups.Name[23], "Group23");
    recorded.setup.RT_Buffer = 200;

    const std::filesystem::path folder = test::recordBins(recorded, setup.dialogs, 3, "Tiled");
    ASSERT_EQ(readActivityRecords(folder).size(), 3u);

    std::string command = std::string(ZORVEX_CLI_EXE) + " report \"" + folder.string() +
                          "\" --program-folder \"" + setup.folder.path().string() +
                          "\" --bin 5 --format csv --spacer , > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string report = readFile(folder / "report.csv").value_or("");
    for (int group = 0; group < 24; ++group) {
        std::string label = "\"" + formatDigits(group, 3) + "_Group" + std::to_string(group) + "\"";
        EXPECT_NE(report.find(label), std::string::npos) << label;
    }
    EXPECT_EQ(report.find("Row A"), std::string::npos);
}
