// The start command: names, refusals, the disk warning, the folder of a
// recording and the light at the start.

#include "AcquisitionFixture.h"
#include "acquisition/StartChecks.h"
#include "common/Files.h"

using namespace zorvex;
using test::AcquisitionOnPty;

namespace {

std::size_t foldersIn(const std::filesystem::path& folder) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) count += entry.is_directory();
    return count;
}

}  // namespace

TEST(DiskWarning, ThreeThousandMinutesAlwaysWarns) {
    auto large = diskWarning(3000, 0.4, 100000);
    ASSERT_TRUE(large.has_value());
    EXPECT_NE(large->find("Required Disk space for RealTime Saving = 1200MB"), std::string::npos);
    EXPECT_EQ(large->find("LOW DISK SPACE"), std::string::npos);
}

TEST(DiskWarning, TwoHundredFiftyMinutesAgainstFreeSpace) {
    auto low = diskWarning(250, 0.4, 1050);
    ASSERT_TRUE(low.has_value());
    EXPECT_EQ(*low,
              "WARNING:\r\nProgrammed Acquisition lapse = 250minutes & RealTime_recording=YES\r\n"
              "Required Disk space for RealTime Saving = 100MB\r\nCurrent Disk Space=1050MB\r\n"
              "LOW DISK SPACE\r\n\r\nPROCEED?");
    EXPECT_FALSE(diskWarning(250, 0.4, 1100).has_value());
    auto both = diskWarning(250, 0.4, 250);
    ASSERT_TRUE(both.has_value());
    EXPECT_NE(both->find("LOW DISK SPACE\r\nNOT ENOUGH DISK SPACE\r\n (Please, Increase Disk Space "
                         "Availablility or Deselect Realtime recording)\r\nPROCEED?"),
              std::string::npos);
}

TEST(DiskWarning, FailedQueryCountsAsMinusOneMegabyte) {
    EXPECT_EQ(freeMegabytes(std::nullopt), -1);
    EXPECT_EQ(freeMegabytes(1536ULL * 1024), 2);  // 1.5 MB, half to even
    auto text = diskWarning(250, 0.4, -1);
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(text->find("Current Disk Space=-1MB\r\nLOW DISK SPACE\r\nNOT ENOUGH"), std::string::npos);
}

TEST(DiskWarning, DuringARunWarnsWhenTheRestOfTheLapseLeavesUnder200Megabytes) {
    struct Case {
        int remainingMinutes;
        long long freeMb;
        bool warns;
    };
    // 100 minutes need 40 MB: 240 MB free leave 200 to spare, 239 do not.
    for (const Case& c : {Case{100, 240, false}, Case{100, 239, true}, Case{0, 200, false}, Case{-5, 199, true},
                          Case{3000, 1399, true}, Case{3000, 1400, false}}) {
        const auto warning = lowDiskWarning(c.remainingMinutes, 0.4, c.freeMb);
        EXPECT_EQ(warning.has_value(), c.warns) << c.remainingMinutes << " min, " << c.freeMb << " MB";
        if (warning) {
            EXPECT_EQ(warning->rfind("LOW DISK SPACE: " + std::to_string(c.freeMb) + "MB free", 0), 0u);
        }
    }
}

TEST(DiskWarning, TheNeedComesFromTheDumpSizeAndTheBinTime) {
    // RT_Buffer 500 at 30 ms a sample: a 385,770-byte dump and a 774-byte
    // record every 15 s.
    EXPECT_NEAR(recordingMegabytesPerMinute(500, true, 30), 4 * (385770 + 774) / 1048576.0, 1e-9);
    EXPECT_NEAR(recordingMegabytesPerMinute(500, false, 30), 4 * 774 / 1048576.0, 1e-9);
    // A buffer of 200 closes a bin every 6 s with a dump of 154,770 bytes.
    EXPECT_NEAR(recordingMegabytesPerMinute(200, true, 30), 10 * (154770 + 774) / 1048576.0, 1e-9);
    // Twenty minutes at that rate need 30 MB: a short lapse warns too when the disk is nearly full.
    const auto shortLapse = diskWarning(20, recordingMegabytesPerMinute(500, true, 30), 150);
    ASSERT_TRUE(shortLapse.has_value());
    EXPECT_NE(shortLapse->find("Required Disk space for RealTime Saving = 29MB"), std::string::npos) << *shortLapse;
    EXPECT_NE(shortLapse->find("NOT ENOUGH DISK SPACE"), std::string::npos);
}

TEST(NamePrompt, CommentDependsOnBothAutoSwitches) {
    EXPECT_EQ(namePrompt(true),
              "*************************************************\r\n"
              "***   Enter a Name for this Experiment  ***\r\n"
              "*************************************************\r\nComments:\r\n~~~~~~~\r\n"
              "> Auto Calibration is ON: Use experimental Microplate Direclty.\r\n"
              "> To go into Monitor_mode (no calculation/recording) keep experiment name empty.");
    EXPECT_NE(namePrompt(false).find("> Auto Calibration is OFF: Remember to read Blank.\r\n"), std::string::npos);
}

TEST_F(AcquisitionOnPty, PromptedNameMakesTheFolderWithSetupCopyAndSubproj) {
    dialogs.inputs = {"Worms \"A\""};
    options.description = "two lines\r\nof notes";
    ASSERT_TRUE(acquisition->start());
    const auto folder = workspace.projectFolder / "06122026_1458";
    EXPECT_EQ(acquisition->folder(), folder);
    EXPECT_TRUE(acquisition->recording());
    EXPECT_TRUE(fileExists(folder / "setup.dat"));
    EXPECT_TRUE(fileExists(folder / "chgroup.dat"));
    auto info = readExperimentInfo(folder);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->name, "Worms 'A'");
    EXPECT_EQ(info->description, "two lines of notes");
    EXPECT_EQ(owner.timerIntervalMs, Acquisition::TimerIntervalMs);
    EXPECT_TRUE(owner.timerOn);
    EXPECT_TRUE(owner.controlsLocked);
    EXPECT_EQ(acquisition->state(), AcquisitionState::Running);
}

TEST_F(AcquisitionOnPty, EmptyNameWithOkIsAMonitorRunWithoutFolder) {
    dialogs.inputs = {""};
    ASSERT_TRUE(acquisition->start());
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1], "Name is EMPTY. Activity is NOT going to be CALCULATED/RECORDED!");
    EXPECT_FALSE(acquisition->recording());
    EXPECT_EQ(foldersIn(workspace.projectFolder), 0u);
    tickBins(1);
    EXPECT_EQ(owner.bins.size(), 1u);
    EXPECT_FALSE(owner.bins[0].recorded);
    EXPECT_EQ(foldersIn(workspace.projectFolder), 0u);
}

TEST_F(AcquisitionOnPty, EmptyNameWithCancelAsksOnce) {
    dialogs.answers = {Answer::Cancel};
    dialogs.inputs = {"", "Second try"};
    ASSERT_TRUE(acquisition->start());
    EXPECT_EQ(dialogs.shown.back(), "Enter a Name for this experiment");
    EXPECT_EQ(acquisition->experimentName(), "Second try");
    EXPECT_TRUE(acquisition->recording());
}

TEST_F(AcquisitionOnPty, CancelInEitherNameBoxStartsNothing) {
    // Cancel or Escape in the first box; then Cancel at "Name is EMPTY" and in the second box.
    const std::vector<std::pair<std::deque<std::string>, std::size_t>> cases = {{{}, 1u}, {{""}, 3u}};
    for (const auto& [typed, boxes] : cases) {
        dialogs.shown.clear();
        dialogs.inputs = typed;
        dialogs.answers = {Answer::Cancel};
        EXPECT_FALSE(acquisition->start());
        EXPECT_EQ(dialogs.shown.size(), boxes);
        EXPECT_EQ(acquisition->state(), AcquisitionState::Stopped);
        EXPECT_FALSE(owner.timerOn);
        EXPECT_FALSE(owner.controlsLocked);
        EXPECT_EQ(foldersIn(workspace.projectFolder), 0u);
        dialogs.answers.clear();
    }
}

TEST_F(AcquisitionOnPty, ProjectZeroIsRefusedAndOpensTheSetupEditor) {
    workspace.config.Actual_Project_Number = 0;
    workspace.projectFolder = program.path();
    EXPECT_FALSE(startNamed("x"));
    EXPECT_EQ(dialogs.shown.back(),
              "Operation not allowed in Project #0:Default. Go to <Setup> and Save it with another name");
    EXPECT_EQ(owner.setupEditorOpened, 1);
    EXPECT_EQ(acquisition->state(), AcquisitionState::Stopped);
    EXPECT_FALSE(owner.timerOn);
}

TEST_F(AcquisitionOnPty, OfflineIsRefused) {
    session->mode = OperatingMode::Offline;
    EXPECT_FALSE(startNamed("x"));
    EXPECT_EQ(dialogs.shown.back(),
              "Acquisition not allowed in OFFLINE MODE. Connect the equipment and restart the program.");
    EXPECT_EQ(foldersIn(workspace.projectFolder), 0u);
}

TEST_F(AcquisitionOnPty, BufferOutsideTheEditorRangeIsRefused) {
    workspace.setup.RT_Buffer = 4;
    EXPECT_FALSE(startNamed("x"));
    EXPECT_EQ(dialogs.shown.back(), "Invalid RT_Buffer 4 in the project setup (200 to 10000). Correct it in <Setup>.");
    EXPECT_EQ(acquisition->state(), AcquisitionState::Stopped);
}

TEST_F(AcquisitionOnPty, DiskWarningAnsweredNoCreatesNothing) {
    workspace.setup.Aq_lapse = 250;
    host.freeBytes = 250ULL * 1024 * 1024;
    dialogs.inputs = {"Long run"};
    dialogs.answers = {Answer::No};
    EXPECT_FALSE(acquisition->start());
    EXPECT_EQ(dialogs.shown.back().rfind("WARNING:\r\n", 0), 0u);
    EXPECT_EQ(owner.setupEditorOpened, 1);
    EXPECT_EQ(foldersIn(workspace.projectFolder), 0u);
}

TEST_F(AcquisitionOnPty, AShortLapseAsksAboutAFullDiskButNotAboutAnAmpleOne) {
    workspace.setup.Aq_lapse = 30;
    host.freeBytes = 0;
    dialogs.inputs = {"Short run"};
    dialogs.answers = {Answer::No};
    EXPECT_FALSE(acquisition->start());
    EXPECT_NE(dialogs.shown.back().find("NOT ENOUGH DISK SPACE"), std::string::npos) << dialogs.shown.back();

    host.freeBytes = 5000ULL * 1024 * 1024;
    dialogs.shown.clear();
    dialogs.inputs = {"Short run"};
    ASSERT_TRUE(acquisition->start());
    EXPECT_EQ(dialogs.shown.size(), 1u);  // the name prompt only
}

TEST_F(AcquisitionOnPty, AutorunNeedsNoPromptAndNoDiskWarning) {
    workspace.setup.Aq_lapse = 3000;
    host.freeBytes = 0;
    ASSERT_TRUE(acquisition->start({NameSource::Autorun, ""}));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(acquisition->experimentName(), "Autorun project");
    auto info = readExperimentInfo(acquisition->folder());
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->name, "Autorun project");
}

TEST_F(AcquisitionOnPty, SameMinuteAfterRecordedBinsIsRefusedAndLeavesTheFirstRecording) {
    ASSERT_TRUE(startNamed("First"));
    tickBins(1, 10);
    acquisition->stop();
    const auto folder = acquisition->folder();
    host.elapsedMs = 30000;  // still 14:58
    const auto countsBefore = readFile(folder / "counts.bin");
    ASSERT_TRUE(countsBefore.has_value());

    EXPECT_FALSE(startNamed("Second"));
    EXPECT_EQ(dialogs.shown.back(),
              "The acquisition folder 06122026_1458 already holds a recording started this minute. Please wait for "
              "the next minute and start again.");
    EXPECT_EQ(acquisition->state(), AcquisitionState::Stopped);
    EXPECT_EQ(readExperimentInfo(folder)->name, "First");
    EXPECT_EQ(readFile(folder / "counts.bin"), countsBefore);

    host.elapsedMs = 60000;  // 14:59: a new folder
    EXPECT_TRUE(startNamed("Second"));
    EXPECT_EQ(acquisition->folder(), workspace.projectFolder / "06122026_1459");
}

TEST_F(AcquisitionOnPty, SameMinuteWithoutRecordedBinsReusesTheFolder) {
    ASSERT_TRUE(startNamed("First"));
    tick(5, 10);
    acquisition->stop();
    ASSERT_FALSE(fileExists(acquisition->folder() / "counts.bin"));
    ASSERT_TRUE(startNamed("Second"));
    EXPECT_EQ(acquisition->folder(), workspace.projectFolder / "06122026_1458");
    EXPECT_EQ(readExperimentInfo(acquisition->folder())->name, "Second");
}

TEST_F(AcquisitionOnPty, OvernightScheduleSwitchesTheLightOnAtHalfPastEleven) {
    workspace.setup.Mn[2] = {1, 21, 9, 0, 0, 0};
    host.start = {2026, 12, 6, 23, 30, 0};
    ASSERT_TRUE(startNamed("Night"));
    EXPECT_TRUE(session->outputs.light);
    EXPECT_EQ(outputState() & 4, 4);
}

TEST_F(AcquisitionOnPty, OvernightScheduleLeavesTheLightOffAtNoon) {
    workspace.setup.Mn[2] = {1, 21, 9, 0, 0, 0};
    session->outputs.light = true;
    host.start = {2026, 12, 6, 12, 0, 0};
    ASSERT_TRUE(startNamed("Noon"));
    EXPECT_FALSE(session->outputs.light);
    EXPECT_EQ(outputState() & 4, 0);
}

TEST_F(AcquisitionOnPty, StartTakesTheBoxSetTemperatureAndReadsThePlate) {
    workspace.setup.Mn[3] = {1, 255, 0, 0, 0, 0};
    ASSERT_TRUE(startNamed("Warm"));
    EXPECT_DOUBLE_EQ(session->setTemperature, 25.5);
    EXPECT_GT(session->temperature, 10.0);  // the simulated room, about 22 degrees
    EXPECT_LT(session->temperature, 38.0);
}

namespace {

class FailingCalibration : public SensorSetup {
public:
    bool runAutoCalibration(Acquisition&) override {
        ++calibrations;
        return false;
    }
    bool runAutoZero(Acquisition&) override {
        ++zeros;
        return true;
    }
    int calibrations = 0;
    int zeros = 0;
};

}  // namespace

TEST_F(AcquisitionOnPty, FailedAutoCalibrationStopsBeforeTheTimer) {
    FailingCalibration failing;
    options.autoCalibration = options.autoZero = true;
    acquisition = std::make_unique<Acquisition>(workspace, *session, options, dialogs, host, owner, log, failing);
    EXPECT_FALSE(startNamed("Calibrated"));
    EXPECT_EQ(failing.calibrations, 1);
    EXPECT_EQ(failing.zeros, 0);
    EXPECT_EQ(acquisition->state(), AcquisitionState::Stopped);
    EXPECT_FALSE(owner.timerOn);
    EXPECT_FALSE(owner.controlsLocked);
}

TEST_F(AcquisitionOnPty, MonitorRunSkipsCalibrationAndZero) {
    FailingCalibration failing;
    options.autoCalibration = options.autoZero = true;
    acquisition = std::make_unique<Acquisition>(workspace, *session, options, dialogs, host, owner, log, failing);
    EXPECT_TRUE(startNamed(""));
    EXPECT_EQ(failing.calibrations, 0);
}
