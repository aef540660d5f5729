#include "platform/EventLog.h"

#include <spdlog/logger.h>
#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/sinks/rotating_file_sink.h>

#include <cstdio>

namespace zorvex {

namespace {

// The folders move to Windows workstations with their other text files, so
// lines end as theirs do; the stamp is the Host's, not spdlog's own clock.
std::shared_ptr<spdlog::logger> makeLogger(const std::string& name, spdlog::sink_ptr sink) {
    auto logger = std::make_shared<spdlog::logger>(name, std::move(sink));
    logger->set_formatter(std::make_unique<spdlog::pattern_formatter>("%v", spdlog::pattern_time_type::local, "\r\n"));
    logger->flush_on(spdlog::level::trace);
    return logger;
}

}  // namespace

std::string logStamp(const DateTime& when) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", when.year, when.month, when.day, when.hour,
                  when.minute, when.second);
    return text;
}

EventLog::EventLog(Host& host) : host_(host) {}

EventLog::~EventLog() = default;

bool EventLog::openProgramLog(const std::filesystem::path& programFolder) {
    try {
        const std::string file = (programFolder / ProgramLogFileName).string();
        programLog_ = makeLogger("program", std::make_shared<spdlog::sinks::rotating_file_sink_st>(
                                                file, ProgramLogBytes, ProgramLogFiles));
        return true;
    } catch (const std::exception&) {
        programLog_.reset();
        return false;
    }
}

bool EventLog::openRunLog(const std::filesystem::path& acquisitionFolder, const RunClock& clock) {
    closeRunLog();
    try {
        const std::filesystem::path file = acquisitionFolder / RunLogFileName;
        runLog_ = makeLogger("run", std::make_shared<spdlog::sinks::basic_file_sink_st>(file.string(), false));
        runLogPath_ = file;
        runClock_ = clock;
        return true;
    } catch (const std::exception&) {
        program("events.log cannot be written in " + acquisitionFolder.string());
        return false;
    }
}

void EventLog::closeRunLog() {
    runLog_.reset();
    runLogPath_.clear();
    runClock_.reset();
}

void EventLog::event(const std::string& text) { write(runLog_ ? runLog_.get() : programLog_.get(), text); }

void EventLog::program(const std::string& text) { write(programLog_.get(), text); }

void EventLog::write(spdlog::logger* logger, const std::string& text) {
    if (logger == nullptr) return;
    // A line break inside an event would read as a second event.
    const bool runLine = logger == runLog_.get() && runClock_;
    std::string line = logStamp(runLine ? runClock_->now() : host_.now()) + "  " + text;
    for (char& c : line) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    logger->info("{}", line);
}

}  // namespace zorvex
