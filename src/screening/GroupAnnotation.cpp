#include "screening/GroupAnnotation.h"

#include "screening/CsvRecords.h"

namespace zorvex {

std::string_view roleText(GroupRole role) {
    switch (role) {
        case GroupRole::Negative: return "negative";
        case GroupRole::Positive: return "positive";
        case GroupRole::Sample: return "sample";
        case GroupRole::None: break;
    }
    return "";
}

std::optional<GroupRole> parseRole(std::string_view text) {
    const std::string lower = fieldKey(text);
    for (GroupRole role : {GroupRole::None, GroupRole::Negative, GroupRole::Positive, GroupRole::Sample}) {
        if (lower == roleText(role)) return role;
    }
    return std::nullopt;
}

bool sameTreatment(const GroupAnnotation& a, const GroupAnnotation& b) {
    return a.compound == b.compound && a.concentration == b.concentration && a.unit == b.unit && a.role == b.role;
}

}  // namespace zorvex
