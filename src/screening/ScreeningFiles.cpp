#include "screening/ScreeningFiles.h"

#include <cmath>

#include "common/Files.h"
#include "screening/CsvRecords.h"

namespace zorvex {

namespace {

// The group's own columns: group, name, compound, concentration, unit, role.
std::vector<std::string> groupFields(const ScreeningPlate& plate, int group) {
    const GroupAnnotation& annotation = annotationOf(plate, group);
    return {std::to_string(group), groupNameOf(plate, group), annotation.compound, csvNumber(annotation.concentration),
            annotation.unit, std::string(roleText(annotation.role))};
}

std::optional<double> whenOk(bool ok, double value) { return ok ? std::optional<double>(value) : std::nullopt; }

}  // namespace

std::string resultsText(const ScreeningResults& results) {
    // Columns after "status" were added later: readers of the first ten keep working.
    std::string text = csvLine({"compound", "ic50", "ic50_low", "ic50_high", "hill", "top", "bottom", "r2", "wells",
                                "status", "unit", "log10_ic50_se", "hill_se", "top_se", "bottom_se", "df",
                                "residual_sd", "concentrations", "direction", "ic50_kind"});
    for (const CompoundResult& compound : results.compounds) {
        const DoseFit& fit = compound.fit;
        const Ic50Estimate& ic50 = compound.ic50;
        const bool ok = ic50.status == ScreenStatus::Ok;
        const bool fitted = fit.status == ScreenStatus::Ok || fit.status == ScreenStatus::OutsideRange;
        const double residualSd = fit.degreesOfFreedom > 0 ? std::sqrt(fit.residualSumOfSquares / fit.degreesOfFreedom) : 0;
        text += csvLine({compound.compound, csvNumber(whenOk(ok, ic50.ic50)), csvNumber(whenOk(ok, ic50.low)),
                         csvNumber(whenOk(ok, ic50.high)), csvNumber(whenOk(ok, fit.curve.hill)),
                         csvNumber(whenOk(ok, fit.curve.top)), csvNumber(whenOk(ok, fit.curve.bottom)),
                         csvNumber(whenOk(ok, fit.r2)), std::to_string(compound.points.size()),
                         ic50StatusText(fit, ic50, compound.unit), compound.unit,
                         csvNumber(whenOk(ok, ic50.log10Se)), csvNumber(whenOk(ok, fit.hillSe)),
                         csvNumber(whenOk(ok, fit.topSe)), csvNumber(whenOk(ok, fit.bottomSe)),
                         fitted ? std::to_string(fit.degreesOfFreedom) : "", csvNumber(whenOk(fitted, residualSd)),
                         std::to_string(fit.concentrations),
                         fitted ? (fit.curve.hill > 0 ? "falling" : "rising") : "",
                         std::string(ic50KindText(results.ic50Kind))});
    }
    return text;
}

std::string percentOfControlText(const ScreeningPlate& plate, const ScreeningResults& results) {
    std::string text = csvLine({"group", "name", "compound", "concentration", "unit", "role", "bin", "start_h", "end_h",
                                "wells", "mean", "se", "percent", "percent_se", "status"});
    for (const GroupPercent& row : results.percentOfControl) {
        std::vector<std::string> fields = groupFields(plate, row.group);
        const bool hasPercent = row.percent.has_value();
        const Percentage percent = row.percent.value_or(Percentage{});
        fields.insert(fields.end(), {std::to_string(row.bin), csvNumber(row.startHours), csvNumber(row.endHours),
                                     std::to_string(row.activity.count), csvNumber(row.activity.mean),
                                     csvNumber(row.activity.se), csvNumber(whenOk(hasPercent, percent.percent)),
                                     csvNumber(whenOk(hasPercent, percent.se)), std::string(screenStatusText(row.status))});
        text += csvLine(fields);
    }
    return text;
}

std::string plateQualityText(const ScreeningPlate& plate, const ScreeningResults& results) {
    std::string outliers;
    for (std::size_t i : results.outliers) outliers += (outliers.empty() ? "" : " ") + plate.wells[i].name;
    std::string disabled;
    for (const std::string& name : plate.disabledWells) disabled += (disabled.empty() ? "" : " ") + name;
    const PlateQuality& quality = results.quality;
    return csvLine({"z_prime", "signal_to_background", "negative_wells", "positive_wells", "outliers", "status",
                    "disabled_wells"}) +
           csvLine({csvNumber(quality.zPrime), csvNumber(quality.signalToBackground),
                    std::to_string(quality.negativeWells), std::to_string(quality.positiveWells), outliers,
                    std::string(qualityStatusText(quality.status)), disabled});
}

std::string wellsText(const ScreeningPlate& plate, const ScreeningResults& results) {
    std::string text = csvLine({"well", "group", "name", "compound", "concentration", "unit", "role", "activity",
                                "percent", "outlier"});
    for (std::size_t i = 0; i < plate.wells.size(); ++i) {
        std::vector<std::string> fields = {plate.wells[i].name};
        std::vector<std::string> group = groupFields(plate, plate.wells[i].group);
        fields.insert(fields.end(), group.begin(), group.end());
        const WellResult& well = results.wells[i];
        fields.insert(fields.end(), {csvNumber(well.activity), csvNumber(well.percent), well.outlier ? "1" : "0"});
        text += csvLine(fields);
    }
    return text;
}

std::optional<std::vector<std::filesystem::path>> writeScreeningFiles(const std::filesystem::path& folder,
                                                                      const ScreeningPlate& plate,
                                                                      const ScreeningResults& results) {
    const std::vector<std::pair<std::string, std::string>> files = {
        {"results.csv", resultsText(results)},
        {"percent_of_control.csv", percentOfControlText(plate, results)},
        {"plate_quality.csv", plateQualityText(plate, results)},
        {"wells.csv", wellsText(plate, results)},
    };
    std::vector<std::filesystem::path> written;
    for (const auto& [name, text] : files) {
        if (!writeFile(folder / name, text)) return std::nullopt;
        written.push_back(folder / name);
    }
    return written;
}

}  // namespace zorvex
