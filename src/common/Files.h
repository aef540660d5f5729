#pragma once
// Whole-file access with the guarantees the store relies on: bounded reads,
// replacement that never leaves a half-written file, and appends that add a
// whole record or nothing.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zorvex {

/// Largest text file a record reader accepts; anything longer is not ours.
constexpr std::size_t MaxRecordFileBytes = 16 * 1024 * 1024;

/// The bytes of a file; nothing when it is missing, unreadable, a folder, or
/// longer than `maxBytes`.
std::optional<std::string> readFile(const std::filesystem::path& path, std::size_t maxBytes = MaxRecordFileBytes);

/// Creates or replaces a file. The bytes go to a temporary file beside it,
/// which then takes its name, so a crash or a full disk keeps the old file.
bool writeFile(const std::filesystem::path& path, std::string_view bytes);

/// A file replaced by one written beside it in pieces, for contents too large
/// to hold at once: the old file stays whole until commit() renames the new
/// one over it; a replacement dropped without commit() removes its own file.
class FileReplacement {
public:
    explicit FileReplacement(std::filesystem::path path);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    /// Adds bytes to the new file; false once any write has failed.
    bool append(std::string_view bytes);
    /// Flushes the new file to disk and gives it the name; false, leaving the
    /// old file, when a write or the rename failed.
    bool commit();

private:
    std::filesystem::path path_;
    std::filesystem::path temporary_;
    int fd_ = -1;
};

/// Appends in one write; on a short write the file is cut back to its old
/// length, so readers only ever see whole records.
bool appendFile(const std::filesystem::path& path, std::string_view bytes);

/// Copies `source` over `target`; false on any failure (including a source
/// longer than `maxBytes`), never throws.
bool copyFile(const std::filesystem::path& source, const std::filesystem::path& target,
              std::size_t maxBytes = static_cast<std::size_t>(1) << 40);

/// Number of lines of a text file (a last line without line end counts);
/// 0 when it cannot be read or has 32768 lines or more.
int countLines(const std::filesystem::path& path);

/// countLines on bytes already read.
int countLinesOf(std::string_view bytes);

/// True when the path names an existing regular file; never throws.
bool fileExists(const std::filesystem::path& path);

/// True when the path names an existing folder; never throws.
bool folderExists(const std::filesystem::path& path);

/// True when `path`, with every link resolved, lies inside `folder` (or is
/// it); listings use it so a link never leads them elsewhere. Never throws.
bool staysInside(const std::filesystem::path& path, const std::filesystem::path& folder);

}  // namespace zorvex
