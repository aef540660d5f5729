#include "control/DeviceTest.h"

#include <algorithm>

#include "common/Numbers.h"
#include "device/COM_Module.h"

namespace zorvex {

namespace {

constexpr int GridRows = 16;
constexpr int GridColumns = 24;
constexpr int LastStep = DeviceTestSteps - 1;
constexpr double ProgressPerStep = 0.83;
constexpr int MaxSensitivity = 7;
constexpr int FinalSensitivity = 2;
constexpr int QuestionStep = 9;

constexpr const char* TestQuestion =
    "DEVICE TEST:\r\nLigth Microbeams will be adjusted to maximum and minimum.\r\n"
    "Please, remove any microplate from the slot\r\n and close Zorvex door";

}  // namespace

std::vector<BeamWrite> deviceTestWrites(int n) {
    std::vector<BeamWrite> writes;
    if (n == 4 || n == 5) {
        const int level = n == 4 ? MaxSensitivity : 0;
        for (int c = 0; c < 4; ++c) writes.push_back({c, level, level});
    } else if (n >= 10 && n <= 25) {
        const int row = n - 10;
        for (int k = 0; k < GridColumns; ++k) writes.push_back({k * GridRows + row, MaxSensitivity, MaxSensitivity});
    } else if (n >= 26 && n <= 89) {
        const int m = n - 26;
        for (int c : {m, m + 64, m + 128, 383 - m, 319 - m, 255 - m}) writes.push_back({c, 0, 0});
    } else if (n >= 90 && n <= 105) {
        const int row = n - 90;
        for (int k = 0; k < GridColumns / 2; ++k) {
            writes.push_back({k * GridRows + row, FinalSensitivity, FinalSensitivity});
            writes.push_back({383 - row - k * GridRows, FinalSensitivity, FinalSensitivity});
        }
    }
    return writes;
}

bool beamReacted(int levelAtMaximum, int levelAtMinimum) {
    return levelAtMaximum >= 0 && levelAtMinimum >= 0 && levelAtMaximum - levelAtMinimum >= DeviceTestMarginCounts;
}

int cellGrey(int level) { return std::clamp(static_cast<int>(roundHalfEven(level / 8.0)), 0, 255); }

DeviceTest::DeviceTest(InstrumentSession& session, Host& host, Dialogs& dialogs, DeviceTestSurface& surface)
    : session_(session), host_(host), dialogs_(dialogs), surface_(surface) {}

bool DeviceTest::begin(bool acquisitionActive) {
    if (acquisitionActive) {
        dialogs_.message("Stop acquisition before Testing");
        return false;
    }
    step_ = 0;
    summary_.reset();
    written_.fill(-1);
    highest_.fill(-1);
    lowest_.fill(-1);
    if (dialogs_.message(TestQuestion, Buttons::OkCancel) != Answer::Ok) {
        running_ = false;
        surface_.restorePanel();
        return false;
    }
    surface_.drawGrid();
    surface_.showHint("Open and close Zorvex Door to see sensing changes");
    running_ = true;
    return true;
}

bool DeviceTest::tick() {
    if (!running_) return false;
    if (!runStep()) {
        end();
        return false;
    }
    if (++step_ > LastStep) {
        running_ = false;
        if (session_.online()) {
            summary_ = summarise();
            surface_.showSummary(*summary_);
        } else {
            surface_.restorePanel();  // nothing was measured
        }
    }
    return running_;
}

void DeviceTest::noteLevels() {
    for (int c = 0; c < ChannelCount; ++c) {
        const auto i = static_cast<std::size_t>(c);
        if (written_[i] == MaxSensitivity) highest_[i] = std::max<int>(highest_[i], levels_[i]);
        if (written_[i] == 0) lowest_[i] = lowest_[i] < 0 ? levels_[i] : std::min<int>(lowest_[i], levels_[i]);
    }
}

DeviceTestSummary DeviceTest::summarise() const {
    DeviceTestSummary summary;
    for (int c = 0; c < ChannelCount; ++c) {
        const auto i = static_cast<std::size_t>(c);
        (beamReacted(highest_[i], lowest_[i]) ? summary.passed : summary.failed).push_back(c);
    }
    return summary;
}

bool DeviceTest::runStep() {
    if (session_.online()) {
        const BlocksReceived received = readChannelLevels(session_.comm, session_.port, levels_);
        if (!received.back()) {
            dialogs_.message("COM Error");
            return false;
        }
        noteLevels();
    }
    for (int c = 0; c < ChannelCount; ++c) {
        surface_.paintCell(c / GridRows, c % GridRows, cellGrey(levels_[static_cast<std::size_t>(c)]));
    }
    surface_.progress(step_ * ProgressPerStep);

    if (step_ == 4) dialogs_.message("Turning ON A1-D1");
    if (step_ == 5) dialogs_.message("Turning OFF A1-D1");
    if (step_ == QuestionStep && dialogs_.message("OK to proceed?", Buttons::YesNo) == Answer::No) return false;
    for (const BeamWrite& write : deviceTestWrites(step_)) {
        if (WriteChannelSetting(session_.comm, session_.port, host_, dialogs_, write.channel, write.pinHole,
                                write.gain) != 1) {
            return false;
        }
        written_[static_cast<std::size_t>(write.channel)] = write.pinHole;
    }
    return true;
}

void DeviceTest::end() {
    running_ = false;
    surface_.restorePanel();
}

}  // namespace zorvex
