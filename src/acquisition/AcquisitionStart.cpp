// The start command: from the name prompt to the running timer.

#include "acquisition/Acquisition.h"
#include "acquisition/StartChecks.h"
#include "common/Files.h"
#include "common/Text.h"
#include "control/LightSchedule.h"
#include "control/Temperature.h"
#include "store/ProjectFolders.h"

namespace zorvex {

namespace fs = std::filesystem;

bool Acquisition::start(const StartRequest& request) {
    if (state_ != AcquisitionState::Stopped) return false;
    owner_.stopDeviceTest();
    // Offline nothing can start: say so before asking for a name.
    if (!session_.online()) {
        refused();
        return false;
    }
    if (refuseWhileLost("Start")) return false;
    const std::optional<std::string> name = askName(request);
    if (!name) return false;  // Cancel or Escape in the name box: nothing starts
    if (refused()) return false;
    runClock_ = RunClock(host_);
    purgePort(0);
    owner_.redraw(LiveRedraw::PanelFrame);
    if (!prepareRecording(*name, request)) return false;

    clearWorkingState();
    owner_.redraw(LiveRedraw::ChannelList);
    state_ = AcquisitionState::Running;
    settingUp_ = true;  // until the calibration and zero below have run
    owner_.lockControls(true);

    logStart();
    session_.setTemperature = boxSetTemperature(workspace_.setup);
    readTemperature(session_);
    setLightBySchedule();
    if (!runSensorSetup()) return false;

    owner_.redraw(LiveRedraw::PlotFrame);
    ticksSinceStart_ = 0;
    counterStartMs_ = host_.steadyMs();
    owner_.setTimer(true, TimerIntervalMs);
    return true;
}

std::optional<std::string> Acquisition::askName(const StartRequest& request) {
    if (request.source == NameSource::Autorun) return AutorunName;
    if (request.source == NameSource::Given) return request.name;
    std::optional<std::string> name =
        dialogs_.titledAnswer(namePrompt(options_.autoCalibration && options_.autoZero), StartTitle);
    if (name && name->empty() &&
        dialogs_.message("Name is EMPTY. Activity is NOT going to be CALCULATED/RECORDED!", Buttons::OkCancel) ==
            Answer::Cancel) {
        name = dialogs_.titledAnswer("Enter a Name for this experiment", StartTitle);
    }
    return name;
}

bool Acquisition::refused() {
    if (workspace_.config.Actual_Project_Number == 0) {
        dialogs_.message(
            "Operation not allowed in Project #0:Default. Go to <Setup> and Save it with another name");
        owner_.openSetupEditor();
        return true;
    }
    if (!session_.online()) {
        dialogs_.message("Acquisition not allowed in OFFLINE MODE. Connect the equipment and restart the program.");
        return true;
    }
    // The loader takes any 16-bit value; a buffer outside the editor's range
    // would make bins of nonsense length, or none at all.
    const int buffer = workspace_.setup.RT_Buffer;
    if (buffer < MinimumBuffer || buffer > MaximumBuffer) {
        dialogs_.message("Invalid RT_Buffer " + std::to_string(buffer) +
                         " in the project setup (200 to 10000). Correct it in <Setup>.");
        owner_.openSetupEditor();
        return true;
    }
    return false;
}

bool Acquisition::prepareRecording(const std::string& name, const StartRequest& request) {
    recording_ = false;
    name_ = name;
    if (name.empty()) return true;  // a monitor run: no folder, no files
    const ProjectSetup& setup = workspace_.setup;
    if (request.source == NameSource::Prompt && setup.Save_real == 1) {
        auto warning = diskWarning(setup.Aq_lapse, megabytesPerMinute(),
                                   freeMegabytes(host_.freeDiskBytes(workspace_.projectFolder)));
        if (warning && dialogs_.message(*warning, Buttons::YesNo) == Answer::No) {
            owner_.openSetupEditor();
            return false;
        }
    }
    if (!makeAcquisitionFolder(name)) return false;
    recording_ = true;
    return true;
}

bool Acquisition::makeAcquisitionFolder(const std::string& name) {
    const fs::path folder = acquisitionFolderPath(workspace_.projectFolder, runClock_.start());
    // A second recording in the same minute would interleave its bins with
    // the first one's in the same counts.bin.
    if (holdsRecording(folder)) {
        dialogs_.message("The acquisition folder " + folder.filename().string() +
                         " already holds a recording started this minute. Please wait for the next minute and "
                         "start again.");
        return false;
    }
    std::error_code error;
    fs::create_directories(folder, error);
    if (!folderExists(folder)) {
        dialogs_.message("Cannot create the acquisition folder " + folder.string() + ": " +
                         (error ? error.message() : std::string("it is not there after creating it")));
        return false;
    }
    if (!saveProjectInto(workspace_, folder) || !copyProjectSideFiles(workspace_.projectFolder, folder) ||
        !writeExperimentInfo(folder, {storableName(name), storableName(options_.description)})) {
        dialogs_.message("Cannot write the project files into the acquisition folder " + folder.string());
        return false;
    }
    folder_ = folder;
    log_.openRunLog(folder, runClock_);
    return true;
}

void Acquisition::logStart() {
    const ProjectSetup& setup = workspace_.setup;
    auto onOff = [](bool on) { return std::string(on ? "on" : "off"); };
    std::string text = recording_ ? "Start of \"" + name_ + "\"" : std::string("Start of a monitor run");
    text += " in project " + std::to_string(workspace_.config.Actual_Project_Number) + "_" + setup.Name +
            ", plate " + setup.Plate_format + ", RT_Buffer " + std::to_string(setup.RT_Buffer) +
            " samples a bin, lapse " + std::to_string(setup.Aq_lapse) + " min, DSP_Method " +
            std::to_string(setup.DSP_Method) + ", DSP_Interval " + std::to_string(setup.DSP_Interval) +
            ", Save_real " + std::to_string(setup.Save_real) + ", auto calibration " +
            onOff(options_.autoCalibration) + ", auto zero " + onOff(options_.autoZero) + ", SNR factor " +
            formatFixed(options_.snrFactor, 1) + ", on COM" + std::to_string(session_.port);
    if (recording_ && !options_.description.empty()) text += ", description \"" + options_.description + "\"";
    log_.event(text);
}

void Acquisition::resetBuffers() {
    if (state_ != AcquisitionState::Stopped) return;
    Detection checked(workspace_.setup.RT_Buffer);  // refuses a buffer out of range before anything changes
    clearWorkingState();
}

void Acquisition::clearWorkingState() {
    const int buffer = workspace_.setup.RT_Buffer;
    frame_ = SampleFrame(buffer);
    detection_ = Detection(buffer);
    analysis_ = Analysis_Module{};
    slot_ = 0;
    ticksSinceStart_ = 0;
    totalSamples_ = 0;
    displayCounter_ = 0;
    intervalCounter_ = 0;
    windowFlag_ = false;
    binsClosed_ = 0;
    binsRecorded_ = 0;
    silentTicks_ = 0;
    unanswered_ = false;
    resendPending_ = false;
    otherInstrumentTold_ = false;
    staleBlocks_.fill(false);
    blockFaults_ = BlockFaults{};
    nextBlockReportMs_ = BlockReportIntervalMs;
    files_ = FileCounters{};
    writeFailureShown_ = false;
    writeFailing_ = false;
    dumpFailureShown_ = false;
    dumpFailing_ = false;
    diskWarningShown_ = false;
    failedTicks_ = 0;
    tickFailureShown_ = false;
    waiting_ = false;
    elapsedMinutes_ = 0;
    timeCounterStopped_ = false;
    refreshDetectionSettings();
}

void Acquisition::setLightBySchedule() {
    const LightSchedule schedule = lightSchedule(workspace_.setup);
    if (schedule.enabled && schedule.pulseCount == 0) {
        session_.outputs.light = lightAtStart(schedule.onHour, schedule.offHour, runClock_.now().hour);
    }
    lightCheckedAt_ = runClock_.now();
    sendOutputs();
}

bool Acquisition::runSensorSetup() {
    if (recording_ && session_.online()) {
        bool goOn = !options_.autoCalibration || sensors_.runAutoCalibration(*this);
        if (goOn && state_ == AcquisitionState::Running && options_.autoZero) goOn = sensors_.runAutoZero(*this);
        if (!goOn && state_ != AcquisitionState::Stopped) stop();
    }
    settingUp_ = false;
    if (state_ == AcquisitionState::Running) owner_.lockControls(true);  // Pause is offered now
    return state_ == AcquisitionState::Running;
}

}  // namespace zorvex
