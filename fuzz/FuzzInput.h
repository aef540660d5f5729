#pragma once
// What the fuzz targets share: one fuzz input cut into the several files a
// reader looks at, and a scratch folder the files are written into for the
// targets that go through the readers' file input.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvex::fuzz {

/// Marks the end of one file and the start of the next inside an input.
inline constexpr std::string_view PartSeparator = "\n--zorvex-part--\n";

/// The input cut at each separator into at most `maxParts` parts; the last
/// part keeps everything after its start, separators included. Missing parts
/// are empty.
std::vector<std::string> splitParts(const std::uint8_t* data, std::size_t size, std::size_t maxParts);

/// The parts joined with separators: the inverse of splitParts, for seeds.
std::string joinParts(const std::vector<std::string>& parts);

/// A part as the bytes of a file: an empty part is a missing file.
std::optional<std::string_view> fileOf(const std::string& part);

/// A folder of this process under the temporary folder, emptied for every
/// input and removed at exit.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    /// Removes everything inside the folder.
    void clear();
    /// Writes `bytes` to `name` (a path relative to the folder), creating its
    /// folders; an empty `bytes` writes nothing, so the file stays missing.
    void write(const std::filesystem::path& name, std::string_view bytes);
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

/// The scratch folder of this process.
ScratchFolder& scratch();

}  // namespace zorvex::fuzz
