// Read Blank during a run: thresholds from the signal's extremes, recording
// off, the reading ends by itself after Threshold_Counter samples.

#include "AcquisitionFixture.h"
#include "analysis/Zero.h"
#include "common/Files.h"

using namespace zorvex;
using test::AcquisitionOnPty;

TEST_F(AcquisitionOnPty, BlankReadingSetsThresholdsFromExtremesAndEndsByItself) {
    workspace.setup.Threshold_Counter = 40;
    ASSERT_TRUE(startNamed("Blank run"));
    tick(5, 10);
    acquisition->startBlankReading();
    EXPECT_FALSE(acquisition->recording());
    EXPECT_TRUE(acquisition->blankReadingActive());
    ASSERT_EQ(owner.blankTexts, std::vector<std::string>{"Setting Blank.... (40 samples)"});
    EXPECT_TRUE(fileExists(acquisition->blankReading().folder() / "setup.dat"));

    int ticks = tick(200, 10);

    EXPECT_EQ(ticks, 42);  // samples 0..40 fill the extremes, the 42nd ends the reading
    EXPECT_FALSE(owner.timerOn);
    EXPECT_EQ(owner.blankEnds, 1);
    EXPECT_EQ(owner.blankTexts.back(), "Setting (0) OK...");
    EXPECT_EQ(acquisition->state(), AcquisitionState::Running);
    const BlankReading& blank = acquisition->blankReading();
    for (int channel : {0, 16, 200, 383}) {
        if (workspace.plate.WellOfChannel[channel] < 0) continue;
        EXPECT_EQ(workspace.channels.Threshold[channel], blankMargin(blank.minimum(channel), blank.maximum(channel)))
            << channel;
    }
    EXPECT_EQ(workspace.channels.Threshold[1], 3.0);  // outside every well of z96f: untouched
    // The blank accumulation replaced the counting: past the detection's
    // warm-up of 15 ticks, still no count was added.
    long long counted = 0;
    for (std::int16_t total : acquisition->detection().runningTotals()) counted += total;
    for (std::int16_t count : acquisition->detection().binCounts()) counted += count;
    EXPECT_EQ(counted, 0);
}

TEST_F(AcquisitionOnPty, BlankReadingTakesNoSampleWhileStoppedAndStopEndsIt) {
    acquisition->startBlankReading();
    EXPECT_EQ(tick(50, 10), 50);
    EXPECT_TRUE(acquisition->blankReadingActive());
    EXPECT_EQ(acquisition->blankReading().maximum(0), 0);

    acquisition->stop();

    EXPECT_FALSE(acquisition->blankReadingActive());
    EXPECT_EQ(owner.blankEnds, 1);
    EXPECT_EQ(workspace.channels.Threshold[0], 3.0);
}
