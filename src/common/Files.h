#pragma once
// Whole-file access with the guarantees the store relies on: bounded reads,
// replacement that never leaves a half-written file, and appends that add a
// whole record or nothing.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zorvex {

/// The system calls that put appended bytes on disk. Appends go through them
/// so a test can fill the disk, or fail a close as a network share does when
/// it reports a delayed write error only there.
class DiskWrites {
public:
    virtual ~DiskWrites() = default;
    /// As write(2): bytes written, or -1 with errno set.
    virtual long write(int fd, const char* data, std::size_t size);
    /// As close(2): the descriptor is released either way; -1 with errno on failure.
    virtual int close(int fd);
};

/// The real system calls.
DiskWrites& systemDiskWrites();

/// Largest text file a record reader accepts; anything longer is not ours.
constexpr std::size_t MaxRecordFileBytes = 16 * 1024 * 1024;

/// The bytes of a file; nothing when it is missing, unreadable, a folder, or
/// longer than `maxBytes`.
std::optional<std::string> readFile(const std::filesystem::path& path, std::size_t maxBytes = MaxRecordFileBytes);

/// The end of a file too long to show whole.
struct FileTail {
    std::string bytes;               ///< whole lines from the end, at most the bytes asked for
    std::uintmax_t skippedBytes = 0;  ///< bytes before them that were left out
};

/// The last `maxBytes` of a file of any size, starting after a line break
/// when it is cut; nothing when it is missing, unreadable or not a file.
std::optional<FileTail> readFileTail(const std::filesystem::path& path, std::size_t maxBytes);

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
    /// Flushes the new file to disk, gives it the name and syncs the folder,
    /// so the new name survives a power cut; false, leaving the old file,
    /// when a write or the rename failed, and false too when only the folder
    /// could not be synced (the new file is then in place but not yet safe).
    bool commit();

private:
    std::filesystem::path path_;
    std::filesystem::path temporary_;
    int fd_ = -1;
};

/// Appends in one write; on a short write or a failed close the file is cut
/// back to its old length, so readers only ever see whole records.
bool appendFile(const std::filesystem::path& path, std::string_view bytes, DiskWrites& disk = systemDiskWrites());

/// Writes `bytes` at `offset` of a file (created when missing) at least that
/// long; a gap before it reads as zeros. A failed write or close cuts the
/// file back to its old length. False, changing nothing, when the file is
/// already longer than `offset`.
bool writeFileAt(const std::filesystem::path& path, std::uintmax_t offset, std::string_view bytes,
                 DiskWrites& disk = systemDiskWrites());

/// Copies `source` over `target`; false on any failure (including a source
/// longer than `maxBytes`), never throws.
bool copyFile(const std::filesystem::path& source, const std::filesystem::path& target,
              std::size_t maxBytes = static_cast<std::size_t>(1) << 40);

/// Number of lines of a text file (a last line without line end counts);
/// 0 when it cannot be read or has 32768 lines or more.
int countLines(const std::filesystem::path& path);

/// countLines on bytes already read.
int countLinesOf(std::string_view bytes);
/// The system's words for the latest failure (errno), for messages.
std::string lastSystemError();

/// True when the path names an existing regular file; never throws.
bool fileExists(const std::filesystem::path& path);

/// True when the path names an existing folder; never throws.
bool folderExists(const std::filesystem::path& path);

/// True when `path`, with every link resolved, lies inside `folder` (or is
/// it); listings use it so a link never leads them elsewhere. Never throws.
bool staysInside(const std::filesystem::path& path, const std::filesystem::path& folder);

}  // namespace zorvex
