#pragma once
// The operator's notify command: run for every event a run tells, with the
// event in its environment, so that someone away from the instrument hears
// of it (a mail, a chat message). The message only ever travels in the
// environment: it is never part of a command line, so no text of a run can
// make a shell run anything. The command runs beside the acquisition and is
// ended after a time limit; whatever goes wrong with it is written to the
// log and never stops the run.

#include <QObject>
#include <QProcess>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/AcquisitionOwner.h"
#include "platform/EventLog.h"
#include "platform/Host.h"

namespace zorvex {

inline constexpr int NotifyLimitMs = 30000;   ///< a command running longer is ended
inline constexpr int NotifyMaxRunning = 8;    ///< commands running at once; later events are logged, not run

/// The value of ZORVEX_EVENT: "instrument-lost", "instrument-back", "write-error",
/// "disk-low", "cycle-failing", "lapse-end", "stop", "exit".
std::string runEventName(RunEvent event);

/// The words of a configured command line, split as a shell splits them
/// (quotes, backslashes) but never running anything; nothing, with `error`
/// set, for an empty line, a command substitution or an unset variable.
std::optional<std::vector<std::string>> splitCommandLine(const std::string& line, std::string& error);

/// Which run an event belongs to.
struct NotifyContext {
    std::string acquisition;  ///< ZORVEX_ACQUISITION: the acquisition folder; the name of a monitor run
    std::string project;      ///< ZORVEX_PROJECT: "1 Default", number and name
};

class NotifyCommand : public QObject {
    Q_OBJECT
public:
    /// Runs `commandLine` (nothing when empty); failures go to `log`.
    NotifyCommand(std::string commandLine, EventLog& log, Host& host, int limitMs = NotifyLimitMs);
    ~NotifyCommand() override;

    /// Starts the command for `event`; returns at once.
    void notify(RunEvent event, const std::string& message, const NotifyContext& context);

    /// Commands still running.
    int running() const { return static_cast<int>(running_.size()); }

    /// Waits for the running commands, each at most until its limit (the
    /// program's exit: the last event must still go out).
    void finishRunning();

private:
    struct Run;
    void ended(Run* run, const std::string& outcome);
    void timedOut(Run* run);

    std::string commandLine_;
    EventLog& log_;
    Host& host_;
    int limitMs_;
    std::vector<std::unique_ptr<Run>> running_;
    std::vector<std::unique_ptr<Run>> finished_;
};

}  // namespace zorvex
