#pragma once
// The numbers a screen reads from a recorded acquisition, taken from the
// report's own computation: each well's activity over a time window and
// in each report bin, for the wells that lie in a group.

#include <vector>

#include "reports/ReportComputation.h"
#include "reports/ReportInputs.h"
#include "screening/Screening.h"

namespace zorvex {

/// The wells whose beam-0 channel is in a group (the report's members) and
/// whose channels are all enabled, in well order.
std::vector<ScreenedWell> screenedWells(const ReportPlate& plate);

/// The names of the grouped wells left out of a screen because one of their
/// channels is disabled, in well order.
std::vector<std::string> disabledWells(const ReportPlate& plate);

/// Each well's crossings per beam over the records stamped from `startMinute`
/// (included) to `endMinute` (excluded): its beams' counts summed over those
/// records and divided by its beams, unrounded. `records` is set to the
/// number of records taken.
std::vector<double> windowActivity(const ReportPlate& plate, const LoadedSeries& series,
                                   const std::vector<ScreenedWell>& wells, double startMinute, double endMinute,
                                   int& records);

/// The report's bins that hold records, each well's unrounded crossings per beam in them.
std::vector<ActivityBin> activityBins(const ReportTables& tables, const std::vector<ScreenedWell>& wells);

}  // namespace zorvex
