#pragma once
// The command line of zorvex-sim.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "Instrument.h"

namespace zorvex::sim {

struct SimOptions {
    std::filesystem::path programFolder;  ///< with `com`: whose comports.dat points at the pty
    int com = 0;                          ///< 1..16, 0 for none
    std::filesystem::path link;           ///< a symlink to the pty, made and removed by the simulator
    double seconds = 0;                   ///< run time, 0 until a signal
    double disconnectAfter = 0;           ///< close the pty after this many seconds, 0 never
    std::filesystem::path logFile;
    InstrumentConfig instrument;
};

/// Reads the arguments after the program name; nothing, with `error` set,
/// when they are not understood.
std::optional<SimOptions> parseSimOptions(const std::vector<std::string>& args, std::string& error);

/// What `zorvex-sim --help` prints.
std::string simHelp();

}  // namespace zorvex::sim
