#include "FuzzInput.h"

#include <unistd.h>

#include <fstream>

namespace zorvex::fuzz {

namespace fs = std::filesystem;

std::vector<std::string> splitParts(const std::uint8_t* data, std::size_t size, std::size_t maxParts) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parts;
    while (parts.size() + 1 < maxParts) {
        std::size_t cut = input.find(PartSeparator);
        if (cut == std::string_view::npos) break;
        parts.emplace_back(input.substr(0, cut));
        input.remove_prefix(cut + PartSeparator.size());
    }
    parts.emplace_back(input);
    parts.resize(maxParts);
    return parts;
}

std::string joinParts(const std::vector<std::string>& parts) {
    std::string joined;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) joined += PartSeparator;
        joined += parts[i];
    }
    return joined;
}

std::optional<std::string_view> fileOf(const std::string& part) {
    if (part.empty()) return std::nullopt;
    return part;
}

ScratchFolder::ScratchFolder()
    : path_(fs::temp_directory_path() / ("zorvex-fuzz-" + std::to_string(::getpid()))) {
    fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void ScratchFolder::clear() {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(path_)) fs::remove_all(entry.path(), ignored);
}

void ScratchFolder::write(const fs::path& name, std::string_view bytes) {
    if (bytes.empty()) return;
    fs::path file = path_ / name;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

ScratchFolder& scratch() {
    static ScratchFolder folder;
    return folder;
}

}  // namespace zorvex::fuzz
