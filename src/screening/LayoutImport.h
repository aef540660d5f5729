#pragma once
// The plate layout as a liquid handler or a spreadsheet gives it, one line
// per group or well: group name or well list, compound, concentration,
// unit, role. Imported into the group annotations and exported from them.

#include <string>
#include <string_view>
#include <vector>

#include "screening/GroupAnnotation.h"
#include "store/ChannelTables.h"
#include "store/PlateFormat.h"

namespace zorvex {

/// What an import gave: the annotations of the groups its lines name, and a
/// message for each line left out ("line 7: ...").
struct LayoutImport {
    GroupAnnotations annotations;
    std::vector<std::string> messages;
};

/// Reads a layout. The separator is ',' or, when the first line holds more
/// semicolons, ';' (then a decimal comma is read too); a first line whose
/// third field starts with "concentration" is a header. The first field
/// names a group of the plate, or wells ("A1", "A01", "A1 B1;C1", ranges
/// "A1-H1" or "A1:H1") that must all lie in one group; lines naming the same
/// group must agree.
LayoutImport importLayout(std::string_view text, const PlateFormat& plate, const ChannelTable& channels,
                          const GroupTable& groups);

/// The layout of the annotations: header well,compound,concentration,unit,role
/// and one line per well in a group, in well order.
std::string layoutText(const GroupAnnotations& annotations, const PlateFormat& plate, const ChannelTable& channels);

}  // namespace zorvex
