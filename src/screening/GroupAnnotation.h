#pragma once
// What a screen says of each group of a project: the compound it received,
// at which concentration and unit, and whether its wells are a negative
// control, a positive control or a sample.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace zorvex {

/// The part a group plays in a screen.
enum class GroupRole { None, Negative, Positive, Sample };

/// The annotation of one group.
struct GroupAnnotation {
    std::string name;  ///< the group's name where it was written; groups.dat names it
    std::string compound;
    std::optional<double> concentration;
    std::string unit;  ///< nM, uM, mM, mg/L, % ...
    GroupRole role = GroupRole::None;

    friend bool operator==(const GroupAnnotation&, const GroupAnnotation&) = default;
};

/// Annotations by group number.
using GroupAnnotations = std::map<int, GroupAnnotation>;

/// The role as the files write it: "negative", "positive", "sample" or "".
std::string_view roleText(GroupRole role);

/// The role of a file field: one of the four texts, without regard to case
/// or blanks around it; nothing for anything else.
std::optional<GroupRole> parseRole(std::string_view text);

/// True when two annotations say the same of a group (the name aside).
bool sameTreatment(const GroupAnnotation& a, const GroupAnnotation& b);

}  // namespace zorvex
