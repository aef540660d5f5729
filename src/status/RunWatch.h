#pragma once
// Watching a run from elsewhere, as the program that owns the run sees it:
// the status page, fed with snapshots taken between ticks, and the notify
// command, run for every event the run tells. The windows and
// `zorvex-cli record` hold one each and pass on what their AcquisitionOwner hears.

#include <QObject>
#include <QTimer>
#include <memory>
#include <string>

#include "acquisition/AcquisitionOwner.h"
#include "status/NotifyCommand.h"
#include "status/RunStatus.h"
#include "status/StatusFigures.h"
#include "status/StatusServer.h"
#include "status/StatusSettings.h"

namespace zorvex {

/// Shortest time between two snapshots while ticks run, and their period without ticks.
inline constexpr int SnapshotIntervalMs = 1000;

class RunWatch : public QObject {
    Q_OBJECT
public:
    /// Watches `acquisition` of `workspace` on `session`; all must outlive it.
    RunWatch(const Acquisition& acquisition, const Workspace& workspace, const InstrumentSession& session,
             EventLog& log, Host& host, QObject* parent = nullptr);
    ~RunWatch() override;

    /// Starts the page (or stops it, for port 0) and takes the notify command
    /// of `settings`; nothing on success, else what the operator must be told.
    std::optional<std::string> apply(const StatusSettings& settings, ConnectionLimits limits = {},
                                     int notifyLimitMs = NotifyLimitMs);

    /// A run has started (its start returned): its start time, a fresh page.
    void runStarted();
    /// A tick begins: no snapshot until it has returned.
    void tickStarting() { inTick_ = true; }
    /// A tick has returned: a snapshot when something changed or one is due.
    void tickEnded();

    // What the AcquisitionOwner hears, passed on.
    void binClosed(const BinSummary& summary);
    void instrumentWait(const std::string& status);
    void notify(RunEvent event, const std::string& message);

    /// The program ends: the last events' commands are waited for (each until its limit).
    void finish();

    /// The port the page listens on; 0 when it is off.
    int port() const { return server_ ? server_->port() : 0; }
    /// Connections to the page open now.
    int openConnections() const { return server_ ? server_->openConnections() : 0; }
    /// The token asked for beyond loopback; empty while none was needed.
    const std::string& token() const { return token_; }
    const StatusView& view() const { return view_; }

private:
    void snapshot();
    void refreshFigures();

    const Acquisition& acquisition_;
    const Workspace& workspace_;
    const InstrumentSession& session_;
    EventLog& log_;
    Host& host_;
    RunNotes notes_;
    StatusView view_;
    std::unique_ptr<StatusServer> server_;
    std::unique_ptr<NotifyCommand> notifier_;
    StatusFigures figures_;
    QTimer idleSnapshots_;
    std::string token_;
    bool inTick_ = false;
    bool changed_ = true;
    std::int64_t lastSnapshotMs_ = 0;
    std::int64_t lastFiguresMs_ = 0;
    int figuresBins_ = 0;  ///< bins saved when the figures were last drawn
};

}  // namespace zorvex
