#include <gtest/gtest.h>

#include "ScriptedDialogs.h"
#include "StoreFiles.h"
#include "TempFolder.h"
#include "store/ProjectSetup.h"

using namespace zorvex;
using namespace zorvex::test;

TEST(SetupFile, WritesTheTwentyLineLayout) {
    EXPECT_EQ(setupFileBytes(defaultSetup("lab", 5), 5),
              "\"Project Setup: <Num_proj>,<Name>,<Working_folder>,<Plate_format>\"\r\n"
              "5,\"Default\",\"lab/p00005/\",\"z96f\"\r\n"
              "\"<Aq_mode>,<Aq_lapse>,<Sample_Rate>,<RT_Buffer>,<DSP_Method>,<DSP_Interval>\"\r\n"
              "1,30,99,500,1,30\r\n"
              "\"<Binary_Acq>,<Threshold_Counter>,<Cal_value>,<Cal_mode>,<Save_counts>,<Save_real>\"\r\n"
              "1,300,80,1,1,1\r\n"
              "\"Tools: <Menu1:Cal>, <Menu2:Light>, <Menu3:Temp>, <Menu4>, <Menu5>, <Menu6>\"\r\n"
              "1,0,0,0,0,0\r\n"
              "\"Mn1: <Organism>, <Enab_Cal>, <Enab_Zero>, <SNRx10>,,\"\r\n"
              "0,1,1,0,0,0\r\n"
              "\"Mn2: <Enable>, <Time_ON>, <v3:Time_OFF>,,,\"\r\n"
              "0,9,21,0,0,0\r\n"
              "\"Mn3: <v1:Enable>, <v2:Tempx10>,,,,\"\r\n"
              "0,200,0,0,0,0\r\n"
              "\"Mn4: ,,,,,\"\r\n"
              "0,0,0,0,0,0\r\n"
              "\"Mn5: ,,,,,\"\r\n"
              "0,0,0,0,0,0\r\n"
              "\"Mn6: ,,,,,\"\r\n"
              "0,0,0,0,0,0\r\n");
}

TEST(SetupFile, SixLineFileLeavesToolSwitchesAndParametersAsTheyWere) {
    TempFolder program;
    putFile(program / "p00005" / "setup.dat", firstLines(setupFileBytes(sampleSetup(program.path()), 5), 6));
    ProjectSetup before;
    before.Menu1_Cal = 7;
    before.Mn[4] = {9, 9, 9, 9, 9, 9};
    ScriptedDialogs dialogs;
    ProjectSetup loaded = loadSetupOf(program.path(), 5, dialogs, before);
    EXPECT_EQ(loaded.Aq_lapse, 1440);
    EXPECT_EQ(loaded.Save_real, 0);
    EXPECT_EQ(loaded.Menu1_Cal, 7);
    EXPECT_EQ(loaded.Menu2_Light, 0);
    EXPECT_EQ(loaded.Mn, before.Mn);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(SetupFile, QuotesAndLineBreaksInNamesAreReplacedWhenStored) {
    TempFolder program;
    ProjectSetup written = sampleSetup(program.path());
    written.Name = "Dose \"high\"\r\nday 2\nend";
    putFile(program / "p00005" / "setup.dat", setupFileBytes(written, 5));
    EXPECT_EQ(countLines(program / "p00005" / "setup.dat"), 20);
    ScriptedDialogs dialogs;
    EXPECT_EQ(loadSetupOf(program.path(), 5, dialogs).Name, "Dose 'high' day 2 end");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(SetupFile, ReadAsItStandsNeverRepairsAndSaysWhetherItWasWhole) {
    TempFolder folder;
    ProjectSetup setup = defaultSetup("lab", 5);
    setup.Mn[2] = {1, 8, 20, 0, 0, 0};
    const std::string bytes = setupFileBytes(setup, 5);
    const auto file = folder.path() / SetupFileName;

    writeFile(file, bytes);
    auto whole = readSetupAsIs(file);
    ASSERT_TRUE(whole);
    EXPECT_TRUE(whole->complete);
    EXPECT_EQ(whole->setup.Mn[2], setup.Mn[2]);

    // Cut inside the tool parameters: line 4 still reads, the rest stays 0.
    const std::string cut = bytes.substr(0, bytes.find("\"Mn2:"));
    writeFile(file, cut);
    auto partial = readSetupAsIs(file);
    ASSERT_TRUE(partial);
    EXPECT_FALSE(partial->complete);
    EXPECT_EQ(partial->setup.RT_Buffer, 500);
    EXPECT_EQ(partial->setup.Mn[2], (std::array<std::int16_t, 6>{}));
    EXPECT_EQ(readFile(file), cut);

    std::string garbled = bytes;
    garbled.replace(garbled.find("1,30,99"), 7, "1,30,x9");
    writeFile(file, garbled);
    EXPECT_FALSE(readSetupAsIs(file));
    EXPECT_FALSE(readSetupAsIs(folder.path() / "missing.dat"));
}
