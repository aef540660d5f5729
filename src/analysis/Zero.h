#pragma once
// Zero level and blank: the organism's SNR factor, and the three ways of
// setting each channel's threshold margin (Fast ZERO's short dedicated
// reading, the auto zero of every bin, and the blank reading of an empty
// plate). All share one rule: the ripple as a percentage of the level, times
// the SNR factor, plus 1, never below 1.

#include <cstdint>
#include <filesystem>
#include <string>

#include "analysis/SampleFrame.h"
#include "analysis/SensorLink.h"
#include "store/Workspace.h"

namespace zorvex {

constexpr double DefaultSnrFactor = 1.8;
constexpr double LowestOrganismSnr = 1.4;  ///< applying an organism raises a factor not above it
constexpr double LowestStartSnr = 1.3;     ///< a start or calibration raises a factor below it
constexpr int FastZeroShortSets = 30;      ///< with auto calibration and auto zero both on
constexpr int FastZeroLongSets = 100;
constexpr int FastZeroFirstSample = 10;    ///< the envelopes start here, after the beams settle

/// `Organism`: the entries of `Cmb_organism`.
enum class Organism : std::int16_t { Elegans = 0, Zebrafish = 1, Customized = 2 };

/// The SNR box (`txt_snr_umbral`) and its caption (`lbl_umbral`) after a change.
struct SnrBox {
    double factor = DefaultSnrFactor;  ///< the `SNR factor`
    std::string text;                  ///< what the box shows
    bool visible = false;
    std::string caption;
};

/// The box text at start-up: `SNRx10` / 10 as "0.0", or 1.8 when 0.
std::string initialSnrText(std::int16_t snrX10);

/// Applies an organism to the box holding `boxText`: its preset for C elegans
/// and zebrafish, the typed value for customised, and a factor not above 1.4
/// becomes 1.8.
SnrBox applyOrganism(Organism organism, const std::string& boxText);

/// Leaving the SNR box: a number in 1.1..5.0 is stored as `SNRx10` (halves to
/// even); anything else shows "Invalid value: 1.1 to 5.0" and stores 1.8.
/// Then the organism becomes Customized and is applied.
SnrBox typedSnr(const std::string& typed, ProjectSetup& setup, Dialogs& dialogs);

/// The factor a start or calibration uses: the box's number, below 1.3 raised to 1.8.
double startSnrFactor(const std::string& boxText);

/// The threshold margin of a channel whose level is at least 1:
/// (1 - (M - A) / M) x 100 x F + 1, never below 1.
double noiseMargin(std::int32_t amplitude, std::int32_t level, double snr);

/// The bin auto zero margin from the bin's mean amplitude and level; with a
/// level under 1 or not above the amplitude it is F x 100 + 1.
double binZeroMargin(std::int32_t amplitude, std::int32_t level, double snr);

/// Fast ZERO's margin from samples 10..sets-1 of one channel's row: the mean
/// gap between the strict local extremes and the mean level; level 0 gives 1.
double fastZeroMargin(const std::int16_t* row, int sets, double snr);

/// Sample sets of a Fast ZERO: 30 with both auto switches on, else 100.
int fastZeroSets(bool autoCalibration, bool autoZero);

/// Fast ZERO: a warm-up, then `sets` readings of every channel into samples
/// 0..sets-1 of `frame`; every 10 sets it yields and ends, changing nothing,
/// when the acquisition is stopped. Otherwise every channel's threshold is
/// set. True when the thresholds were set.
bool fastZero(SensorLink& link, SampleFrame& frame, ChannelTable& channels, double snr, int sets);

/// The blank margin: Int((1 - minimum / maximum) x 100 x 1.15) + 1, never below 1.
double blankMargin(std::int16_t minimum, std::int16_t maximum);

/// The blank reading of an empty plate: each channel's extremes over
/// `Threshold_Counter` samples of a running acquisition give its threshold.
class BlankReading {
public:
    /// "Read Blank": the folder named by the time with the project saved into
    /// it, extremes reset, blank mode on. Returns the `lblcalibrando` text.
    std::string start(const Workspace& workspace, Host& host);

    /// One new sample of every channel (slot `slot` of `frame`), from the
    /// per-sample detection while auto zero is off. Updates the thresholds of
    /// mapped channels; true when the reading ended with this sample (the
    /// caller stops the acquisition timer and hides the label).
    bool addSample(const SampleFrame& frame, int slot, Workspace& workspace, SetupProgress& progress);

    /// Ends blank mode without a result (Stop).
    void cancel() { active_ = false; }

    bool active() const { return active_; }
    /// The folder `start` made (or found).
    const std::filesystem::path& folder() const { return folder_; }
    std::int16_t maximum(int channel) const { return maximum_[static_cast<std::size_t>(channel)]; }
    std::int16_t minimum(int channel) const { return minimum_[static_cast<std::size_t>(channel)]; }

private:
    void update(int channel, std::int16_t sample, ChannelTable& channels);
    void setMargin(int channel, ChannelTable& channels) const;

    bool active_ = false;
    std::int64_t samples_ = 0;
    std::filesystem::path folder_;
    std::array<std::int16_t, ChannelCount> maximum_{};
    std::array<std::int16_t, ChannelCount> minimum_{};
};

}  // namespace zorvex
