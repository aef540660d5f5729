#pragma once
// The command line of zorvex-sim.

#include <filesystem>
#include <optional>
#include <ostream>
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
    double reconnectAfter = 0;            ///< serve again this long after the disconnection, 0 never
    std::filesystem::path logFile;
    InstrumentConfig instrument;
};

/// Reads `args` (the words after the program name) into `options`. Nothing
/// when the simulator goes on; otherwise the exit status after the help or
/// version on `out`, or a usage error on `err`.
std::optional<int> readSimOptions(const std::vector<std::string>& args, SimOptions& options, std::ostream& out,
                                  std::ostream& err);

}  // namespace zorvex::sim
