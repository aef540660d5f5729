#include "views/ChannelSignal.h"

#include <algorithm>

#include "acquisition/DataFiles.h"
#include "analysis/Analysis_Module.h"

#include "common/Numbers.h"
#include "common/Text.h"

namespace zorvex {

namespace {

constexpr int FixedColourBeams = 4;
constexpr double LowestSnr = 1.1;
constexpr double HighestSnr = 6.0;

constexpr std::array<Rgb, 5> FixedColours = {
    Rgb{255, 0, 0}, Rgb{0, 0, 255}, Rgb{0, 255, 0}, Rgb{200, 128, 0}, Rgb{200, 0, 200},
};

// The last slot of each file of a page: slot 11k + 10, or the last loaded
// slot for a file that ends early.
bool endsFile(int slot, int loadedSlots) { return slot % SlotsPerFile == SlotsPerFile - 1 || slot == loadedSlots - 1; }

// A sample number in thousands: "0k", "27.5k", "18.315k".
std::string kiloSamples(long long samples) {
    std::string text = std::to_string(samples / 1000);
    if (long long rest = samples % 1000) {
        std::string fraction = formatDigits(static_cast<int>(rest), 3);
        while (fraction.back() == '0') fraction.pop_back();
        text += "." + fraction;
    }
    return text + "k";
}

}  // namespace

Rgb beamColour(int beam, int maxBeam) {
    if (maxBeam <= FixedColourBeams) return FixedColours[static_cast<std::size_t>(std::clamp(beam, 0, FixedColourBeams))];
    int red = static_cast<int>(roundHalfEven(255.0 * beam / maxBeam));
    return {red, 255 - red, 0};
}

std::vector<WellBeam> beamsOfWell(const OfflineConfig& config, int well) {
    std::vector<WellBeam> beams;
    for (int beam = 0; beam < static_cast<int>(config.channelMap.size()); ++beam) {
        int channel = config.channelAt(beam, well);
        if (channel >= 0) beams.push_back({beam, channel});
    }
    return beams;
}

PageLabels pageLabels(int page, int loadedSlots, int samplesPerBlock) {
    const long long first = static_cast<long long>(page - 1) * SlotsPerPage * samplesPerBlock;
    return {kiloSamples(first), kiloSamples(first + static_cast<long long>(loadedSlots) * samplesPerBlock)};
}

double snrFactor(std::string_view text) {
    double snr = val(text);
    return snr > HighestSnr || snr < LowestSnr ? DefaultSnr : snr;
}

std::string snrText(double snr) { return formatFixed(snr, 1); }

int analysisMethod(std::string_view modeText) { return modeText == "Mode:1" ? DspThresholdAverage : DspThresholdBinary; }

std::vector<std::int32_t> storedMinutes(const std::filesystem::path& acquisitionFolder) {
    std::vector<std::int32_t> minutes;
    for (const ActivityRecord& record : readActivityRecords(acquisitionFolder)) minutes.push_back(record.elapsedMinutes);
    return minutes;
}

PageReanalysis reanalysePage(const PageBuffer& page, int pageNumber, const std::vector<WellBeam>& beams, double snr,
                             int method, const std::vector<std::int32_t>& minutes) {
    PageReanalysis result;
    const int loadedSlots = page.loadedSlots();
    result.thresholds.resize(static_cast<std::size_t>(loadedSlots));
    // A dump of a shorter buffer is analysed as the bin it was.
    const int samples = std::min(page.samplesPerBlock(), Analysis_Module::AnalysedSamples);
    if (samples < 1) return result;
    SampleFrame frame(samples);
    Analysis_Module analysis;
    std::vector<std::int32_t> fileSums(beams.size(), 0);
    for (int slot = 0; slot < loadedSlots; ++slot) {
        auto& traces = result.thresholds[static_cast<std::size_t>(slot)];
        for (std::size_t i = 0; i < beams.size(); ++i) {
            const WellBeam& beam = beams[i];
            std::copy_n(page.samples(beam.channel, slot), samples, frame.row(beam.beam));
            std::optional<std::int16_t> count = analysis.CalculateActivity(frame, beam.beam, snr, method);
            fileSums[i] += count.value_or(0);
            if (count) {
                const auto& trace = analysis.DetectionTrace();
                traces.emplace_back(std::vector<std::int16_t>(trace.begin(), trace.begin() + samples));
            } else {
                traces.emplace_back(std::nullopt);
            }
        }
        if (!endsFile(slot, loadedSlots)) continue;
        PageReanalysis::FileEnd end;
        end.slot = slot;
        const int record = recordOfSlot(pageNumber, slot);
        if (record >= 0 && record < static_cast<int>(minutes.size())) end.minute = minutes[static_cast<std::size_t>(record)];
        end.counts = fileSums;
        result.fileEnds.push_back(std::move(end));
        std::fill(fileSums.begin(), fileSums.end(), 0);
    }
    return result;
}

}  // namespace zorvex
