#pragma once
// The serial port layer: a table of 16 ports addressed by number, over Linux
// terminal devices. Routines never throw; they return a status or a byte count
// and leave the reason of their last failure in one record for diagnosis.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "device/PortMap.h"

namespace zorvex {

constexpr int ReadIntervalTimeoutMs = 100;   ///< longest gap between two bytes of one read call
constexpr int ReadTotalTimeoutMs = 500;      ///< longest read call
constexpr int ReadCallsPerRead = 5;          ///< read calls of one CommRead
constexpr int ReadRetryPauseMs = 5;          ///< pause after a read call that came up short
constexpr int WriteTimeoutPerByteMs = 1000;  ///< write allowance per byte

/// `CommSetLine` line numbers.
constexpr int LineBreak = 1;
constexpr int LineDtr = 2;
constexpr int LineRts = 3;

/// Number recorded when a port is opened twice.
constexpr std::int32_t PortInUseError = -1;

/// The last failure of any serial routine.
struct CommError {
    std::int32_t number = 0;  ///< errno, PortInUseError, or the number of a run-time failure
    std::string source;       ///< routine and step, e.g. "CommOpen (SetCommState)"
    std::string text;         ///< the system's message, perhaps with the error flags
};

/// Line settings of a port, as built from a settings text.
struct LineSettings {
    int baud = 115200;
    char parity = 'N';  ///< N, E, O, M or S
    int dataBits = 8;   ///< 5..8
    int stopBits = 1;   ///< 1 or 2
};

/// Parses "baud=115200 parity=N data=8 stop=1" (keys in any order and case;
/// missing keys keep 115200 8N1); nothing when a key or value is not understood.
std::optional<LineSettings> parseLineSettings(std::string_view text);

class ModCOMM {
public:
    /// A table of closed ports; names "COM" n open the device `map` gives them.
    explicit ModCOMM(PortMap map = defaultPortMap());
    /// Closes every port still open.
    ~ModCOMM();
    ModCOMM(const ModCOMM&) = delete;
    ModCOMM& operator=(const ModCOMM&) = delete;

    /// Opens `deviceName` ("COM" n or a device path) exclusively as port `port`
    /// with `settings`; 0, PortInUseError, or the error number.
    std::int32_t CommOpen(int port, std::string_view deviceName, std::string_view settings);
    /// Closes the port; 0 also when it was not open, else the error number.
    std::int32_t CommClose(int port);
    /// Lets pending output leave, then discards pending input, so nothing
    /// is left in either direction; 0 or the error number.
    std::int32_t CommFlush(int port);
    /// Reads up to `wanted` bytes into `data` (replacing it) within the read
    /// timeouts; returns the count delivered. A short read purges the port.
    std::int32_t CommRead(int port, std::string& data, std::int32_t wanted);
    /// Writes all of `data`; the count written, or -1 when the write failed.
    std::int32_t CommWrite(int port, std::string_view data);
    /// Sets (`state` true) or clears break, DTR or RTS; 0 or the error number.
    std::int32_t CommSetLine(int port, int line, bool state);

    /// True while port `port` is marked open.
    bool isOpen(int port) const;
    /// The line settings `port` was opened with.
    std::optional<LineSettings> lineSettings(int port) const;
    /// The last failure recorded by any routine.
    const CommError& lastError() const { return lastError_; }
    /// The map that resolves "COM" n.
    const PortMap& portMap() const { return portMap_; }
    /// Takes a corrected map; ports already open stay on their devices until reopened.
    void setPortMap(PortMap map) { portMap_ = std::move(map); }

private:
    struct Port {
        int fd = -1;
        bool open = false;
        LineSettings settings;
        int errorCounts[5] = {};  ///< driver error counters at the last look
    };

    Port* entry(int port);
    std::int32_t record(std::int32_t number, const char* source, std::string text);
    std::int32_t recordSystem(int errorNumber, const char* source, Port* flagsOf = nullptr);
    unsigned takeErrorFlags(Port& port);
    std::int32_t openSteps(Port& port, const std::string& path, std::string_view settings);
    int release(Port& port);
    std::int32_t purge(Port& port, const char* source);

    Port ports_[PortCount];
    CommError lastError_;
    PortMap portMap_;
};

}  // namespace zorvex
