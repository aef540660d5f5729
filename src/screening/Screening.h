#pragma once
// A screen of one plate from its wells' activities: percent of control per
// group and bin, a dose-response curve per compound over the time window,
// the plate's quality and its outliers. Reading an acquisition folder into
// these activities is ScreenFolder's work.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "screening/DoseResponseFit.h"
#include "screening/GroupAnnotation.h"
#include "screening/Ic50.h"
#include "screening/PlateQuality.h"
#include "screening/SampleStatistics.h"

namespace zorvex {

/// What the dose-response curves are fitted to.
enum class Normalisation {
    Control,  ///< each well's activity as percent of the negative-control mean
    None,     ///< each well's activity as counted
};

/// A well of the plate that lies in a group.
struct ScreenedWell {
    int well = 0;
    std::string name;  ///< "B3"
    int group = 0;
};

/// One bin of the report: its span from the start and each well's activity.
struct ActivityBin {
    int bin = 0;
    double startHours = 0;
    double endHours = 0;
    std::vector<double> activity;  ///< [index of ScreeningPlate::wells]
};

/// Everything a screen of one plate reads.
struct ScreeningPlate {
    std::vector<ScreenedWell> wells;
    std::vector<std::string> disabledWells;  ///< grouped wells left out: a channel of theirs is disabled
    std::map<int, std::string> groupNames;  ///< names of the groups, as groups.dat gives them
    GroupAnnotations annotations;
    std::vector<double> windowActivity;  ///< [well index]: activity in the time window
    std::vector<ActivityBin> bins;
};

/// A well's result over the window.
struct WellResult {
    double activity = 0;
    std::optional<double> percent;  ///< of the negative-control mean; none without one
    bool outlier = false;           ///< outside the prediction interval of the rest of its group
};

/// A group's activity in one bin as percent of that bin's negative-control mean.
struct GroupPercent {
    int group = 0;
    int bin = 0;
    double startHours = 0;
    double endHours = 0;
    SampleSummary activity;
    std::optional<Percentage> percent;
    ScreenStatus status = ScreenStatus::Ok;  ///< Ok, MissingControls or ZeroControl
};

/// A compound's dose-response: the wells fitted and the fit.
struct CompoundResult {
    std::string compound;
    std::string unit;
    std::vector<std::size_t> wells;  ///< indices of the wells fitted
    std::vector<DosePoint> points;   ///< their concentrations and responses, in the same order
    DoseFit fit;                     ///< its status also says when no fit was tried
    Ic50Estimate ic50;               ///< the IC50 of the kind asked; its status is the compound's
};

/// The results of a screen.
struct ScreeningResults {
    Normalisation normalisation = Normalisation::Control;
    Ic50Kind ic50Kind = Ic50Kind::Relative;
    std::vector<WellResult> wells;  ///< [well index]
    std::vector<GroupPercent> percentOfControl;
    std::vector<CompoundResult> compounds;  ///< by compound name
    PlateQuality quality;
    std::vector<std::size_t> outliers;  ///< well indices, in well order
    std::vector<std::string> messages;  ///< what the operator should know, one finding each
};

/// Screens a plate. Outliers are flagged and named in the messages, never left out.
/// An absolute IC50 is asked of percent-of-control responses only (the caller checks).
ScreeningResults screenPlate(const ScreeningPlate& plate, Normalisation normalisation,
                             Ic50Kind ic50Kind = Ic50Kind::Relative, const FitSettings& settings = {});

/// The annotation of a group; a blank one when it has none.
const GroupAnnotation& annotationOf(const ScreeningPlate& plate, int group);

/// How a group is named in messages and files: its name from groups.dat.
std::string groupNameOf(const ScreeningPlate& plate, int group);

}  // namespace zorvex
