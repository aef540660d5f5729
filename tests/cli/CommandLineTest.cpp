// Every command of zorvex-cli through its real entry point: each option it
// took before is still taken, as "--name value" and as "--name=value", and a
// bad value or an unknown option ends with a message naming it and status 2.
// Accepted command lines point at folders that are not there, so each run
// stops early in the command's own work (status 1) and says why.

#include <gtest/gtest.h>

#include <fstream>

#include "CliRun.h"
#include "TempFolder.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {

// The same command line with each "--name value" written "--name=value".
std::vector<std::string> joinedSpelling(const std::vector<std::string>& args) {
    const auto isOption = [](const std::string& word) { return word.rfind("--", 0) == 0; };
    std::vector<std::string> joined;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool flag = args[i] == "--short-demo" || args[i] == "--replace";
        if (isOption(args[i]) && !flag && i + 1 < args.size() && !isOption(args[i + 1])) {
            joined.push_back(args[i] + "=" + args[i + 1]);
            ++i;
        } else {
            joined.push_back(args[i]);
        }
    }
    return joined;
}

class CommandLineTest : public ::testing::Test {
protected:
    CommandLineTest() { std::ofstream(temp / "file") << "not a folder"; }

    test::TempFolder temp;
    const std::string program = temp.path().string();
    const std::string missing = (temp / "missing").string();  // no samples file, no program folder
    const std::string acquisition = (temp / "p00001" / "14032026_0930").string();  // named as one, not there
};

TEST_F(CommandLineTest, EveryCommandTakesItsOptionsInBothSpellings) {
    struct Case {
        std::vector<std::string> args;
        std::string reason;  ///< on standard error: the work began and stopped there
    };
    const std::vector<Case> cases = {
        {{"activity", "--method", "1", "--snr", "1.8", "--samples", missing}, "activity: cannot read " + missing},
        {{"activity", missing, "--method", "0", "--snr", "2", "--record", "3", "--channel", "66", "--rt-buffer", "400"},
         "activity: no acquisition folder " + missing},
        {{"figure", acquisition, "--kind", "groups", "--out", (temp / "groups.pdf").string(), "--bin", "30", "--error",
          "sd", "--window", "0-5", "--groups", "1,2", "--per-group", "--time", "elapsed", "--size", "slide",
          "--program-folder", program},
         "Activity file not Found"},
        {{"figure", acquisition, "--kind", "plate", "--out", (temp / "plate.png").string(), "--window", "1.5-3",
          "--value", "per-hour"},
         "Activity file not Found"},
        {{"figure", acquisition, "--kind", "actogram", "--out", (temp / "actogram.svg").string(), "--well", "B3",
          "--bin", "15"},
         "Activity file not Found"},
        {{"init", (temp / "file" / "sub").string(), "--short-demo"}, "zorvex-cli init: Cannot create"},
        {{"join", (temp / "file").string(), "14032026_0930", "15032026_0930"}, "Join Error"},
        {{"recalc", acquisition, "--method", "2", "--snr", "2.8", "--hours", "1.5", "--program-folder", program,
          "--bin", "30", "--layout", "array", "--format", "txt", "--spacer", ";", "--std-error", "off", "--std-dev",
          "on", "--wells-per-group", "off"},
         "Real Time Data Not Found"},
        {{"recalc", acquisition, "--method", "0", "--snr", "1.1", "--replace"}, "Real Time Data Not Found"},
        {{"record", "--program-folder", missing, "--project", "3", "--name", "N2 day 1", "--description", "first",
          "--minutes", "30"},
         "Config file not found"},
        {{"report", acquisition, "--program-folder", program, "--bin", "30", "--layout", "list", "--format", "csv",
          "--spacer", ",", "--std-error", "on", "--std-dev", "off", "--wells-per-group", "on"},
         "Activity file not Found"},
        {{"export", acquisition, "--interval", "5", "--out", (temp / "table.csv").string(), "--program-folder",
          program},
         "Activity file not Found"},
        {{"rhythm", acquisition, "--interval", "5", "--out", (temp / "out").string(), "--program-folder", program},
         "Activity file not Found"},
        {{"rhythm", acquisition, "--start", "acquisition", "--program-folder", program}, "Activity file not Found"},
        {{"wells", acquisition, "--program-folder", program, "--bin", "30"}, "Activity file not Found"},
        {{"screen", acquisition, "--window", "20-24", "--normalise", "none", "--bin", "30", "--figures", "svg",
          "--out", (temp / "out").string(), "--program-folder", program},
         "holds no groupinfo.csv"},
    };
    for (const Case& c : cases) {
        for (const auto& args : {c.args, joinedSpelling(c.args)}) {
            const CliRun run = cli(args);
            EXPECT_EQ(run.status, 1) << shown(args) << "\n" << run.err;
            EXPECT_NE(run.err.find(c.reason), std::string::npos) << shown(args) << "\n" << run.err;
        }
    }
}

TEST_F(CommandLineTest, ABadValueIsNamedWithWhatIsWrong) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"activity", "--method", "3", "--snr", "1.8", "--samples", "x"}, "--method: 3 is not in 0..2"},
        {{"activity", "--method", "1", "--snr", "fast", "--samples", "x"}, "--snr: fast is not a number"},
        {{"activity", missing, "--method", "1", "--snr", "1.8", "--record", "0", "--channel", "384"},
         "--channel: 384 is not in 0..383"},
        {{"activity", missing, "--method", "1", "--snr", "1.8", "--record", "0", "--channel", "1", "--rt-buffer",
          "100"},
         "--rt-buffer: 100 is not in 200..10000"},
        {{"figure", missing, "--kind", "bars", "--out", "f.pdf"}, "--kind: bars is not groups, plate, actogram, sleep, periodogram or period-map"},
        {{"figure", missing, "--kind", "groups", "--out", "f.jpg"}, "--out: f.jpg does not end in .pdf, .svg or .png"},
        {{"figure", missing, "--kind", "groups", "--out", "f.pdf", "--bin", "0"}, "--bin: 0 is not in 1..1440"},
        {{"figure", missing, "--kind", "groups", "--out", "f.pdf", "--error", "sem"}, "--error: sem is not se, sd or none"},
        {{"figure", missing, "--kind", "groups", "--out", "f.pdf", "--window", "5-2"},
         "--window: 5-2 does not end after it begins"},
        {{"figure", missing, "--kind", "plate", "--out", "f.pdf", "--window", "day1"},
         "--window: day1 is not hours H1-H2 from the start, such as 0-24"},
        {{"figure", missing, "--kind", "groups", "--out", "f.pdf", "--groups", "1;2"},
         "--groups: 1;2 is not a list of group numbers such as 1,3"},
        {{"figure", missing, "--kind", "actogram", "--out", "f.pdf", "--group", "384"}, "--group: 384 is not in 0..383"},
        {{"figure", missing, "--kind", "plate", "--out", "f.pdf", "--error", "sd"}, "--error: applies to --kind groups only"},
        {{"figure", missing, "--kind", "groups", "--out", "f.pdf", "--well", "A1"},
         "--well: applies to --kind actogram only"},
        {{"figure", missing, "--kind", "actogram", "--out", "f.pdf", "--window", "0-5"},
         "--window: applies to --kind groups, plate, sleep, periodogram or period-map only"},
        {{"figure", missing, "--kind", "actogram", "--out", "f.pdf", "--value", "total"},
         "--value: applies to --kind plate only"},
        {{"recalc", missing, "--method", "1", "--snr", "0.5", "--replace"}, "--snr: 0.5 is not in 1.1..6"},
        {{"recalc", missing, "--method", "1", "--snr", "1.8", "--hours", "-1"}, "--hours: -1 is below 0"},
        {{"record", "--minutes", "0"}, "--minutes: 0 is not in 1..32767"},
        {{"record", "--project", "x"}, "--project: x is not a whole number"},
        {{"record", "--clock-rate", "500"}, "--clock-rate: 500 is not in 1..100"},
        {{"record", "--status-port", "70000"}, "--status-port: 70000 is not in 0..65535"},
        {{"report", missing, "--layout", "grid"}, "--layout: grid is not rows, list or array"},
        {{"report", missing, "--format", "pdf"}, "--format: pdf is not csv or txt"},
        {{"report", missing, "--std-error", "maybe"}, "--std-error: maybe is not on or off"},
        {{"report", missing, "--bin", "ten"}, "--bin: ten is not a whole number"},
        {{"export", missing, "--interval", "1441"}, "--interval: 1441 is not in 1..1440"},
        {{"rhythm", missing, "--interval", "60"},
         "--interval: 60 is not in 1..59: rhythm-analysis tools take a step of an hour or more for a break in the "
         "recording and refuse the file; make coarser bins in the analysis, from the 1-minute files"},
        {{"rhythm", missing, "--interval", "0"}, "--interval: 0 is not in 1..59"},
        {{"rhythm", missing, "--start", "noon"}, "--start: noon is not lights-on or acquisition"},
        {{"wells", missing, "--bin", "1.5"}, "--bin: 1.5 is not a whole number"},
        {{"screen", missing, "--window", "24-20"}, "--window: 24-20 is not a window H1-H2 of hours with 0 <= H1 < H2"},
        {{"screen", missing, "--window", "20"}, "--window: 20 is not a window H1-H2 of hours with 0 <= H1 < H2"},
        {{"screen", missing, "--window", "1-2", "--normalise", "plate"}, "--normalise: plate is not control or none"},
        {{"screen", missing, "--window", "1-2", "--figures", "jpg"}, "--figures: jpg is not pdf, svg or png"},
        {{"screen", missing}, "--window is required"},
    };
    for (const auto& [args, problem] : cases) {
        for (const auto& spelled : {args, joinedSpelling(args)}) {
            const CliRun run = cli(spelled);
            const std::string command = "zorvex-cli " + args[0];
            EXPECT_EQ(run.status, 2) << shown(spelled);
            EXPECT_EQ(run.out, "") << shown(spelled);
            EXPECT_EQ(run.err.substr(0, run.err.find('\n')), command + ": " + problem) << shown(spelled);
            EXPECT_NE(run.err.find("\nUsage: " + command + " [OPTIONS]"), std::string::npos) << run.err;
            EXPECT_NE(run.err.find("\nTry '" + command + " --help' for more information.\n"), std::string::npos);
        }
    }
}

TEST_F(CommandLineTest, AnUnknownOptionIsNamedByEveryCommand) {
    for (const char* command : {"activity", "export", "figure", "init", "join", "recalc", "record", "report", "rhythm",
                                "screen", "wells", "help"}) {
        for (const char* option : {"--no-such-option", "--no-such-option=3"}) {
            const CliRun run = cli({command, option});
            EXPECT_EQ(run.status, 2) << command;
            EXPECT_EQ(run.err.rfind(std::string("zorvex-cli ") + command + ": unknown option '--no-such-option'\n", 0),
                      0u)
                << run.err;
        }
    }
}

// A command name met where a command expects a folder is the folder.
TEST_F(CommandLineTest, AFolderNamedLikeACommandStaysAnArgument) {
    const CliRun run = cli({"activity", "--method", "1", "--snr", "1.8", "report", "--record", "0", "--channel", "1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("activity: no acquisition folder report\n"), std::string::npos) << run.err;
}

}  // namespace
