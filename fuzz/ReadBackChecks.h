#pragma once
// The checks on config.dat, comports.dat, subproj.dat, groupinfo.csv and
// counts.bin, shared by each file's in-memory target and fuzz_files, which
// reads the same input through files. Each check aborts on a fault.

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "ScriptedDialogs.h"
#include "acquisition/DataFiles.h"
#include "device/PortMap.h"
#include "reports/ReportInputs.h"
#include "screening/GroupInfoFile.h"
#include "store/ProgramConfig.h"

namespace zorvex::fuzz {

/// Any config.dat loads to values inside their ranges, or to the defaults.
void checkConfig(const ProgramConfig& config);

/// What config.dat was written back as loads the same values; `quiet` saw
/// only that load and shows no message.
void checkConfigReadBack(const ProgramConfig& config, const ProgramConfig& again, const test::ScriptedDialogs& quiet);

/// Resolves `portName` and every port number, and those just outside, through `map`.
void exercisePortMap(const PortMap& map, std::string_view portName);

/// subproj.dat written from `info` read back as `again`, and written from
/// that it is the same bytes: a second save changes nothing.
void checkExperimentInfoReadBack(const ExperimentInfo& info, const std::optional<ExperimentInfo>& again);

/// The group names of the annotations, as groups.dat holds them when
/// groupinfo.csv is written.
GroupTable groupNamesOf(const GroupAnnotations& annotations);

/// groupinfo.csv written from what was read reads back the same annotations
/// without a message.
void checkGroupInfoReadBack(const GroupInfoRead& read, const GroupInfoRead& again);

/// Every whole record of counts.bin's `bytes` was decoded, and encodes back
/// to the same bytes.
void checkActivityRecords(std::string_view bytes, const std::vector<ActivityRecord>& records);

/// The report's series `load` gives holds one entry per whole record;
/// minutes that cannot be unwrapped in 32 bits throw the documented
/// OverflowError (the report shows "Report Error").
void checkSeries(const std::function<std::optional<LoadedSeries>()>& load, std::size_t records);

}  // namespace zorvex::fuzz
