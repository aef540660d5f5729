#include "status/RunStatus.h"

#include <algorithm>
#include <fstream>

#include "acquisition/Acquisition.h"
#include "control/Temperature.h"
#include "platform/EventLog.h"

namespace zorvex {

namespace fs = std::filesystem;

namespace {

constexpr std::streamoff TailBytes = 64 * 1024;

std::string stateText(AcquisitionState state) {
    switch (state) {
        case AcquisitionState::Running: return "running";
        case AcquisitionState::Paused: return "paused";
        case AcquisitionState::Stopped: break;
    }
    return "stopped";
}

// The log that tells this run's story: its events.log, or zorvex.log for a monitor run.
fs::path storyLog(const Acquisition& acquisition, const EventLog& log, const Workspace& workspace) {
    if (!log.runLogPath().empty()) return log.runLogPath();
    if (!acquisition.folder().empty()) return acquisition.folder() / RunLogFileName;
    return workspace.programFolder / ProgramLogFileName;
}

}  // namespace

std::vector<std::string> lastLines(const fs::path& file, int lines) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    const std::streamoff from = std::max<std::streamoff>(0, size - TailBytes);
    in.seekg(from);
    std::string text(static_cast<std::size_t>(std::max<std::streamoff>(0, size - from)), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, in.gcount())));

    std::vector<std::string> all;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        all.push_back(std::move(line));
        start = end + 1;
    }
    // A tail cut in the middle of a line starts with the rest of that line.
    if (from > 0 && !all.empty()) all.erase(all.begin());
    const auto keep = std::min<std::size_t>(all.size(), static_cast<std::size_t>(std::max(lines, 0)));
    return {all.end() - static_cast<std::ptrdiff_t>(keep), all.end()};
}

RunStatus takeRunStatus(const Acquisition& acquisition, const Workspace& workspace, const InstrumentSession& session,
                        const EventLog& log, const RunNotes& notes, Host& host) {
    RunStatus status;
    status.takenAt = isoDateTime(host.now());
    status.active = acquisition.state() != AcquisitionState::Stopped;
    status.recording = acquisition.recording();
    status.state = stateText(acquisition.state());
    status.name = acquisition.experimentName();
    status.projectNumber = workspace.config.Actual_Project_Number;
    status.projectName = workspace.setup.Name;
    status.plate = workspace.setup.Plate_format;
    status.started = notes.started;
    status.elapsedMinutes = acquisition.elapsedMinutes();
    status.lapseMinutes = workspace.setup.Aq_lapse;
    status.remainingMinutes = std::max(0LL, status.lapseMinutes - status.elapsedMinutes);
    status.binsSaved = acquisition.binsRecorded();
    status.binsClosed = acquisition.binsClosed();
    status.lastBinMinute = notes.lastBinMinute;
    status.lastBinTemperature = notes.lastBinTemperature;
    status.folder = acquisition.folder();

    if (!session.online()) {
        status.instrument = InstrumentLink::Offline;
    } else if (acquisition.waitingForInstrument()) {
        status.instrument = InstrumentLink::Waiting;
        status.instrumentWait = notes.instrumentWait;
    } else {
        status.instrument = InstrumentLink::Online;
    }
    if (session.online()) {
        status.port = "COM" + std::to_string(session.port) + " (" + session.comm.portMap().device(session.port) + ")";
    }
    status.temperature = session.temperature;
    status.setTemperature = session.setTemperature;
    status.temperatureControl = temperatureControlEnabled(workspace.setup);
    status.light = session.outputs.light;
    status.freeDiskBytes = host.freeDiskBytes(status.folder.empty() ? workspace.programFolder : status.folder);
    status.lastWriteError = notes.lastWriteError;
    status.events = lastLines(storyLog(acquisition, log, workspace), StatusEventLines);
    return status;
}

}  // namespace zorvex
