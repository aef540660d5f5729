#pragma once
// The channel signal view and its re-analysis without widgets: which beams a
// well shows in which colour, the page's sample labels, the SNR factor box,
// and the detection thresholds and per-file counts of a page recounted with
// the activity calculation.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "views/Colours.h"
#include "views/OfflineConfig.h"
#include "views/PageBuffer.h"

namespace zorvex {

/// Colour of beam `beam` on a plate whose highest beam is `maxBeam`: red,
/// blue, green, orange (and magenta for a fifth) up to 4, else a ramp from
/// green (beam 0) to red (the last beam).
Rgb beamColour(int beam, int maxBeam);

/// A beam of the selected well that has a channel.
struct WellBeam {
    int beam = 0;
    int channel = 0;
};

/// The beams 0..MaxBeam of `well` that have a channel, in beam order.
std::vector<WellBeam> beamsOfWell(const OfflineConfig& config, int well);

/// The sample labels of a page: where its first slot starts and its last
/// loaded slot ends, in thousands of samples ("27.5k", "55k").
struct PageLabels {
    std::string first;
    std::string last;
};
/// Labels of page `page` (1-based) whose slots 0..loadedSlots-1 hold
/// `samplesPerBlock` samples each.
PageLabels pageLabels(int page, int loadedSlots, int samplesPerBlock);

/// The SNR factor the threshold box stands for: its value, or the default 1.8
/// when that lies outside 1.1..6.
double snrFactor(std::string_view text);

/// The threshold box text for an SNR factor ("0.0").
std::string snrText(double snr);

/// The SNR factor used when the typed one is out of range.
constexpr double DefaultSnr = 1.8;

/// The counting method chosen by the analysis mode box: 1 for "Mode:1", else 0.
int analysisMethod(std::string_view modeText);

/// The stored minute of every counts.bin record of an acquisition folder.
std::vector<std::int32_t> storedMinutes(const std::filesystem::path& acquisitionFolder);

/// One recounted page: per shown slot and beam the threshold used, and at the
/// last shown slot of each file its stored minute and per-beam count sums.
struct PageReanalysis {
    /// thresholds[slot][i]: for each beam in the order given the threshold of
    /// samples 0..499, or nothing where the calculation overflowed.
    std::vector<std::vector<std::optional<std::vector<std::int16_t>>>> thresholds;
    struct FileEnd {
        int slot = 0;
        std::optional<std::int32_t> minute;  ///< stored minute of the slot's counts.bin record, when there is one
        std::vector<std::int32_t> counts;    ///< per beam, the file's sum
    };
    std::vector<FileEnd> fileEnds;
};

/// Recounts the loaded slots of the page for the given beams: row b of a
/// frame holds beam b's samples of the slot (at most the 500 the calculation
/// takes), counted with `snr` and `method`; `minutes` are the stored minutes
/// of the acquisition's records.
PageReanalysis reanalysePage(const PageBuffer& page, int pageNumber, const std::vector<WellBeam>& beams, double snr,
                             int method, const std::vector<std::int32_t>& minutes);

}  // namespace zorvex
