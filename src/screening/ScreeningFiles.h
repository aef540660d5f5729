#pragma once
// The result files of a screen: results.csv (one row per compound),
// percent_of_control.csv (per group and bin), plate_quality.csv (one row)
// and wells.csv (per well over the window). UTF-8, RFC 4180, a header line,
// "." as the decimal point whatever the locale.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "screening/Screening.h"

namespace zorvex {

/// results.csv: compound,ic50,ic50_low,ic50_high,hill,top,bottom,r2,wells,status,
/// unit,log10_ic50_se,hill_se,top_se,bottom_se,df,residual_sd,concentrations,
/// direction,ic50_kind; the fit's numbers are empty unless the status is "ok",
/// which for an IC50 outside the tested range names its bound.
std::string resultsText(const ScreeningResults& results);

/// percent_of_control.csv: group,name,compound,concentration,unit,role,bin,
/// start_h,end_h,wells,mean,se,percent,percent_se,status.
std::string percentOfControlText(const ScreeningPlate& plate, const ScreeningResults& results);

/// plate_quality.csv: z_prime,signal_to_background,negative_wells,
/// positive_wells,outliers,status,disabled_wells; outliers and disabled_wells
/// list the wells' names.
std::string plateQualityText(const ScreeningPlate& plate, const ScreeningResults& results);

/// wells.csv: well,group,name,compound,concentration,unit,role,activity,percent,outlier.
std::string wellsText(const ScreeningPlate& plate, const ScreeningResults& results);

/// Writes the four files into `folder`, each beside and then renamed; the
/// files written, or nothing after the first that could not be.
std::optional<std::vector<std::filesystem::path>> writeScreeningFiles(const std::filesystem::path& folder,
                                                                      const ScreeningPlate& plate,
                                                                      const ScreeningResults& results);

}  // namespace zorvex
