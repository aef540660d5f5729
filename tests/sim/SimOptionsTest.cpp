#include <gtest/gtest.h>

#include "SimOptions.h"

using namespace zorvex::sim;

TEST(SimOptions, ReadsEveryOption) {
    std::string error;
    std::optional<SimOptions> options =
        parseSimOptions({"--program-folder", "pf", "--com", "4", "--link", "/tmp/l", "--seconds", "2.5", "--seed", "9",
                         "--probe", "300", "--state", "s.dat", "--faults", "short=0.1,faulty=0.2,silent=0,noecho=1",
                         "--disconnect-after", "1", "--log", "x.log", "--empty-plate", "--ambient", "25"},
                        error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->programFolder, "pf");
    EXPECT_EQ(options->com, 4);
    EXPECT_EQ(options->link, "/tmp/l");
    EXPECT_EQ(options->seconds, 2.5);
    EXPECT_EQ(options->disconnectAfter, 1.0);
    EXPECT_EQ(options->logFile, "x.log");
    EXPECT_EQ(options->instrument.seed, 9u);
    EXPECT_EQ(options->instrument.probeReply, std::string("\x01\x2D", 2));
    EXPECT_EQ(options->instrument.stateFile, "s.dat");
    EXPECT_EQ(options->instrument.ambientC, 25.0);
    EXPECT_FALSE(options->instrument.organisms);
    EXPECT_EQ(options->instrument.faults.shortBlock, 0.1);
    EXPECT_EQ(options->instrument.faults.faultyBlock, 0.2);
    EXPECT_EQ(options->instrument.faults.noEcho, 1.0);
}

TEST(SimOptions, RefusesWhatItDoesNotUnderstand) {
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {"--com", "4"},
             {"--program-folder", "pf"},
             {"--program-folder", "pf", "--com", "17"},
             {"--seconds"},
             {"--seconds", "-1"},
             {"--seconds", "2x"},
             {"--faults", "short=2"},
             {"--faults", "loud=0.1"},
             {"--faults", "short"},
             {"--probe", "70000"},
             {"--colour", "red"}}) {
        std::string error;
        EXPECT_FALSE(parseSimOptions(args, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}
