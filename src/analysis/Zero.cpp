#include "analysis/Zero.h"

#include <algorithm>
#include <cmath>
#include <system_error>

#include "common/DateTime.h"
#include "common/Numbers.h"
#include "common/Text.h"

namespace zorvex {

namespace {

// Row 1 of the setup's tool table: Organism, Enab_Cal, Enab_Zero, SNRx10.
constexpr int SensorRow = 1;
constexpr int OrganismField = 0;
constexpr int SnrField = 3;

constexpr double ElegansSnr = 1.8;
constexpr double ZebrafishSnr = 2.8;
constexpr double LowestTypedSnr = 1.1;
constexpr double HighestTypedSnr = 5.0;
constexpr double BlankFactor = 1.15;
constexpr std::int16_t BlankMinimumStart = 10000;
constexpr int FastZeroYieldSets = 10;  ///< sets between two looks for a stop

std::string snrText(double factor) { return formatFixed(factor, 1); }

}  // namespace

std::string initialSnrText(std::int16_t snrX10) {
    return snrText(snrX10 != 0 ? snrX10 / 10.0 : DefaultSnrFactor);
}

SnrBox applyOrganism(Organism organism, const std::string& boxText) {
    SnrBox box;
    box.text = boxText;
    if (organism == Organism::Customized) {
        box.caption = "> Zero SNR:";
        box.visible = true;
    } else {
        // The preset goes through the box, so the factor is what it shows.
        box.text = snrText(organism == Organism::Zebrafish ? ZebrafishSnr : ElegansSnr);
        box.caption = ">>>>";
        box.visible = false;
    }
    box.factor = val(box.text);
    if (box.factor <= LowestOrganismSnr) {
        box.factor = DefaultSnrFactor;
        box.text = snrText(DefaultSnrFactor);
    }
    return box;
}

SnrBox typedSnr(const std::string& typed, ProjectSetup& setup, Dialogs& dialogs) {
    auto& sensor = setup.Mn[SensorRow];
    std::string text;
    const double value = val(typed);
    if (isNumeric(typed) && value >= LowestTypedSnr && value <= HighestTypedSnr) {
        sensor[SnrField] = toInt16(value * 10);
        text = snrText(value);
    } else {
        dialogs.message("Invalid value: 1.1 to 5.0");
        sensor[SnrField] = toInt16(DefaultSnrFactor * 10);
        text = snrText(DefaultSnrFactor);
    }
    sensor[OrganismField] = static_cast<std::int16_t>(Organism::Customized);
    return applyOrganism(Organism::Customized, text);
}

double startSnrFactor(const std::string& boxText) {
    const double factor = val(boxText);
    return factor < LowestStartSnr ? DefaultSnrFactor : factor;
}

double noiseMargin(std::int32_t amplitude, std::int32_t level, double snr) {
    const double margin = (1 - static_cast<double>(level - amplitude) / level) * 100 * snr + 1;
    return std::max(margin, 1.0);
}

double binZeroMargin(std::int32_t amplitude, std::int32_t level, double snr) {
    if (amplitude >= level || level < 1) return std::max(snr * 100 + 1, 1.0);
    return noiseMargin(amplitude, level, snr);
}

double fastZeroMargin(const std::int16_t* row, int sets, double snr) {
    std::int16_t lower = row[FastZeroFirstSample];
    std::int16_t upper = row[FastZeroFirstSample];
    long long amplitudeSum = 0;
    long long levelSum = 0;
    int positions = 0;
    for (int j = FastZeroFirstSample + 1; j <= sets - 2; ++j) {
        const std::int16_t s = row[j];
        if (s < row[j - 1] && s < row[j + 1]) lower = s;
        if (s > row[j - 1] && s > row[j + 1]) upper = s;
        amplitudeSum += upper - lower;
        levelSum += s;
        ++positions;
    }
    if (positions == 0) return 1;
    const std::int32_t amplitude = toInt32(static_cast<double>(amplitudeSum) / positions);
    const std::int32_t level = toInt32(static_cast<double>(levelSum) / positions);
    return level < 1 ? 1.0 : noiseMargin(amplitude, level, snr);
}

int fastZeroSets(bool autoCalibration, bool autoZero) {
    return autoCalibration && autoZero ? FastZeroShortSets : FastZeroLongSets;
}

bool fastZero(SensorLink& link, SampleFrame& frame, ChannelTable& channels, double snr, int sets) {
    sets = std::min(sets, frame.rtBuffer());
    link.progress.label("AutoZero Calculation .... <000>");
    link.progress.startBar(sets);
    if (link.online) discardChannelLevels(link.comm, link.port);

    ChannelLevels levels{};
    for (int i = 0; i < sets; ++i) {
        if (link.online) {
            for (int c = 0; c < ChannelCount; ++c) levels[static_cast<std::size_t>(c)] = frame.at(c, i);
            readChannelLevels(link.comm, link.port, levels);
            for (int c = 0; c < ChannelCount; ++c) frame.at(c, i) = levels[static_cast<std::size_t>(c)];
        }
        link.progress.label("AutoZero... <" + std::to_string(i) + ">");
        link.progress.bar(i);
        // The window turns after every set (four blocks, 68 ms on the wire);
        // a stop is still looked for every tenth set only.
        link.host.yield();
        if (i % FastZeroYieldSets == 0 && !link.run.active()) return false;
    }
    for (int c = 0; c < ChannelCount; ++c) {
        channels.Threshold[static_cast<std::size_t>(c)] = fastZeroMargin(frame.row(c), sets, snr);
    }
    return true;
}

double blankMargin(std::int16_t minimum, std::int16_t maximum) {
    const double margin = std::floor((1 - static_cast<double>(minimum) / maximum) * 100 * BlankFactor) + 1;
    return std::max(margin, 1.0);
}

std::string BlankReading::start(const Workspace& workspace, Host& host) {
    folder_ = workspace.projectFolder / timeStamp(host.now());
    std::error_code ignored;
    std::filesystem::create_directories(folder_, ignored);
    saveProjectInto(workspace, folder_);
    maximum_.fill(0);
    minimum_.fill(BlankMinimumStart);
    samples_ = 0;
    active_ = true;
    return "Setting Blank.... (" + std::to_string(workspace.setup.Threshold_Counter) + " samples)";
}

bool BlankReading::addSample(const SampleFrame& frame, int slot, Workspace& workspace, SetupProgress& progress) {
    if (!active_) return false;
    for (int c = 0; c < ChannelCount; ++c) {
        if (workspace.plate.WellOfChannel[static_cast<std::size_t>(c)] < 0) continue;
        update(c, frame.at(c, slot), workspace.channels);
        if (samples_ > workspace.setup.Threshold_Counter) {
            progress.label("Setting (" + std::to_string(c) + ") OK...");
            active_ = false;
            setMargin(c, workspace.channels);
            return true;
        }
    }
    ++samples_;
    return false;
}

void BlankReading::update(int channel, std::int16_t sample, ChannelTable& channels) {
    const auto index = static_cast<std::size_t>(channel);
    maximum_[index] = std::max(maximum_[index], sample);
    minimum_[index] = std::min(minimum_[index], sample);
    setMargin(channel, channels);
}

void BlankReading::setMargin(int channel, ChannelTable& channels) const {
    const auto index = static_cast<std::size_t>(channel);
    // A channel that never gave a sample above 0 keeps its threshold.
    if (minimum_[index] < BlankMinimumStart && maximum_[index] > 0) {
        channels.Threshold[index] = blankMargin(minimum_[index], maximum_[index]);
    }
}

}  // namespace zorvex
