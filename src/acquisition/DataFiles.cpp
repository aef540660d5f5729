#include "acquisition/DataFiles.h"

#include <algorithm>
#include <fstream>

#include "common/Files.h"
#include "common/Numbers.h"
#include "common/RecordText.h"
#include "common/Text.h"
#include "store/ProjectFolders.h"

namespace zorvex {

namespace fs = std::filesystem;

namespace {

constexpr int DumpValuesPerSlot = ChannelSlots;

void putInt16(std::string& out, std::int16_t value) {
    auto bits = static_cast<std::uint16_t>(value);
    out += static_cast<char>(bits & 0xFF);
    out += static_cast<char>(bits >> 8);
}

std::int16_t getInt16(const char* at) {
    auto low = static_cast<std::uint8_t>(at[0]);
    auto high = static_cast<std::uint8_t>(at[1]);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8)));
}

std::int32_t getInt32(const char* at) {
    std::uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) bits = (bits << 8) | static_cast<std::uint8_t>(at[i]);
    return static_cast<std::int32_t>(bits);
}

}  // namespace

void FileCounters::advance() {
    if (dumpsInFile == DumpsPerRealTimeFile - 1) {
        dumpsInFile = 0;
        fileNumber = checkedInt16(fileNumber + 1LL);
    } else {
        ++dumpsInFile;
    }
}

fs::path acquisitionFolderPath(const fs::path& projectFolder, const DateTime& start) {
    return projectFolder / timeStamp(start);
}

std::int16_t temperatureTenths(double celsius) { return toInt16(celsius * 10.0); }

std::string experimentInfoBytes(const ExperimentInfo& info) {
    RecordWriter writer;
    writer.header(storableName(info.name)).header(storableName(info.description));
    return writer.bytes();
}

bool writeExperimentInfo(const fs::path& folder, const ExperimentInfo& info) {
    return writeFile(folder / "subproj.dat", experimentInfoBytes(info));
}

std::optional<ExperimentInfo> readExperimentInfo(const fs::path& folder) {
    const std::optional<std::string> bytes = readFile(folder / "subproj.dat");
    return bytes ? parseExperimentInfo(*bytes) : std::nullopt;
}

std::optional<ExperimentInfo> parseExperimentInfo(std::string_view bytes) {
    RecordReader reader{std::string(bytes)};
    ExperimentInfo info;
    info.name = reader.text();
    info.description = reader.text();
    if (!reader.ok()) return std::nullopt;
    return info;
}

std::string encodeActivityRecord(const ActivityRecord& record) {
    std::string out;
    out.reserve(ActivityRecordBytes);
    auto minutes = static_cast<std::uint32_t>(record.elapsedMinutes);
    for (int i = 0; i < 4; ++i) out += static_cast<char>((minutes >> (8 * i)) & 0xFF);
    for (std::int16_t count : record.counts) putInt16(out, count);
    putInt16(out, record.temperatureTenths);
    return out;
}

std::vector<ActivityRecord> decodeActivityRecords(std::string_view bytes) {
    std::vector<ActivityRecord> records(bytes.size() / ActivityRecordBytes);
    for (std::size_t k = 0; k < records.size(); ++k) {
        const char* at = bytes.data() + k * ActivityRecordBytes;
        records[k].elapsedMinutes = getInt32(at);
        for (int c = 0; c < ChannelCount; ++c) records[k].counts[c] = getInt16(at + 4 + 2 * c);
        records[k].temperatureTenths = getInt16(at + 772);
    }
    return records;
}

bool appendActivityRecord(const fs::path& folder, const ActivityRecord& record, DiskWrites& disk) {
    return appendFile(folder / "counts.bin", encodeActivityRecord(record), disk);
}

std::vector<ActivityRecord> readActivityRecords(const fs::path& folder) {
    auto bytes = readFile(folder / "counts.bin", MaxActivityFileBytes);
    return bytes ? decodeActivityRecords(*bytes) : std::vector<ActivityRecord>{};
}

std::string recordNumbersText(const std::vector<int>& places) {
    std::vector<int> numbers;
    numbers.reserve(places.size());
    for (int place : places) numbers.push_back(place + 1);
    return numberRuns(numbers);
}

fs::path realTimeFilePath(const fs::path& folder, int fileNumber) {
    return folder / (std::to_string(fileNumber) + ".bin");
}

std::size_t realTimeDumpBytes(int rtBuffer) {
    return static_cast<std::size_t>(rtBuffer + 1) * DumpValuesPerSlot * 2;
}

std::string encodeRealTimeDump(const SampleFrame& frame) {
    std::string out;
    out.reserve(realTimeDumpBytes(frame.rtBuffer()));
    for (int slot = 0; slot < frame.rtBuffer(); ++slot) {
        for (int channel = 0; channel < ChannelCount; ++channel) putInt16(out, frame.at(channel, slot));
        putInt16(out, 0);
    }
    out.append(static_cast<std::size_t>(DumpValuesPerSlot) * 2, '\0');
    return out;
}

bool appendRealTimeDump(const fs::path& folder, int fileNumber, const SampleFrame& frame) {
    return appendFile(realTimeFilePath(folder, fileNumber), encodeRealTimeDump(frame));
}

namespace {
std::uintmax_t dumpOffset(int bin, int rtBuffer) {
    return static_cast<std::uintmax_t>(bin % DumpsPerRealTimeFile) * realTimeDumpBytes(rtBuffer);
}
}  // namespace

bool writeRealTimeDump(const fs::path& folder, int bin, const SampleFrame& frame, DiskWrites& disk) {
    if (bin < 0) return false;
    return writeFileAt(realTimeFilePath(folder, bin / DumpsPerRealTimeFile), dumpOffset(bin, frame.rtBuffer()),
                       encodeRealTimeDump(frame), disk);
}

bool removeRealTimeDump(const fs::path& folder, int bin, int rtBuffer) {
    const fs::path file = realTimeFilePath(folder, bin / DumpsPerRealTimeFile);
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file, error);
    if (error) return !fs::exists(file, error);
    const std::uintmax_t offset = dumpOffset(bin, rtBuffer);
    if (size <= offset) return true;
    fs::resize_file(file, offset, error);
    return !error;
}

int countRealTimeDumps(const fs::path& folder, int fileNumber, int rtBuffer) {
    std::error_code error;
    auto size = fs::file_size(realTimeFilePath(folder, fileNumber), error);
    return error ? 0 : realTimeDumpsIn(size, rtBuffer);
}

namespace {
// Dumps are decoded a slice of slots at a time: the bytes of a slice and the
// rows they fill stay in the processor's cache, and the reader's buffer stays
// small enough to be reused from the heap instead of mapped afresh each dump.
constexpr int SlotsPerSlice = 32;
constexpr std::size_t SlotBytes = static_cast<std::size_t>(DumpValuesPerSlot) * 2;

// Slots first..first + count - 1 of a dump, from the bytes of those slots.
void decodeSlots(const char* bytes, int first, int count, SampleFrame& frame) {
    for (int channel = 0; channel < ChannelSlots; ++channel) {
        std::int16_t* row = frame.row(channel) + first;
        const char* at = bytes + 2 * channel;
        for (int slot = 0; slot < count; ++slot) row[slot] = getInt16(at + static_cast<std::size_t>(slot) * SlotBytes);
    }
}

int sliceLength(int first, const SampleFrame& frame) { return std::min(SlotsPerSlice, frame.slotCount() - first); }
}  // namespace

bool readRealTimeDumpInto(const fs::path& folder, int bin, SampleFrame& frame) {
    const int rtBuffer = frame.rtBuffer();
    if (bin < 0 || rtBuffer < 1) return false;
    const int fileNumber = bin / DumpsPerRealTimeFile;
    const int dumpIndex = bin % DumpsPerRealTimeFile;
    if (countRealTimeDumps(folder, fileNumber, rtBuffer) <= dumpIndex) return false;
    std::ifstream file(realTimeFilePath(folder, fileNumber), std::ios::binary);
    file.seekg(static_cast<std::streamoff>(realTimeDumpBytes(rtBuffer) * static_cast<std::size_t>(dumpIndex)));
    std::vector<char> bytes(SlotsPerSlice * SlotBytes);
    bool anySample = false;
    for (int first = 0; first < frame.slotCount(); first += SlotsPerSlice) {
        const int count = sliceLength(first, frame);
        const std::size_t length = static_cast<std::size_t>(count) * SlotBytes;
        if (!file.read(bytes.data(), static_cast<std::streamsize>(length))) return false;
        anySample = anySample || std::any_of(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length),
                                             [](char byte) { return byte != 0; });
        decodeSlots(bytes.data(), first, count, frame);
    }
    // Zeros are the gap left by a record whose real-time data could not be written.
    return anySample;
}

std::optional<SampleFrame> readRealTimeDump(const fs::path& folder, int bin, int rtBuffer) {
    if (rtBuffer < 1) return std::nullopt;
    SampleFrame frame(rtBuffer);
    if (!readRealTimeDumpInto(folder, bin, frame)) return std::nullopt;
    return frame;
}

int realTimeDumpsIn(std::uintmax_t fileBytes, int rtBuffer) {
    if (rtBuffer < 1) return 0;
    return static_cast<int>(std::min<std::uintmax_t>(fileBytes / realTimeDumpBytes(rtBuffer), DumpsPerRealTimeFile));
}

std::optional<SampleFrame> decodeRealTimeDump(std::string_view fileBytes, int dumpIndex, int rtBuffer) {
    if (dumpIndex < 0 || rtBuffer < 1 || realTimeDumpsIn(fileBytes.size(), rtBuffer) <= dumpIndex) return std::nullopt;
    const std::size_t dumpBytes = realTimeDumpBytes(rtBuffer);
    const std::string_view bytes = fileBytes.substr(dumpBytes * static_cast<std::size_t>(dumpIndex), dumpBytes);
    // Zeros are the gap left by a record whose real-time data could not be written.
    if (bytes.find_first_not_of('\0') == std::string_view::npos) return std::nullopt;
    SampleFrame frame(rtBuffer);
    for (int first = 0; first < frame.slotCount(); first += SlotsPerSlice) {
        decodeSlots(bytes.data() + static_cast<std::size_t>(first) * SlotBytes, first, sliceLength(first, frame), frame);
    }
    return frame;
}

}  // namespace zorvex
