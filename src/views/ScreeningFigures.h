#pragma once
// The figures of a screen, laid out without painting: the dose-response
// curves (each well a point, the fitted curve, the IC50 with its interval,
// on a logarithmic concentration axis), each group's activity as percent of
// the negative control over time, and the plate heat map of the window with
// the controls outlined.

#include <optional>
#include <string>

#include "screening/Screening.h"
#include "views/Chart.h"
#include "views/FigureSource.h"
#include "views/PlateHeatMap.h"

namespace zorvex {

/// A number as figures and windows show it: three significant digits ("0.512", "1.2e+03").
std::string significantText(double value);

/// How a compound's result reads in a legend or a table: "IC50 0.512 uM
/// (0.43–0.61)", or its status when it has no IC50.
std::string ic50Text(const CompoundResult& compound);

/// The dose-response curves of the compounds over `window`: one panel per
/// unit of concentration, a colour per compound. Nothing when no compound
/// has a well with a concentration above 0.
std::optional<ChartFigure> layoutDoseResponse(const ScreeningResults& results, const HourWindow& window);

/// Each group's mean per bin as percent of that bin's negative-control mean,
/// with its SE as a band, over hours from the start or zeitgeber time, the
/// dark hours shaded. Nothing when no bin had a usable negative control.
std::optional<ChartFigure> layoutPercentOfControl(const FigureSource& source, const ScreeningPlate& plate,
                                                  const ScreeningResults& results);

/// The plate as it lies, each screened well coloured by what was fitted
/// (percent of control, or counts) over `window`, the negative and positive
/// controls outlined and the outliers named in the note.
PlateHeatMapLayout layoutScreeningHeatMap(const ReportPlate& reportPlate, const ScreeningPlate& plate,
                                          const ScreeningResults& results, const HourWindow& window);

}  // namespace zorvex
