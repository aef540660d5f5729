#pragma once
// The files of one recorded acquisition: its folder, subproj.dat, the
// activity records of counts.bin and the raw real-time dumps 0.bin, 1.bin...
// Binary files are little-endian without headers; every append adds a whole
// record or nothing, so a crash leaves every completed bin readable.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/SampleFrame.h"
#include "common/DateTime.h"
#include "common/Files.h"

namespace zorvex {

constexpr std::size_t ActivityRecordBytes = 774;
constexpr int DumpsPerRealTimeFile = 11;
/// Largest counts.bin read: days of recording stay far below it; anything
/// larger is not a counts.bin and is never loaded.
constexpr std::size_t MaxActivityFileBytes = std::size_t{1} << 31;

/// One bin of an acquisition as stored in counts.bin.
struct ActivityRecord {
    std::int32_t elapsedMinutes = 0;               ///< whole minutes since the start
    std::array<std::int16_t, ChannelCount> counts{};  ///< activity count per channel
    std::int16_t temperatureTenths = 0;            ///< degrees Celsius x 10 at the bin end

    friend bool operator==(const ActivityRecord&, const ActivityRecord&) = default;
};

/// Experiment name and description of subproj.dat.
struct ExperimentInfo {
    std::string name;
    std::string description;
};

/// Counters that place each bin's dump: dump k of the acquisition goes to
/// file k div 11 as its dump k mod 11.
struct FileCounters {
    std::int16_t fileNumber = 0;
    std::int16_t dumpsInFile = 0;

    /// Moves on after a bin end of a recording, whether or not a dump was written.
    void advance();
};

/// The acquisition folder of a project folder for a start time: <project>/ddmmyyyy_hhmm.
std::filesystem::path acquisitionFolderPath(const std::filesystem::path& projectFolder, const DateTime& start);

/// Temperature in tenths of a degree, rounded half to even (25.25 -> 252); throws OverflowError.
std::int16_t temperatureTenths(double celsius);

/// The bytes of subproj.dat; quotes and line breaks in the texts are
/// replaced as in every record file, so the two lines always read back.
std::string experimentInfoBytes(const ExperimentInfo& info);
/// Creates or replaces subproj.dat (experimentInfoBytes).
bool writeExperimentInfo(const std::filesystem::path& folder, const ExperimentInfo& info);
/// Reads subproj.dat; nothing when it is missing or not two text fields.
std::optional<ExperimentInfo> readExperimentInfo(const std::filesystem::path& folder);
/// readExperimentInfo on the bytes of a subproj.dat that was found.
std::optional<ExperimentInfo> parseExperimentInfo(std::string_view bytes);

/// The 774 bytes of one record.
std::string encodeActivityRecord(const ActivityRecord& record);
/// Every whole record of counts.bin bytes; a trailing partial record is ignored.
std::vector<ActivityRecord> decodeActivityRecords(std::string_view bytes);
/// Appends one record to counts.bin (created when missing); a failed write
/// or close leaves counts.bin as it was.
bool appendActivityRecord(const std::filesystem::path& folder, const ActivityRecord& record,
                          DiskWrites& disk = systemDiskWrites());
/// Reads counts.bin; an empty list when it is missing.
std::vector<ActivityRecord> readActivityRecords(const std::filesystem::path& folder);

/// Records given by their place from 0, as the operator counts them (from
/// 1) in runs: {1, 2, 3, 6} -> "2-4, 7".
std::string recordNumbersText(const std::vector<int>& places);

/// Path of real-time file n: <folder>/n.bin.
std::filesystem::path realTimeFilePath(const std::filesystem::path& folder, int fileNumber);
/// Bytes of one dump of a buffer of `rtBuffer` samples: (rtBuffer + 1) x 385 x 2.
std::size_t realTimeDumpBytes(int rtBuffer);
/// The dump of a frame: slot by slot, channels 0..383 then 0 for slot 384;
/// the last slot (index RT_Buffer) is written as zeros.
std::string encodeRealTimeDump(const SampleFrame& frame);
/// Appends the frame's dump to real-time file n.
bool appendRealTimeDump(const std::filesystem::path& folder, int fileNumber, const SampleFrame& frame);
/// Writes the frame's dump at the place of bin `bin` (0-based): file bin div
/// 11, dump bin mod 11. A dump before it that could not be written stays a
/// gap of zeros, so every later dump keeps its bin's place. A failed write or
/// close leaves the file as it was.
bool writeRealTimeDump(const std::filesystem::path& folder, int bin, const SampleFrame& frame,
                       DiskWrites& disk = systemDiskWrites());
/// Takes back the dump of bin `bin` and whatever follows it; false when the
/// file could not be cut.
bool removeRealTimeDump(const std::filesystem::path& folder, int bin, int rtBuffer);
/// Number of whole dumps of `rtBuffer` samples in real-time file n (at most 11).
int countRealTimeDumps(const std::filesystem::path& folder, int fileNumber, int rtBuffer);
/// The frame of bin `bin` (0-based), read from file bin div 11; nothing when
/// that dump is not wholly on disk or is all zeros: the gap left where a dump
/// could not be written (a real dump always holds samples).
std::optional<SampleFrame> readRealTimeDump(const std::filesystem::path& folder, int bin, int rtBuffer);
/// readRealTimeDump into a frame the caller keeps, of the dumps' RT_Buffer, so
/// that reading many dumps allocates no frame each; false where readRealTimeDump
/// gives nothing (the frame's samples are then unspecified).
bool readRealTimeDumpInto(const std::filesystem::path& folder, int bin, SampleFrame& frame);

/// Number of whole dumps of `rtBuffer` samples in a real-time file of
/// `fileBytes` bytes (at most 11; none for an RT_Buffer below 1).
int realTimeDumpsIn(std::uintmax_t fileBytes, int rtBuffer);
/// Dump `dumpIndex` of the bytes of a real-time file; nothing when that dump
/// is not wholly in them or lies past the file's 11.
std::optional<SampleFrame> decodeRealTimeDump(std::string_view fileBytes, int dumpIndex, int rtBuffer);

}  // namespace zorvex
