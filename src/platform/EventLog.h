#pragma once
// The program's one logging path. Each acquisition folder gets events.log,
// the story of its run; the program folder gets zorvex.log for start-up,
// the port search and whatever happens outside an acquisition. Lines are
// UTF-8, stamped by the run's clock in events.log and by the Host clock in
// zorvex.log, and flushed one by one, so after a crash the file tells what
// happened up to it. Logging never throws.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/Host.h"
#include "platform/RunClock.h"

namespace spdlog {
class logger;
}

namespace zorvex {

inline constexpr const char* RunLogFileName = "events.log";
inline constexpr const char* ProgramLogFileName = "zorvex.log";
inline constexpr std::size_t ProgramLogBytes = 1024 * 1024;  ///< one zorvex.log before it rotates
inline constexpr std::size_t ProgramLogFiles = 3;            ///< older files kept: zorvex.1.log ..

class EventLog {
public:
    /// A log that writes nowhere until a file is opened; `host` stamps the lines.
    explicit EventLog(Host& host);
    ~EventLog();
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    /// Opens zorvex.log in `programFolder` (rotating at ProgramLogBytes);
    /// false when it cannot be written, and the program log stays off.
    bool openProgramLog(const std::filesystem::path& programFolder);
    /// Opens events.log in an acquisition folder for appending; the events
    /// go there, stamped by the run's clock, until closeRunLog(). False when
    /// it cannot be written.
    bool openRunLog(const std::filesystem::path& acquisitionFolder, const RunClock& clock);
    void closeRunLog();
    /// The events.log being written; empty when none.
    const std::filesystem::path& runLogPath() const { return runLogPath_; }

    /// One event: to events.log while a run log is open, else to zorvex.log.
    void event(const std::string& text);
    /// One line of zorvex.log, whether or not a run log is open.
    void program(const std::string& text);

private:
    void write(spdlog::logger* logger, const std::string& text);

    Host& host_;
    std::shared_ptr<spdlog::logger> programLog_;
    std::shared_ptr<spdlog::logger> runLog_;
    std::filesystem::path runLogPath_;
    std::optional<RunClock> runClock_;
};

/// "2026-12-06 14:58:00", the stamp of a log line.
std::string logStamp(const DateTime& when);

}  // namespace zorvex
