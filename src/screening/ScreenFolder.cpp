#include "screening/ScreenFolder.h"

#include <cmath>

#include "common/Files.h"
#include "platform/Dialogs.h"
#include "reports/Report.h"
#include "screening/CsvRecords.h"
#include "screening/GroupInfoFile.h"
#include "screening/PlateActivity.h"
#include "screening/ScreeningFiles.h"

namespace zorvex {

namespace {

constexpr double MinutesPerHour = 60.0;

std::string hoursText(double hours) { return csvNumber(hours) + " h"; }

bool validWindow(const ScreeningRequest& request, std::vector<std::string>& messages) {
    const double h1 = request.windowStartHours, h2 = request.windowEndHours;
    if (std::isfinite(h1) && std::isfinite(h2) && h1 >= 0 && h2 > h1) return true;
    messages.push_back("The time window must run from H1 to a later H2, in hours from the acquisition's start "
                       "(for example 20-24).");
    return false;
}

bool validFit(const ScreeningRequest& request, std::vector<std::string>& messages) {
    if (request.ic50Kind == Ic50Kind::Relative || request.normalisation == Normalisation::Control) return true;
    messages.push_back("An absolute IC50 is the concentration of 50 % of control: it needs responses in percent of "
                       "the negative controls.");
    return false;
}

// The names of groups.dat for the wells' groups, and a word where groupinfo.csv remembers another.
std::map<int, std::string> groupNamesOf(const ReportPlate& plate, const std::vector<ScreenedWell>& wells,
                                        const GroupAnnotations& annotations, std::vector<std::string>& messages) {
    std::map<int, std::string> names;
    for (const ScreenedWell& well : wells) names[well.group] = plate.groups.Name[static_cast<std::size_t>(well.group)];
    for (const auto& [group, annotation] : annotations) {
        auto found = names.find(group);
        if (found != names.end() && !annotation.name.empty() && annotation.name != found->second) {
            messages.push_back(std::string(GroupInfoFileName) + " names group " + std::to_string(group) + " \"" +
                               annotation.name + "\", groups.dat \"" + found->second +
                               "\"; the annotation follows the group number.");
        }
    }
    return names;
}

bool makeFolder(const std::filesystem::path& folder, std::vector<std::string>& messages) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (folderExists(folder)) return true;
    messages.push_back("The results folder cannot be made: " + folder.string());
    return false;
}

// Reads the folder into a plate to screen; nothing after its messages.
std::optional<ScreeningPlate> readPlate(const ScreeningRequest& request, std::vector<std::string>& messages) {
    GroupInfoRead info = readGroupInfo(request.acquisitionFolder);
    messages.insert(messages.end(), info.messages.begin(), info.messages.end());
    if (!info.found) {
        messages.push_back("The acquisition folder holds no " + std::string(GroupInfoFileName) +
                           ": annotate the groups (compound, concentration, unit, role) and save them into it.");
        return std::nullopt;
    }
    // The report readers speak through dialogs; a screen hands their texts back.
    MessageList log(messages);
    auto data = loadReportData(request.acquisitionFolder, request.programFolder, log);
    if (!data) return std::nullopt;
    const auto& [reportPlate, series] = *data;
    ScreeningPlate plate;
    plate.wells = screenedWells(reportPlate);
    plate.disabledWells = disabledWells(reportPlate);
    if (!plate.disabledWells.empty()) {
        std::string names;
        for (const std::string& name : plate.disabledWells) names += (names.empty() ? "" : " ") + name;
        messages.push_back("Wells with a disabled channel are left out of every screening number: " + names + ".");
    }
    plate.annotations = std::move(info.annotations);
    plate.groupNames = groupNamesOf(reportPlate, plate.wells, plate.annotations, messages);
    int records = 0;
    plate.windowActivity = windowActivity(reportPlate, series, plate.wells, request.windowStartHours * MinutesPerHour,
                                          request.windowEndHours * MinutesPerHour, records);
    const double lastHours = series.minutes.empty() ? 0 : series.span() / MinutesPerHour;
    if (records == 0) {
        messages.push_back("No record lies in the window " + hoursText(request.windowStartHours) + " to " +
                           hoursText(request.windowEndHours) + "; the acquisition's records end at " +
                           hoursText(lastHours) + ".");
        return std::nullopt;
    }
    if (request.windowEndHours > lastHours + 1 / MinutesPerHour) {
        messages.push_back("The window reaches past the last record (at " + hoursText(lastHours) +
                           "): its activity covers only the recorded part.");
    }
    BinSize binSize;
    ReportTables tables = computeTables(reportPlate, series, request.binMinutes, log, binSize);
    plate.bins = activityBins(tables, plate.wells);
    return plate;
}

}  // namespace

std::optional<std::pair<double, double>> parseHourWindow(std::string_view text) {
    // The dash after the first character: H1 is never negative, so it is the separator.
    const std::size_t dash = text.find('-', 1);
    if (dash == std::string_view::npos) return std::nullopt;
    const auto h1 = parseCsvNumber(text.substr(0, dash));
    const auto h2 = parseCsvNumber(text.substr(dash + 1));
    if (!h1 || !h2 || *h1 < 0 || *h2 <= *h1) return std::nullopt;
    return std::pair{*h1, *h2};
}

std::filesystem::path screeningFolder(const std::filesystem::path& acquisitionFolder) {
    return acquisitionFolder / "screening";
}

ScreeningOutcome screenAcquisition(const ScreeningRequest& request) {
    ScreeningOutcome outcome;
    if (!validWindow(request, outcome.messages) || !validFit(request, outcome.messages)) return outcome;
    outcome.plate = readPlate(request, outcome.messages);
    if (!outcome.plate) return outcome;
    outcome.results = screenPlate(*outcome.plate, request.normalisation, request.ic50Kind);
    const auto& findings = outcome.results->messages;
    outcome.messages.insert(outcome.messages.end(), findings.begin(), findings.end());
    const std::filesystem::path folder =
        request.outFolder.empty() ? screeningFolder(request.acquisitionFolder) : request.outFolder;
    if (!makeFolder(folder, outcome.messages)) return outcome;
    auto files = writeScreeningFiles(folder, *outcome.plate, *outcome.results);
    if (files) {
        outcome.files = std::move(*files);
    } else {
        outcome.messages.push_back("The result files cannot be written into " + folder.string() + ".");
    }
    return outcome;
}

}  // namespace zorvex
