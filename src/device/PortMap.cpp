#include "device/PortMap.h"

#include <algorithm>
#include <cctype>

#include "common/Files.h"
#include "common/RecordText.h"

namespace zorvex {

const std::string& PortMap::device(int com) const {
    static const std::string none;
    return com >= 1 && com <= PortCount ? devices[com - 1] : none;
}

bool PortMap::setDevice(int com, std::string path) {
    if (com < 1 || com > PortCount) return false;
    devices[com - 1] = std::move(path);
    return true;
}

PortMap defaultPortMap() {
    PortMap map;
    for (int com = 1; com <= PortCount; ++com) map.setDevice(com, "/dev/ttyUSB" + std::to_string(com - 1));
    return map;
}

PortMap readPortMap(const std::filesystem::path& programFolder) {
    const std::optional<std::string> bytes = readFile(programFolder / PortMapFileName);
    return bytes ? parsePortMap(*bytes) : defaultPortMap();
}

PortMap parsePortMap(std::string_view bytes) {
    PortMap map = defaultPortMap();
    RecordReader reader{std::string(bytes)};
    reader.skip();
    while (reader.ok() && !reader.atEnd()) {
        int com = reader.int16();
        std::string path = reader.text();
        if (!reader.ok()) break;
        // A path with a NUL byte would open something else than it names, and
        // one with a double quote could not be written back whole.
        if (path.empty() || path.find_first_of(std::string_view("\0\"", 2)) != std::string::npos) continue;
        map.setDevice(com, std::move(path));
    }
    return map;
}

std::string portMapBytes(const PortMap& map) {
    RecordWriter writer;
    writer.header(PortMapHeader);
    for (int com = 1; com <= PortCount; ++com) writer.integer(com).text(map.device(com)).endLine();
    return writer.bytes();
}

bool writePortMap(const std::filesystem::path& programFolder, const PortMap& map) {
    return writeFile(programFolder / PortMapFileName, portMapBytes(map));
}

bool writeDefaultPortMap(const std::filesystem::path& programFolder) {
    return writePortMap(programFolder, defaultPortMap());
}

std::optional<std::string> resolvePortName(const PortMap& map, std::string_view name) {
    if (name.size() > 3 && std::toupper(static_cast<unsigned char>(name[0])) == 'C' &&
        std::toupper(static_cast<unsigned char>(name[1])) == 'O' &&
        std::toupper(static_cast<unsigned char>(name[2])) == 'M') {
        std::string_view digits = name.substr(3);
        // Only one or two digits make a port number; longer runs are a path
        // and must not be summed up (they would overflow).
        bool numeric = digits.size() <= 2 && std::all_of(digits.begin(), digits.end(), [](char c) {
                           return std::isdigit(static_cast<unsigned char>(c)) != 0;
                       });
        if (numeric) {
            int com = 0;
            for (char c : digits) com = com * 10 + (c - '0');
            if (com < 1 || com > PortCount) return std::nullopt;
            return map.device(com);
        }
    }
    if (name.empty() || name.find('\0') != std::string_view::npos) return std::nullopt;
    return std::string(name);
}

}  // namespace zorvex
