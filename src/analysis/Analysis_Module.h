#pragma once
// The frame-based activity calculation: one channel row of a SampleFrame in,
// an activity count out, with the adaptive threshold it used left behind for
// whoever draws it. Live acquisition, offline re-analysis and recalculation
// all go through this one routine, so identical frames give identical counts.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "analysis/SampleFrame.h"

namespace zorvex {

/// `DSP_Method` codes: one count per window holding a dip, one per downward
/// crossing of the threshold, one per sustained excursion (motility index).
constexpr int DspThresholdBinary = 0;
constexpr int DspThresholdAverage = 1;
constexpr int DspMotilityIndex = 2;

class Analysis_Module {
public:
    /// Samples of a row the calculation reads (0..499), whatever RT_Buffer is.
    static constexpr int AnalysedSamples = 500;
    /// Entries of DetectionTrace (0..500; entry 500 is never written).
    static constexpr int TraceEntries = 501;
    using Trace = std::array<std::int16_t, TraceEntries>;

    /// Counts the activity of row `channel` with DSP method `method` (0, 1, 2; any
    /// other code counts 0 without touching the trace), writes the clipped signal
    /// back into the row and the threshold used into DetectionTrace. A bin shorter
    /// than 500 samples is analysed as if its last sample went on to sample 499;
    /// only the bin's own slots are written. Returns nothing when a value the
    /// calculation keeps in 16 bits overflows: the row and the trace are then left
    /// as they were, and callers count 0 for this channel in this frame.
    /// Throws std::out_of_range for a channel outside the frame's rows.
    std::optional<std::int16_t> CalculateActivity(SampleFrame& frame, int channel, double snr, int method);

    /// CalculateActivity for each of `channels` in turn, with the same counts,
    /// rows and DetectionTrace afterwards; eight channels at a time run in AVX2
    /// lanes, four where the processor has only SSE4.2 or less.
    std::vector<std::optional<std::int16_t>> CalculateActivities(SampleFrame& frame, std::span<const int> channels,
                                                                 double snr, int method);

    /// The threshold of the latest successful call; entries that call did not
    /// write (0 under method 2, always 500) keep the values of earlier calls.
    const Trace& DetectionTrace() const { return trace_; }

private:
    Trace trace_{};
};

}  // namespace zorvex
