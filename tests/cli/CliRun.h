#pragma once
// zorvex-cli run in the test's own process through its real entry point,
// with what it printed on each stream.

#include <sstream>
#include <string>
#include <vector>

#include "cli/Program.h"

namespace zorvex::test {

struct CliRun {
    int status = 0;
    std::string out;
    std::string err;
};

inline CliRun cli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    run.status = runZorvexCli(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

/// The words as a shell would show them, for failure messages.
inline std::string shown(const std::vector<std::string>& args) {
    std::string text;
    for (const std::string& word : args) text += " " + word;
    return text;
}

}  // namespace zorvex::test
