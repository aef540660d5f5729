#include "status/NotifyCommand.h"

#include <signal.h>
#include <unistd.h>
#include <wordexp.h>

#include <QTimer>
#include <algorithm>

#include "common/Text.h"

namespace zorvex {

namespace {

constexpr qsizetype StderrKeptBytes = 300;  // of the command's complaint, for the log
constexpr int ReapMs = 1000;

// The whole group: a script's own children end with it.
void killGroup(QProcess& process) {
    const auto pid = static_cast<pid_t>(process.processId());
    if (pid > 0) ::kill(-pid, SIGKILL);
    process.waitForFinished(ReapMs);
}

}  // namespace

struct NotifyCommand::Run {
    std::string event;
    QProcess process;
    QTimer limit;
    QByteArray stderrTail;
    std::int64_t startedMs = 0;
};

std::string runEventName(RunEvent event) {
    switch (event) {
        case RunEvent::InstrumentLost: return "instrument-lost";
        case RunEvent::InstrumentBack: return "instrument-back";
        case RunEvent::WriteError: return "write-error";
        case RunEvent::DiskLow: return "disk-low";
        case RunEvent::CycleFailing: return "cycle-failing";
        case RunEvent::LapseEnd: return "lapse-end";
        case RunEvent::Stop: return "stop";
        case RunEvent::Exit: break;
    }
    return "exit";
}

std::optional<std::vector<std::string>> splitCommandLine(const std::string& line, std::string& error) {
    wordexp_t words{};
    // No command substitution, and an unset variable is an error: the
    // ZORVEX_ variables exist only when the command runs, so they belong
    // inside sh -c '...'.
    const int result = ::wordexp(line.c_str(), &words, WRDE_NOCMD | WRDE_UNDEF);
    if (result != 0) {
        if (result == WRDE_NOSPACE) ::wordfree(&words);
        error = result == WRDE_CMDSUB  ? "a command substitution $(...) is not run; use sh -c '...'"
                : result == WRDE_BADVAL ? "a variable is not set now; the ZORVEX_ variables go inside sh -c '...'"
                : result == WRDE_BADCHAR ? "it holds | & ; < > ( ) { } or a line break outside quotes; use sh -c '...'"
                                         : "its quotes do not pair up";
        return std::nullopt;
    }
    std::vector<std::string> split(words.we_wordv, words.we_wordv + words.we_wordc);
    ::wordfree(&words);
    if (split.empty()) {
        error = "it is empty";
        return std::nullopt;
    }
    return split;
}

NotifyCommand::NotifyCommand(std::string commandLine, EventLog& log, Host& host, int limitMs)
    : commandLine_(std::move(commandLine)), log_(log), host_(host), limitMs_(limitMs) {}

NotifyCommand::~NotifyCommand() {
    for (auto& run : running_) {
        run->process.disconnect(this);
        killGroup(run->process);
    }
}

void NotifyCommand::notify(RunEvent event, const std::string& message, const NotifyContext& context) {
    finished_.clear();
    if (commandLine_.empty()) return;
    const std::string name = runEventName(event);
    std::string error;
    const auto words = splitCommandLine(commandLine_, error);
    if (!words) {
        log_.event("Notify command not run for " + name + ": " + error);
        return;
    }
    if (running() >= NotifyMaxRunning) {
        log_.event("Notify command not run for " + name + ": " + std::to_string(running()) + " still running");
        return;
    }
    auto run = std::make_unique<Run>();
    Run* raw = run.get();
    raw->event = name;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZORVEX_EVENT", QString::fromStdString(name));
    environment.insert("ZORVEX_TIME", QString::fromStdString(logStamp(host_.now())));
    environment.insert("ZORVEX_MESSAGE", QString::fromStdString(message));
    environment.insert("ZORVEX_ACQUISITION", QString::fromStdString(context.acquisition));
    environment.insert("ZORVEX_PROJECT", QString::fromStdString(context.project));
    raw->process.setProcessEnvironment(environment);
    raw->process.setStandardInputFile(QProcess::nullDevice());
    raw->process.setStandardOutputFile(QProcess::nullDevice());
    // Its own process group, so that the limit ends what it started too.
    raw->process.setChildProcessModifier([] { ::setsid(); });
    connect(&raw->process, &QProcess::readyReadStandardError, this, [raw] {
        raw->stderrTail = (raw->stderrTail + raw->process.readAllStandardError()).right(StderrKeptBytes);
    });
    connect(&raw->process, &QProcess::finished, this, [this, raw](int exitCode, QProcess::ExitStatus status) {
        if (status == QProcess::CrashExit) {
            ended(raw, "ended by a signal");
        } else if (exitCode != 0) {
            ended(raw, "failed with exit status " + std::to_string(exitCode));
        } else {
            ended(raw, "");
        }
    });
    connect(&raw->process, &QProcess::errorOccurred, this, [this, raw](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) ended(raw, "could not be started (" + raw->process.errorString().toStdString() + ")");
    });
    raw->limit.setSingleShot(true);
    connect(&raw->limit, &QTimer::timeout, this, [this, raw] { timedOut(raw); });
    raw->startedMs = host_.steadyMs();
    running_.push_back(std::move(run));
    QStringList arguments;
    for (auto word = words->begin() + 1; word != words->end(); ++word) arguments << QString::fromStdString(*word);
    raw->limit.start(limitMs_);
    raw->process.start(QString::fromStdString(words->front()), arguments);
}

void NotifyCommand::timedOut(Run* run) {
    run->process.disconnect(this);
    killGroup(run->process);
    ended(run, "was ended after " + formatShortest(limitMs_ / 1000.0) + " s");
}

void NotifyCommand::ended(Run* run, const std::string& outcome) {
    if (!outcome.empty()) {
        std::string line = "Notify command for " + run->event + " " + outcome;
        const QByteArray complaint = run->stderrTail.trimmed();
        if (!complaint.isEmpty()) line += ": " + complaint.toStdString();
        log_.event(line);
    }
    auto found = std::find_if(running_.begin(), running_.end(), [run](const auto& each) { return each.get() == run; });
    if (found == running_.end()) return;
    run->process.disconnect(this);
    run->limit.stop();
    // Not deleted inside its own signal: at the next event, or with this.
    finished_.push_back(std::move(*found));
    running_.erase(found);
}

void NotifyCommand::finishRunning() {
    while (!running_.empty()) {
        Run* run = running_.front().get();
        const std::int64_t left = limitMs_ - (host_.steadyMs() - run->startedMs);
        // A command that ends within its time reports through its finished signal.
        if (left <= 0 || !run->process.waitForFinished(static_cast<int>(left))) timedOut(run);
    }
}

}  // namespace zorvex
