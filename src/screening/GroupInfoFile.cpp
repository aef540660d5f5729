#include "screening/GroupInfoFile.h"

#include <charconv>
#include <variant>

#include "common/Files.h"
#include "common/Text.h"
#include "screening/CsvRecords.h"
#include "store/ProjectFolders.h"

namespace zorvex {

namespace {

constexpr std::size_t FieldCount = 6;
const std::vector<std::string> Header = {"group", "name", "compound", "concentration", "unit", "role"};

bool isHeader(const CsvRecord& record) {
    if (record.fields.size() != FieldCount) return false;
    for (std::size_t i = 0; i < FieldCount; ++i) {
        if (fieldKey(record.fields[i]) != Header[i]) return false;
    }
    return true;
}

std::optional<int> groupNumber(std::string_view field) {
    field = trimBlanks(field);
    int group = -1;
    auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), group);
    if (field.empty() || error != std::errc() || end != field.data() + field.size()) return std::nullopt;
    if (group < 0 || group >= ChannelSlots) return std::nullopt;
    return group;
}

// The annotation of one row, or why it does not fit.
std::variant<std::pair<int, GroupAnnotation>, std::string> parseRow(const CsvRecord& record) {
    if (record.fields.size() != FieldCount) {
        return "it has " + std::to_string(record.fields.size()) + " fields, not 6";
    }
    for (const std::string& field : record.fields) {
        if (!isValidUtf8(field)) return std::string("it is not UTF-8 text");
        if (!isPlainText(field)) return std::string("it holds a line break or a control character");
    }
    auto group = groupNumber(record.fields[0]);
    if (!group) return "the group \"" + record.fields[0] + "\" is not a group number from 0 to 384";
    GroupAnnotation annotation;
    annotation.name = std::string(trimBlanks(record.fields[1]));
    annotation.compound = std::string(trimBlanks(record.fields[2]));
    if (!trimBlanks(record.fields[3]).empty()) {
        annotation.concentration = parseCsvNumber(record.fields[3]);
        if (!annotation.concentration || *annotation.concentration < 0) {
            return "the concentration \"" + record.fields[3] + "\" is not a number of 0 or more (\".\" as the decimal point)";
        }
    }
    annotation.unit = std::string(trimBlanks(record.fields[4]));
    auto role = parseRole(record.fields[5]);
    if (!role) return "the role \"" + record.fields[5] + "\" is not negative, positive, sample or empty";
    annotation.role = *role;
    return std::make_pair(*group, std::move(annotation));
}

}  // namespace

GroupInfoRead parseGroupInfo(std::string_view text) {
    GroupInfoRead read;
    read.found = true;
    CsvText csv = parseCsv(text);
    std::vector<CsvProblem> problems = csv.problems;
    if (csv.records.empty() || !isHeader(csv.records.front())) {
        int line = csv.records.empty() ? 1 : csv.records.front().line;
        read.messages.push_back(std::string(GroupInfoFileName) + " line " + std::to_string(line) +
                                ": the header is not group,name,compound,concentration,unit,role; the file is not read.");
        return read;
    }
    for (std::size_t i = 1; i < csv.records.size(); ++i) {
        const CsvRecord& record = csv.records[i];
        auto row = parseRow(record);
        if (auto* why = std::get_if<std::string>(&row)) {
            problems.push_back({record.line, *why});
            continue;
        }
        auto& [group, annotation] = std::get<0>(row);
        if (!read.annotations.emplace(group, std::move(annotation)).second) {
            problems.push_back({record.line, "group " + std::to_string(group) + " is annotated by an earlier line"});
        }
    }
    read.messages = lineMessages(std::move(problems), std::string(GroupInfoFileName) + " ");
    return read;
}

GroupInfoRead readGroupInfo(const std::filesystem::path& folder) {
    const std::filesystem::path file = folder / GroupInfoFileName;
    if (!fileExists(file)) return {};
    auto bytes = readFile(file, MaxGroupInfoBytes);
    if (!bytes) {
        GroupInfoRead read;
        read.found = true;
        read.messages.push_back(std::string(GroupInfoFileName) +
                                " cannot be read or is larger than 1 MiB, far more than any annotation table; it is not read.");
        return read;
    }
    return parseGroupInfo(*bytes);
}

std::string groupInfoText(const GroupAnnotations& annotations, const GroupTable& groups) {
    std::string text = csvLine(Header);
    for (const auto& [group, annotation] : annotations) {
        const bool named = group >= 0 && group < ChannelSlots;
        text += csvLine({std::to_string(group), named ? groups.Name[static_cast<std::size_t>(group)] : annotation.name,
                         annotation.compound, csvNumber(annotation.concentration), annotation.unit,
                         std::string(roleText(annotation.role))});
    }
    return text;
}

bool writeGroupInfo(const std::filesystem::path& folder, const GroupAnnotations& annotations,
                    const GroupTable& groups) {
    return writeFile(folder / GroupInfoFileName, groupInfoText(annotations, groups));
}

}  // namespace zorvex
