#include "screening/Screening.h"

#include <algorithm>
#include <set>

#include "screening/CsvRecords.h"

namespace zorvex {

namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string groupTitle(const ScreeningPlate& plate, int group) {
    return "group " + std::to_string(group) + " " + quoted(groupNameOf(plate, group));
}

// Well indices of each group, in well order.
std::map<int, std::vector<std::size_t>> wellsByGroup(const ScreeningPlate& plate) {
    std::map<int, std::vector<std::size_t>> byGroup;
    for (std::size_t i = 0; i < plate.wells.size(); ++i) byGroup[plate.wells[i].group].push_back(i);
    return byGroup;
}

std::vector<std::size_t> wellsWithRole(const ScreeningPlate& plate, GroupRole role) {
    std::vector<std::size_t> wells;
    for (std::size_t i = 0; i < plate.wells.size(); ++i) {
        if (annotationOf(plate, plate.wells[i].group).role == role) wells.push_back(i);
    }
    return wells;
}

std::vector<double> valuesOf(const std::vector<double>& activity, const std::vector<std::size_t>& wells) {
    std::vector<double> values;
    for (std::size_t i : wells) values.push_back(activity[i]);
    return values;
}

// Ok when a control mean can divide, else why not.
ScreenStatus controlStatus(const SampleSummary& control) {
    if (control.count == 0) return ScreenStatus::MissingControls;
    return control.mean == 0 ? ScreenStatus::ZeroControl : ScreenStatus::Ok;
}

void flagOutliers(const ScreeningPlate& plate, const std::map<int, std::vector<std::size_t>>& byGroup,
                  ScreeningResults& results) {
    for (const auto& [group, wells] : byGroup) {
        const std::vector<double> values = valuesOf(plate.windowActivity, wells);
        for (std::size_t k : outlierIndices(values)) {
            const std::size_t i = wells[k];
            results.wells[i].outlier = true;
            results.outliers.push_back(i);
            results.messages.push_back("Outlier: well " + plate.wells[i].name + " of " + groupTitle(plate, group) +
                                       " has activity " + csvNumber(values[k]) + " against a group median of " +
                                       csvNumber(median(values)) +
                                       " (outside the 99.9 % prediction interval of the rest of its group); it is "
                                       "kept in every result, check the well.");
        }
    }
    std::sort(results.outliers.begin(), results.outliers.end());
}

void computePercentOfControl(const ScreeningPlate& plate, const std::map<int, std::vector<std::size_t>>& byGroup,
                             const std::vector<std::size_t>& negatives, ScreeningResults& results) {
    const auto negativeGroups = std::count_if(byGroup.begin(), byGroup.end(), [&](const auto& entry) {
        return annotationOf(plate, entry.first).role == GroupRole::Negative;
    });
    for (const ActivityBin& bin : plate.bins) {
        const SampleSummary control = summarize(valuesOf(bin.activity, negatives));
        for (const auto& [group, wells] : byGroup) {
            GroupPercent row{group, bin.bin, bin.startHours, bin.endHours, summarize(valuesOf(bin.activity, wells)),
                             std::nullopt, controlStatus(control)};
            if (row.status == ScreenStatus::Ok) {
                row.percent = percentOf(row.activity, control);
                // The only control group is the control mean: only its own spread counts. Beside
                // other control groups it is one part of the pooled mean, whose error is carried.
                if (annotationOf(plate, group).role == GroupRole::Negative && negativeGroups == 1) {
                    row.percent->se = 100 * row.activity.se / std::abs(control.mean);
                }
            }
            results.percentOfControl.push_back(row);
        }
    }
}

// The sample wells of each compound with a concentration above 0; what is
// left out is said once per group. `mixedUnits` gets the compounds whose
// groups disagree on the unit.
std::map<std::string, CompoundResult> doseSeries(const ScreeningPlate& plate,
                                                  const std::map<int, std::vector<std::size_t>>& byGroup,
                                                  std::set<std::string>& mixedUnits, ScreeningResults& results) {
    std::map<std::string, CompoundResult> series;
    std::map<std::string, std::set<std::string>> units;
    for (const auto& [group, wells] : byGroup) {
        const GroupAnnotation& annotation = annotationOf(plate, group);
        if (annotation.role != GroupRole::Sample) {
            if (annotation.role == GroupRole::None && !annotation.compound.empty()) {
                results.messages.push_back(groupTitle(plate, group) + " has a compound but no role; give it the role " +
                                           "sample to fit it.");
            }
            continue;
        }
        std::string problem;
        if (annotation.compound.empty()) problem = "names no compound";
        else if (!annotation.concentration) problem = "gives no concentration";
        else if (*annotation.concentration <= 0) problem = "has concentration 0, which a log-dose curve cannot place (mark vehicle wells as negative controls)";
        if (!problem.empty()) {
            results.messages.push_back("Sample " + groupTitle(plate, group) + " " + problem +
                                       "; it is left out of the dose-response.");
            continue;
        }
        CompoundResult& compound = series[annotation.compound];
        compound.compound = annotation.compound;
        units[annotation.compound].insert(annotation.unit);
        for (std::size_t i : wells) {
            compound.wells.push_back(i);
            compound.points.push_back({*annotation.concentration, 0});
        }
    }
    for (auto& [name, compound] : series) {
        const auto& compoundUnits = units[name];
        compound.unit = *compoundUnits.begin();
        if (compoundUnits.size() > 1) mixedUnits.insert(name);
    }
    return series;
}

std::string statusAdvice(ScreenStatus status) {
    switch (status) {
        case ScreenStatus::NoConvergence: return "the fit found no single curve; look at the points";
        case ScreenStatus::Undetermined: return "the points do not determine every parameter of the curve; test doses on both sides of the fall";
        case ScreenStatus::NoHalfResponse: return "the fitted curve never crosses 50 % of control, so it has no absolute IC50; use the relative one";
        case ScreenStatus::OutsideRange: return "the IC50 lies outside the tested concentrations; widen the range";
        case ScreenStatus::Flat: return "activity does not change with the dose more than the noise does";
        case ScreenStatus::SingleConcentration: return "all its wells have one concentration";
        case ScreenStatus::TooFewConcentrations: return "a four-parameter curve needs at least four concentrations";
        case ScreenStatus::TooFewWells: return "it needs more wells than the curve's four parameters";
        case ScreenStatus::MissingControls: return "percent of control needs negative-control wells; mark a group negative or use no normalisation";
        case ScreenStatus::ZeroControl: return "the negative controls show no activity in the window, so no percent of them exists";
        case ScreenStatus::MixedUnits: return "its groups give concentrations in different units; use one unit";
        case ScreenStatus::Ok: break;
    }
    return "";
}

void fitCompounds(const ScreeningPlate& plate, const std::map<int, std::vector<std::size_t>>& byGroup,
                  const SampleSummary& control, const FitSettings& settings, ScreeningResults& results) {
    const Normalisation normalisation = results.normalisation;
    const ScreenStatus controlled = normalisation == Normalisation::Control ? controlStatus(control) : ScreenStatus::Ok;
    std::set<std::string> mixedUnits;
    for (auto& [name, compound] : doseSeries(plate, byGroup, mixedUnits, results)) {
        for (std::size_t k = 0; k < compound.wells.size(); ++k) {
            const WellResult& well = results.wells[compound.wells[k]];
            compound.points[k].response = normalisation == Normalisation::Control ? well.percent.value_or(0) : well.activity;
        }
        const ScreenStatus refused = mixedUnits.contains(name) ? ScreenStatus::MixedUnits : controlled;
        if (refused == ScreenStatus::Ok) {
            compound.fit = fitDoseResponse(compound.points, settings);
        } else {
            compound.fit.status = refused;
            compound.fit.points = static_cast<int>(compound.points.size());
        }
        compound.ic50 = estimateIc50(compound.fit, results.ic50Kind);
        if (compound.ic50.status != ScreenStatus::Ok) {
            results.messages.push_back("Compound " + quoted(name) + ": " +
                                       ic50StatusText(compound.fit, compound.ic50, compound.unit) + ": " +
                                       statusAdvice(compound.ic50.status) + ".");
        }
        results.compounds.push_back(std::move(compound));
    }
}

void assessQuality(const ScreeningPlate& plate, const std::vector<std::size_t>& negatives,
                   const std::vector<std::size_t>& positives, ScreeningResults& results) {
    results.quality = plateQuality(valuesOf(plate.windowActivity, negatives), valuesOf(plate.windowActivity, positives));
    switch (results.quality.status) {
        case QualityStatus::MissingControls:
            results.messages.push_back("Plate quality needs negative and positive control wells; give control groups "
                                       "the role negative or positive.");
            break;
        case QualityStatus::TooFewControls:
            results.messages.push_back("Plate quality needs at least two wells of each control.");
            break;
        case QualityStatus::NoSeparation:
            results.messages.push_back("The negative and positive controls have the same mean activity: the plate "
                                       "does not tell them apart.");
            break;
        case QualityStatus::Unusable:
            results.messages.push_back("Z' is below 0: the controls overlap and the plate is unusable for a screen.");
            break;
        case QualityStatus::Excellent:
        case QualityStatus::Marginal:
            break;
    }
}

}  // namespace

const GroupAnnotation& annotationOf(const ScreeningPlate& plate, int group) {
    static const GroupAnnotation blank;
    auto found = plate.annotations.find(group);
    return found == plate.annotations.end() ? blank : found->second;
}

std::string groupNameOf(const ScreeningPlate& plate, int group) {
    auto found = plate.groupNames.find(group);
    return found == plate.groupNames.end() ? annotationOf(plate, group).name : found->second;
}

ScreeningResults screenPlate(const ScreeningPlate& plate, Normalisation normalisation, Ic50Kind ic50Kind,
                             const FitSettings& settings) {
    ScreeningResults results;
    results.normalisation = normalisation;
    results.ic50Kind = ic50Kind;
    const auto byGroup = wellsByGroup(plate);
    for (const auto& [group, annotation] : plate.annotations) {
        if (!byGroup.contains(group)) {
            results.messages.push_back(groupTitle(plate, group) + " is annotated but has no wells on this plate.");
        }
    }
    const std::vector<std::size_t> negatives = wellsWithRole(plate, GroupRole::Negative);
    const std::vector<std::size_t> positives = wellsWithRole(plate, GroupRole::Positive);
    const SampleSummary control = summarize(valuesOf(plate.windowActivity, negatives));
    if (control.count == 0) {
        results.messages.push_back("No group has the role negative: percent of control cannot be given.");
    } else if (control.mean == 0) {
        results.messages.push_back("The negative controls show no activity in the window: percent of control cannot be given.");
    }
    results.wells.resize(plate.wells.size());
    for (std::size_t i = 0; i < plate.wells.size(); ++i) {
        results.wells[i].activity = plate.windowActivity[i];
        if (controlStatus(control) == ScreenStatus::Ok) results.wells[i].percent = 100 * plate.windowActivity[i] / control.mean;
    }
    flagOutliers(plate, byGroup, results);
    assessQuality(plate, negatives, positives, results);
    computePercentOfControl(plate, byGroup, negatives, results);
    fitCompounds(plate, byGroup, control, settings, results);
    return results;
}

}  // namespace zorvex
