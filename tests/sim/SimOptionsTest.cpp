#include <gtest/gtest.h>

#include <sstream>

#include "SimOptions.h"

using namespace zorvex::sim;

namespace {

struct Reading {
    std::optional<int> status;  ///< nothing: the simulator would start
    SimOptions options;
    std::string out;
    std::string err;
};

Reading read(const std::vector<std::string>& args) {
    Reading reading;
    std::ostringstream out;
    std::ostringstream err;
    reading.status = readSimOptions(args, reading.options, out, err);
    reading.out = out.str();
    reading.err = err.str();
    return reading;
}

}  // namespace

TEST(SimOptions, ReadsEveryOptionInBothSpellings) {
    const std::vector<std::vector<std::string>> spellings = {
        {"--program-folder", "pf", "--com", "4", "--link", "/tmp/l", "--seconds", "2.5", "--seed", "9", "--probe",
         "300", "--state", "s.dat", "--faults", "short=0.1,faulty=0.2,silent=0,noecho=1", "--disconnect-after", "1",
         "--log", "x.log", "--empty-plate", "--ambient", "25"},
        {"--program-folder=pf", "--com=4", "--link=/tmp/l", "--seconds=2.5", "--seed=9", "--probe=300",
         "--state=s.dat", "--faults=short=0.1,faulty=0.2,silent=0,noecho=1", "--disconnect-after=1", "--log=x.log",
         "--empty-plate", "--ambient=25"}};
    for (const auto& args : spellings) {
        const Reading reading = read(args);
        ASSERT_FALSE(reading.status) << reading.err;
        const SimOptions& options = reading.options;
        EXPECT_EQ(options.programFolder, "pf");
        EXPECT_EQ(options.com, 4);
        EXPECT_EQ(options.link, "/tmp/l");
        EXPECT_EQ(options.seconds, 2.5);
        EXPECT_EQ(options.disconnectAfter, 1.0);
        EXPECT_EQ(options.logFile, "x.log");
        EXPECT_EQ(options.instrument.seed, 9u);
        EXPECT_EQ(options.instrument.probeReply, std::string("\x01\x2D", 2));
        EXPECT_EQ(options.instrument.stateFile, "s.dat");
        EXPECT_EQ(options.instrument.ambientC, 25.0);
        EXPECT_FALSE(options.instrument.organisms);
        EXPECT_EQ(options.instrument.faults.shortBlock, 0.1);
        EXPECT_EQ(options.instrument.faults.faultyBlock, 0.2);
        EXPECT_EQ(options.instrument.faults.noEcho, 1.0);
    }
}

TEST(SimOptions, ReadsABlipAsStartAndLength) {
    const Reading reading = read({"--blip", "30:2.5"});
    ASSERT_FALSE(reading.status) << reading.err;
    EXPECT_EQ(reading.options.instrument.blipAt, 30.0);
    EXPECT_EQ(reading.options.instrument.blipSeconds, 2.5);
}

TEST(SimOptions, RefusesWhatItDoesNotUnderstandSayingWhy) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--com", "4"}, "--com requires --program-folder"},
        {{"--program-folder", "pf"}, "--program-folder requires --com"},
        {{"--program-folder", "pf", "--com", "17"}, "--com: 17 is not in 1..16"},
        {{"--seconds"}, "--seconds"},
        {{"--seconds", "-1"}, "--seconds: -1 is below 0"},
        {{"--seconds=2x"}, "--seconds: 2x is not a number"},
        {{"--disconnect-after", "nan"}, "--disconnect-after: nan is not a number"},
        {{"--faults", "short=2"}, "--faults: short=2 is not a list"},
        {{"--faults", "loud=0.1"}, "--faults: loud=0.1 is not a list"},
        {{"--faults=short"}, "--faults: short is not a list"},
        {{"--blip", "5"}, "--blip: 5 is not AT:LEN"},
        {{"--blip", "5:0"}, "--blip: 5:0 is not AT:LEN"},
        {{"--blip", "-1:2"}, "--blip: -1:2 is not AT:LEN"},
        {{"--blip", "5:2x"}, "--blip: 5:2x is not AT:LEN"},
        {{"--dose-plate", "--empty-plate"}, "--empty-plate excludes --dose-plate"},
        {{"--probe", "70000"}, "--probe: 70000 is not in 0..65279"},
        {{"--seed", "-3"}, "--seed: -3 is not in 0.."},
        {{"--colour", "red"}, "unknown option '--colour'"},
        {{"--colour=red"}, "unknown option '--colour'"},
        {{"pf"}, "unexpected argument 'pf'"}};
    for (const auto& [args, problem] : cases) {
        const Reading reading = read(args);
        EXPECT_EQ(reading.status, 2) << args[0];
        EXPECT_EQ(reading.out, "") << args[0];
        EXPECT_EQ(reading.err.rfind("zorvex-sim: " + problem, 0), 0u) << reading.err;
        EXPECT_NE(reading.err.find("\nTry 'zorvex-sim --help' for more information.\n"), std::string::npos);
    }
}
