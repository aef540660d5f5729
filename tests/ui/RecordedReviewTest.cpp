// The offline window on an acquisition recorded from the simulated
// instrument: listed, opened, and showing the very samples recorded.

#include <gtest/gtest.h>

#include "AcquisitionFixture.h"
#include "OfflineWindow.h"
#include "store/Workspace.h"

using namespace zorvex;

TEST(RecordedReview, RecordedAcquisitionOpensWithItsRecordedSamples) {
    test::OfflineWindow offline;
    Workspace workspace;
    workspace.programFolder = offline.folder.path();
    loadConfig(workspace.config, workspace.programFolder, offline.dialogs);
    workspace.projectFolder = projectFolderPath(workspace.programFolder, 1);
    loadProject(workspace, 1, offline.dialogs);
    const std::filesystem::path folder = test::recordBins(workspace, offline.dialogs, 3, "Recorded");
    ASSERT_EQ(readActivityRecords(folder).size(), 3u);
    const std::string name = folder.filename().string();

    offline.openAcquisition(name);
    Frm_offline& window = *offline.window;

    EXPECT_EQ(window.realTimeFiles(), 1);
    EXPECT_EQ(window.Txtpage->text(), "1/1");
    for (int bin = 0; bin < 3; ++bin) {
        auto dump = readRealTimeDump(folder, bin, workspace.setup.RT_Buffer);
        ASSERT_TRUE(dump);
        for (int channel : {0, 16, 383}) {
            const auto shown = window.pageBuffer().samples(channel, bin);
            for (int sample : {0, 1, 250, 499}) EXPECT_EQ(shown[sample], dump->at(channel, sample)) << bin << " " << channel;
        }
    }
    EXPECT_NE(window.Txt_reporte->toPlainText().indexOf("Recorded"), -1);
}
