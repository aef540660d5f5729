#include "screening/LayoutImport.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <variant>
#include <set>

#include "common/Text.h"
#include "screening/CsvRecords.h"
#include "store/PlateGroups.h"

namespace zorvex {

namespace {

constexpr std::size_t LayoutFields = 5;

Cell cellOfWell(const PlateFormat& plate, int well) { return {well / plate.Rows, well % plate.Rows}; }

// The wells of a list of names and ranges; nothing when a piece names no well.
std::optional<std::vector<int>> wellsOfList(const PlateFormat& plate, std::string_view list) {
    std::vector<int> wells;
    std::string piece;
    auto take = [&]() {
        if (piece.empty()) return true;
        std::size_t dash = piece.find_first_of("-:");
        auto first = wellOfName(plate, std::string_view(piece).substr(0, dash));
        auto last = dash == std::string::npos ? first : wellOfName(plate, std::string_view(piece).substr(dash + 1));
        piece.clear();
        if (!first || !last) return false;
        auto range = wellsBetween(plate, cellOfWell(plate, *first), cellOfWell(plate, *last));
        wells.insert(wells.end(), range.begin(), range.end());
        return true;
    };
    for (char c : list) {
        if (c == ' ' || c == '\t' || c == ';' || c == ',') {
            if (!take()) return std::nullopt;
        } else {
            piece += c;
        }
    }
    if (!take() || wells.empty()) return std::nullopt;
    return wells;
}

class LayoutReader {
public:
    LayoutReader(const PlateFormat& plate, const ChannelTable& channels, const GroupTable& groups)
        : plate_(plate), channels_(channels) {
        std::set<int> used;
        for (int well = 0; well <= plate.MaxWell && plate.Rows > 0; ++well) {
            int group = groupOfWell(channels, plate, well);
            if (group >= 0 && group < ChannelSlots) used.insert(group);
        }
        for (int group : used) nameKeys_.emplace_back(group, fieldKey(groups.Name[static_cast<std::size_t>(group)]));
    }

    // The group a line's first field names, or why it names none.
    std::variant<int, std::string> targetGroup(std::string_view field) const {
        const std::string wanted = fieldKey(field);
        if (wanted.empty()) return std::string("it names no group or well");
        std::vector<int> named;
        for (const auto& [group, key] : nameKeys_) {
            if (key == wanted) named.push_back(group);
        }
        if (named.size() > 1) return "the name \"" + std::string(trimBlanks(field)) + "\" belongs to several groups";
        if (named.size() == 1) return named.front();
        auto wells = wellsOfList(plate_, field);
        if (!wells) return "\"" + std::string(trimBlanks(field)) + "\" is neither a group nor wells of the plate";
        std::set<int> inGroups;
        for (int well : *wells) {
            int group = groupOfWell(channels_, plate_, well);
            if (group < 0) return "well " + wellName(plate_, well) + " is in no group; draw it into one on the plate map first";
            inGroups.insert(group);
        }
        if (inGroups.size() > 1) return std::string("its wells lie in more than one group; one line annotates one group");
        return *inGroups.begin();
    }

    // The annotation of a line's other fields, or why they do not fit.
    std::variant<GroupAnnotation, std::string> treatment(const std::vector<std::string>& fields, char separator) const {
        GroupAnnotation annotation;
        annotation.compound = std::string(trimBlanks(fields[1]));
        std::string concentration(trimBlanks(fields[2]));
        if (separator == ';') std::replace(concentration.begin(), concentration.end(), ',', '.');
        if (!concentration.empty()) {
            annotation.concentration = parseCsvNumber(concentration);
            if (!annotation.concentration || *annotation.concentration < 0) {
                return "the concentration \"" + fields[2] + "\" is not a number of 0 or more";
            }
        }
        annotation.unit = std::string(trimBlanks(fields[3]));
        std::string role = fieldKey(fields[4]);
        if (role.ends_with(" control")) role.resize(role.size() - std::string_view(" control").size());
        auto parsed = parseRole(role);
        if (!parsed) return "the role \"" + fields[4] + "\" is not negative, positive, sample or empty";
        annotation.role = *parsed;
        for (const std::string& field : fields) {
            if (!isValidUtf8(field)) return std::string("it is not UTF-8 text");
        }
        return annotation;
    }

private:
    const PlateFormat& plate_;
    const ChannelTable& channels_;
    /// Each group a well of the plate is in, with its name as lines are matched against it.
    std::vector<std::pair<int, std::string>> nameKeys_;
};

bool isLayoutHeader(const CsvRecord& record) {
    return record.fields.size() >= 3 && fieldKey(record.fields[2]).starts_with("concentration");
}

}  // namespace

LayoutImport importLayout(std::string_view text, const PlateFormat& plate, const ChannelTable& channels,
                          const GroupTable& groups) {
    LayoutImport result;
    const char separator = guessSeparator(text);
    CsvText csv = parseCsv(text, separator);
    std::vector<CsvProblem> problems = csv.problems;
    std::map<int, int> lineOfGroup;
    const LayoutReader reader(plate, channels, groups);
    for (std::size_t i = 0; i < csv.records.size(); ++i) {
        CsvRecord record = std::move(csv.records[i]);
        if (i == 0 && isLayoutHeader(record)) continue;
        // Spreadsheets pad lines to the widest one with empty fields.
        while (record.fields.size() > LayoutFields && trimBlanks(record.fields.back()).empty()) record.fields.pop_back();
        if (record.fields.size() > LayoutFields) {
            problems.push_back({record.line, "it has " + std::to_string(record.fields.size()) +
                                                 " fields; a layout line has group or wells, compound, "
                                                 "concentration, unit and role"});
            continue;
        }
        record.fields.resize(LayoutFields);
        auto target = reader.targetGroup(record.fields[0]);
        auto treatment = reader.treatment(record.fields, separator);
        if (auto* why = std::get_if<std::string>(&target)) {
            problems.push_back({record.line, *why});
            continue;
        }
        if (auto* why = std::get_if<std::string>(&treatment)) {
            problems.push_back({record.line, *why});
            continue;
        }
        const int group = std::get<int>(target);
        GroupAnnotation annotation = std::get<GroupAnnotation>(treatment);
        annotation.name = groups.Name[static_cast<std::size_t>(group)];
        auto [existing, added] = result.annotations.emplace(group, annotation);
        if (added) {
            lineOfGroup[group] = record.line;
        } else if (!sameTreatment(existing->second, annotation)) {
            problems.push_back({record.line, "group " + std::to_string(group) + " \"" + annotation.name +
                                                   "\" was annotated otherwise by line " +
                                                   std::to_string(lineOfGroup[group])});
        }
    }
    result.messages = lineMessages(std::move(problems), "");
    return result;
}

std::string layoutText(const GroupAnnotations& annotations, const PlateFormat& plate, const ChannelTable& channels) {
    std::string text = csvLine({"well", "compound", "concentration", "unit", "role"});
    for (int well = 0; well <= plate.MaxWell && plate.Rows > 0; ++well) {
        const int group = groupOfWell(channels, plate, well);
        if (group < 0) continue;
        auto found = annotations.find(group);
        const GroupAnnotation blank;
        const GroupAnnotation& annotation = found == annotations.end() ? blank : found->second;
        text += csvLine({wellName(plate, well), annotation.compound, csvNumber(annotation.concentration), annotation.unit,
                         std::string(roleText(annotation.role))});
    }
    return text;
}

}  // namespace zorvex
