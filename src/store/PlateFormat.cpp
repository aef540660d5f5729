#include "store/PlateFormat.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "common/Files.h"
#include "common/RecordText.h"

namespace zorvex {

std::int16_t PlateFormat::channelAt(int well, int beam) const {
    if (well < 0 || well > MaxWell || beam < 0 || beam > MaxBeam) return 0;
    std::size_t index = static_cast<std::size_t>(well) * (MaxBeam + 1) + beam;
    return index < ChannelMap.size() ? ChannelMap[index] : 0;
}

bool buildChannelMap(PlateFormat& plate) {
    if (plate.MaxWell < 0 || plate.MaxWell > MaxPlateIndex || plate.MaxBeam < 0 || plate.MaxBeam > MaxPlateIndex) {
        return false;
    }
    const std::size_t beams = static_cast<std::size_t>(plate.MaxBeam) + 1;
    std::vector<std::int16_t> map((static_cast<std::size_t>(plate.MaxWell) + 1) * beams, 0);
    for (int c = 0; c < ChannelCount; ++c) {
        int well = plate.WellOfChannel[c];
        int beam = plate.BeamOfChannel[c];
        if (well < 0) continue;
        if (well > plate.MaxWell || beam < 0 || beam > plate.MaxBeam) return false;
        map[static_cast<std::size_t>(well) * beams + beam] = static_cast<std::int16_t>(c);
    }
    plate.ChannelMap = std::move(map);
    return true;
}

namespace {

// A plate name is a base file name; anything that would reach outside the
// program folder is not one.
bool isPlainName(const std::string& name) {
    return !name.empty() && name.find_first_of("/\\") == std::string::npos && name != "." && name != "..";
}

// A plate larger than the channel grid, or with wells of no size, cannot be
// drawn or mapped.
bool plausibleGeometry(const PlateFormat& plate) {
    return plate.Rows >= 1 && plate.Columns >= 1 && plate.Rows * plate.Columns <= ChannelCount &&
           plate.RowPitch > 0.0 && plate.ColumnPitch > 0.0;
}

bool plausibleMapping(std::int16_t well, std::int16_t beam) {
    if (well == -1) return beam >= -1 && beam <= MaxPlateIndex;
    return well >= 0 && well <= MaxPlateIndex && beam >= 0 && beam <= MaxPlateIndex;
}

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The regular files of a folder with their lower-case names; none when it
// cannot be listed.
std::vector<std::pair<std::string, std::filesystem::path>> filesByLowerName(const std::filesystem::path& folder) {
    std::vector<std::pair<std::string, std::filesystem::path>> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code kindError;
        if (it->is_regular_file(kindError)) files.emplace_back(lowerCase(it->path().filename().string()), it->path());
    }
    return files;
}

}  // namespace

std::optional<std::filesystem::path> findPlateFile(const std::filesystem::path& programFolder,
                                                   const std::string& name, std::string_view extension) {
    if (!isPlainName(name)) return std::nullopt;
    const std::string fileName = name + std::string(extension);
    std::filesystem::path exact = programFolder / fileName;
    if (fileExists(exact)) return exact;
    const std::string wanted = lowerCase(fileName);
    for (const auto& [lower, path] : filesByLowerName(programFolder)) {
        if (lower == wanted) return path;
    }
    return std::nullopt;
}

std::vector<std::string> listPlateNames(const std::filesystem::path& programFolder) {
    std::vector<std::string> names;
    for (const auto& [lower, path] : filesByLowerName(programFolder)) {
        if (lower.size() < 5 || lower.front() != 'z' || lower.compare(lower.size() - 4, 4, ".dat") != 0) continue;
        names.push_back(lower.substr(0, lower.find(".dat")));
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

PlateLoad loadPlateFormat(PlateFormat& plate, const std::filesystem::path& programFolder, const std::string& name) {
    PlateLoad load;
    std::optional<std::string> bytes;
    if (auto file = findPlateFile(programFolder, name)) bytes = readFile(*file);
    if (!bytes) return load;
    return parsePlateFormat(plate, *bytes);
}

PlateLoad parsePlateFormat(PlateFormat& plate, std::string_view bytes) {
    PlateLoad load;
    load.stage = 1;

    PlateFormat read;
    read.WellOfChannel.fill(-1);
    read.BeamOfChannel.fill(0);
    RecordReader in{std::string(bytes)};
    in.skip();
    in.skip();
    read.Rows = in.int16();
    read.RowPitch = in.real();
    read.RowOffset = in.real();
    read.Columns = in.int16();
    read.ColumnPitch = in.real();
    read.ColumnOffset = in.real();
    in.skip();
    if (!in.ok() || !plausibleGeometry(read)) return load;
    load.stage = 2;

    for (int slot = 0; slot < ChannelSlots && !in.atEnd(); ++slot) {
        in.skip();
        std::int16_t well = in.int16();
        std::int16_t beam = in.int16();
        if (!in.ok() || !plausibleMapping(well, beam)) return load;
        read.WellOfChannel[slot] = well;
        read.BeamOfChannel[slot] = beam;
        if (well > read.MaxWell) read.MaxWell = well;
        if (beam > read.MaxBeam) read.MaxBeam = beam;
    }
    load.stage = 3;

    if (!buildChannelMap(read)) return load;
    plate = std::move(read);
    load.ok = true;
    return load;
}

void loadPlateFormatWithFallback(PlateFormat& plate, std::string& plateName,
                                 const std::filesystem::path& programFolder, Dialogs& dialogs) {
    PlateLoad load = loadPlateFormat(plate, programFolder, plateName);
    if (!load.ok) fallBackToBuiltInPlate(plate, plateName, load, dialogs);
}

void fallBackToBuiltInPlate(PlateFormat& plate, std::string& plateName, const PlateLoad& failed, Dialogs& dialogs) {
    dialogs.message("Error [\\" + plateName + ".dat] ID#" + std::to_string(failed.stage) +
                    " => Loading plate format from default: 384,96f or 96u...");
    std::optional<PlateFormat> builtIn = builtInPlate(plateName);
    if (!builtIn) {
        plateName = "z96f";
        builtIn = builtInPlate(plateName);
    }
    plate = std::move(*builtIn);
}

std::string wellName(const PlateFormat& plate, int well) {
    if (plate.Rows < 1 || well < 0) return "";
    return std::string(1, static_cast<char>('A' + well % plate.Rows)) + std::to_string(well / plate.Rows + 1);
}

std::optional<int> wellOfName(const PlateFormat& plate, std::string_view name) {
    if (name.size() < 2) return std::nullopt;
    const int row = std::toupper(static_cast<unsigned char>(name.front())) - 'A';
    int column = 0;
    const auto [end, error] = std::from_chars(name.data() + 1, name.data() + name.size(), column);
    if (error != std::errc() || end != name.data() + name.size()) return std::nullopt;
    if (row < 0 || row >= plate.Rows || column < 1 || column > plate.Columns) return std::nullopt;
    return (column - 1) * plate.Rows + row;
}

}  // namespace zorvex
