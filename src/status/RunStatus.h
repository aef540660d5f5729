#pragma once
// What the status page shows, taken from the run between two ticks: a plain
// copy, so that serving a page never reads the acquisition itself.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zorvex {

class Acquisition;
class EventLog;
class Host;
class InstrumentSession;
struct Workspace;

/// Lines of events.log the page shows, the newest last.
inline constexpr int StatusEventLines = 50;

enum class InstrumentLink { Online, Waiting, Offline };

struct RunStatus {
    std::string takenAt;              ///< local time of the snapshot, "2026-12-06 14:58:00"
    bool active = false;              ///< a run (recording or monitor) is going
    bool recording = false;
    std::string state;                ///< "running", "paused", "stopped"
    std::string name;                 ///< the experiment name; empty for a monitor run
    int projectNumber = 0;
    std::string projectName;
    std::string plate;
    std::string started;              ///< local start, "2026-12-06 14:58:00"; empty before a run
    long long elapsedMinutes = 0;
    long long lapseMinutes = 0;
    long long remainingMinutes = 0;
    int binsSaved = 0;                ///< records in counts.bin from this run
    int binsClosed = 0;
    std::optional<std::int32_t> lastBinMinute;  ///< of the latest saved record
    std::optional<double> lastBinTemperature;   ///< degrees Celsius, as saved (tenths)
    std::filesystem::path folder;
    InstrumentLink instrument = InstrumentLink::Offline;
    std::string instrumentWait;       ///< "Waiting for the instrument since 03:05 (2 min)"
    std::string port;                 ///< "COM4 (/dev/ttyUSB0)"
    double temperature = 0.0;         ///< degrees Celsius, the latest reading
    double setTemperature = 0.0;
    bool temperatureControl = false;
    bool light = false;
    std::optional<std::uint64_t> freeDiskBytes;  ///< of the acquisition folder's file system
    std::string lastWriteError;       ///< the latest write error told, with its time
    std::vector<std::string> events;  ///< the last lines of events.log
};

/// What the owner of a run saw that the acquisition does not keep.
struct RunNotes {
    std::string started;
    std::string instrumentWait;
    std::string lastWriteError;
    std::optional<std::int32_t> lastBinMinute;
    std::optional<double> lastBinTemperature;
};

/// The status of `acquisition` now. Reads the tail of the run's events.log
/// and the free disk space; everything else is copied.
RunStatus takeRunStatus(const Acquisition& acquisition, const Workspace& workspace,
                        const InstrumentSession& session, const EventLog& log, const RunNotes& notes, Host& host);

/// The last `lines` lines of a text file (at most its last 64 KiB read), without line ends.
std::vector<std::string> lastLines(const std::filesystem::path& file, int lines);

}  // namespace zorvex
