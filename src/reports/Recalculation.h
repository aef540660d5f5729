#pragma once
// Recounting an acquisition's activity from its stored raw signal with
// another method or SNR factor, optionally writing the counts back into
// counts.bin, then reporting. Records are independent, so they are recounted
// on a pool of threads and assembled in record order; the real-time files are
// read one dump at a time, so memory does not grow with the acquisition.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "reports/Report.h"

namespace zorvex {

/// What to recount and how.
struct RecalcSettings {
    int method = 0;          ///< DSP method code 0..2
    double snr = 1.8;        ///< SNR factor passed to the calculation
    double hours = 1.0;      ///< how much to recount when not replacing
    bool replace = false;    ///< recount everything and write counts.bin anew (beside it, then renamed)
    int threads = 2;         ///< workers recounting records
};

/// Ways the caller sees and steers a run: status texts ("Block i/N",
/// "Saving..."), a poll for STOP, both called on the caller's thread.
struct RecalcHooks {
    std::function<void(const std::string&)> status;
    std::function<bool()> stopRequested;
};

/// The record limit L in minutes: 32000 when replacing, else the hours in
/// minutes rounded half to even, at least 5.
std::int16_t recordLimitMinutes(const RecalcSettings& settings);

/// What a run did.
struct RecalcOutcome {
    bool stopped = false;          ///< STOP ended it: nothing saved, no report
    std::int32_t recounted = 0;    ///< records recounted
    std::vector<int> withoutRawData;  ///< records (from 0) with no real-time data: they keep their recorded counts
    std::optional<ReportOutcome> report;
};

/// Runs the recalculation of `request.acquisitionFolder` and, unless stopped,
/// writes its report. Records without real-time data keep their recorded
/// counts, and a message says which. Nothing after a message when 0.bin ("Real Time Data Not
/// Found"), counts.bin, setup.dat or the plate is missing.
std::optional<RecalcOutcome> recalculate(const ReportRequest& request, const RecalcSettings& settings, Dialogs& dialogs,
                                         Host& host, const RecalcHooks& hooks = {});

}  // namespace zorvex
