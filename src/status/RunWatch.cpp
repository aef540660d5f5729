#include "status/RunWatch.h"

#include "acquisition/Acquisition.h"
#include "acquisition/DataFiles.h"
#include "status/StatusToken.h"

namespace zorvex {

namespace {

// The figures follow the page's own refresh: drawing them more often shows nothing new.
constexpr std::int64_t FigureIntervalMs = 30000;

}  // namespace

RunWatch::RunWatch(const Acquisition& acquisition, const Workspace& workspace, const InstrumentSession& session,
                   EventLog& log, Host& host, QObject* parent)
    : QObject(parent), acquisition_(acquisition), workspace_(workspace), session_(session), log_(log), host_(host) {
    // Without ticks (no run, a pause that stopped the timer) the page still
    // follows the instrument and the log.
    idleSnapshots_.setInterval(SnapshotIntervalMs);
    connect(&idleSnapshots_, &QTimer::timeout, this, [this] {
        if (!inTick_ && host_.steadyMs() - lastSnapshotMs_ >= SnapshotIntervalMs) snapshot();
    });
    connect(&figures_, &StatusFigures::drawn, this, [this] {
        view_.groupsSvg = figures_.files().groupsSvg;
        view_.plateSvg = figures_.files().plateSvg;
    });
}

RunWatch::~RunWatch() = default;

std::optional<std::string> RunWatch::apply(const StatusSettings& settings, ConnectionLimits limits,
                                           int notifyLimitMs) {
    notifier_ = std::make_unique<NotifyCommand>(settings.notifyCommand, log_, host_, notifyLimitMs);
    server_.reset();
    idleSnapshots_.stop();
    if (settings.port == 0) return std::nullopt;
    if (const std::string wrong = checkStatusSettings(settings); !wrong.empty()) return wrong;
    StatusListen where{settings.bindAddress, settings.port, "", limits};
    if (!isLoopback(settings.bindAddress)) {
        auto token = statusToken(workspace_.programFolder);
        if (!token) {
            return "Status page: the token cannot be written to " +
                   (workspace_.programFolder / StatusTokenFileName).string() + "; the page stays off";
        }
        token_ = *token;
        where.token = token_;
    }
    auto server = std::make_unique<StatusServer>(view_);
    if (auto failure = server->listen(where)) return failure;
    server_ = std::move(server);
    snapshot();
    idleSnapshots_.start();
    log_.program("Status page on http://" + settings.bindAddress + ":" + std::to_string(server_->port()) + "/");
    return std::nullopt;
}

void RunWatch::runStarted() {
    notes_ = {};
    notes_.started = isoDateTime(acquisition_.runClock().start());
    figures_.clear();
    view_.groupsSvg.clear();
    view_.plateSvg.clear();
    figuresBins_ = 0;
    snapshot();
}

void RunWatch::tickEnded() {
    inTick_ = false;
    const RunStatus& shown = view_.status;
    changed_ = changed_ || acquisition_.binsClosed() != shown.binsClosed ||
               acquisition_.waitingForInstrument() != (shown.instrument == InstrumentLink::Waiting);
    if (changed_ || host_.steadyMs() - lastSnapshotMs_ >= SnapshotIntervalMs) snapshot();
}

void RunWatch::binClosed(const BinSummary& summary) {
    if (summary.recorded) {
        notes_.lastBinMinute = summary.elapsedMinutes;
        notes_.lastBinTemperature = temperatureTenths(summary.temperature) / 10.0;
    }
    changed_ = true;
}

void RunWatch::instrumentWait(const std::string& status) {
    notes_.instrumentWait = status;
    changed_ = true;
}

void RunWatch::notify(RunEvent event, const std::string& message) {
    if (event == RunEvent::WriteError) notes_.lastWriteError = logStamp(acquisition_.runClock().now()) + "  " + message;
    changed_ = true;
    if (!notifier_) return;
    NotifyContext context;
    context.acquisition = acquisition_.recording() ? acquisition_.folder().string() : acquisition_.experimentName();
    context.project = std::to_string(workspace_.config.Actual_Project_Number) + " " + workspace_.setup.Name;
    notifier_->notify(event, message, context);
}

void RunWatch::finish() {
    if (notifier_) notifier_->finishRunning();
}

void RunWatch::snapshot() {
    if (!server_) return;  // nobody can read it
    view_.status = takeRunStatus(acquisition_, workspace_, session_, log_, notes_, host_);
    lastSnapshotMs_ = host_.steadyMs();
    changed_ = false;
    refreshFigures();
}

void RunWatch::refreshFigures() {
    const RunStatus& status = view_.status;
    if (!status.recording || status.binsSaved == 0 || status.binsSaved == figuresBins_) return;
    // Until a group figure exists (its first whole bin), every new record may bring it.
    const bool drawnOnce = !view_.groupsSvg.isEmpty();
    if (drawnOnce && host_.steadyMs() - lastFiguresMs_ < FigureIntervalMs) return;
    if (!figures_.refresh(status.folder, workspace_.programFolder, status.elapsedMinutes / 60.0)) return;
    figuresBins_ = status.binsSaved;
    lastFiguresMs_ = host_.steadyMs();
}

}  // namespace zorvex
