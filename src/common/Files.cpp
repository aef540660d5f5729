#include "common/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <utility>

namespace zorvex {

namespace fs = std::filesystem;

namespace {

bool writeAll(DiskWrites& disk, int fd, std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const long n = disk.write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// A rename is only safe from a power cut once its folder is on disk too. Some
// file systems cannot sync a folder at all; they keep nothing to flush.
bool syncFolder(const fs::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return synced;
}

}  // namespace

std::string lastSystemError() {
    char buffer[256];
    return ::strerror_r(errno, buffer, sizeof buffer);
}

long DiskWrites::write(int fd, const char* data, std::size_t size) { return ::write(fd, data, size); }

int DiskWrites::close(int fd) { return ::close(fd); }

DiskWrites& systemDiskWrites() {
    static DiskWrites calls;
    return calls;
}

std::optional<std::string> readFile(const fs::path& path, std::size_t maxBytes) {
    // Non-blocking, so a FIFO in place of a file cannot hang the open; the
    // flag does nothing to regular files, and fstat refuses everything else.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || static_cast<std::size_t>(info.st_size) > maxBytes) {
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || bytes.size() + static_cast<std::size_t>(n) > maxBytes) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return bytes;
}

std::optional<FileTail> readFileTail(const fs::path& path, std::size_t maxBytes) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    const auto size = static_cast<std::uintmax_t>(info.st_size);
    FileTail tail;
    tail.skippedBytes = size > maxBytes ? size - maxBytes : 0;
    tail.bytes.resize(static_cast<std::size_t>(size - tail.skippedBytes));
    std::size_t got = 0;
    while (got < tail.bytes.size()) {
        const ssize_t n = ::pread(fd, tail.bytes.data() + got, tail.bytes.size() - got,
                                  static_cast<off_t>(tail.skippedBytes + got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // the file shrank meanwhile: what was read stands
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    tail.bytes.resize(got);
    if (tail.skippedBytes > 0) {
        // A line cut in two would read as a garbled event.
        const std::size_t lineEnd = tail.bytes.find('\n');
        const std::size_t cut = lineEnd == std::string::npos ? tail.bytes.size() : lineEnd + 1;
        tail.bytes.erase(0, cut);
        tail.skippedBytes += cut;
    }
    return tail;
}

bool writeFile(const fs::path& path, std::string_view bytes) {
    FileReplacement replacement(path);
    return replacement.append(bytes) && replacement.commit();
}

FileReplacement::FileReplacement(fs::path path) : path_(std::move(path)), temporary_(path_) {
    temporary_ += ".tmp";
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

FileReplacement::~FileReplacement() {
    if (fd_ < 0) return;
    ::close(fd_);
    ::unlink(temporary_.c_str());
}

bool FileReplacement::append(std::string_view bytes) {
    if (fd_ >= 0 && writeAll(systemDiskWrites(), fd_, bytes)) return true;
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(temporary_.c_str());
        fd_ = -1;
    }
    return false;
}

bool FileReplacement::commit() {
    if (fd_ < 0) return false;
    bool ok = ::fsync(fd_) == 0;
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
    if (ok && ::rename(temporary_.c_str(), path_.c_str()) == 0) return syncFolder(path_.parent_path());
    ::unlink(temporary_.c_str());
    return false;
}

namespace {

// Writes at `offset`, or at the end when there is none; every failure,
// including one that only close() reports, leaves the file as it was.
bool writeWhole(const fs::path& path, std::optional<std::uintmax_t> offset, std::string_view bytes,
                DiskWrites& disk) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    struct stat info {};
    const bool placed = ::fstat(fd, &info) == 0 && (!offset || *offset >= static_cast<std::uintmax_t>(info.st_size));
    if (!placed) {
        ::close(fd);
        return false;
    }
    const auto position = static_cast<off_t>(offset.value_or(static_cast<std::uintmax_t>(info.st_size)));
    bool ok = ::lseek(fd, position, SEEK_SET) == position && writeAll(disk, fd, bytes);
    int failure = errno;
    // Never leave a partial record behind: readers count whole records only.
    if (!ok) (void)::ftruncate(fd, info.st_size);
    if (disk.close(fd) != 0 && ok) {
        ok = false;
        failure = errno;
        (void)::truncate(path.c_str(), info.st_size);
    }
    errno = failure;  // the caller tells the first failure, not the undo's
    return ok;
}

}  // namespace

bool appendFile(const fs::path& path, std::string_view bytes, DiskWrites& disk) {
    return writeWhole(path, std::nullopt, bytes, disk);
}

bool writeFileAt(const fs::path& path, std::uintmax_t offset, std::string_view bytes, DiskWrites& disk) {
    return writeWhole(path, offset, bytes, disk);
}

bool copyFile(const fs::path& source, const fs::path& target, std::size_t maxBytes) {
    auto bytes = readFile(source, maxBytes);
    return bytes && writeFile(target, *bytes);
}

int countLines(const fs::path& path) {
    auto bytes = readFile(path);
    return bytes ? countLinesOf(*bytes) : 0;
}

int countLinesOf(std::string_view bytes) {
    // Every LF ends a line, and so does a CR that no LF follows; the searches
    // are the library's, which beat a loop over every byte.
    long long lines = 0;
    for (std::size_t at = bytes.find('\n'); at != std::string_view::npos; at = bytes.find('\n', at + 1)) ++lines;
    for (std::size_t at = bytes.find('\r'); at != std::string_view::npos; at = bytes.find('\r', at + 1)) {
        if (at + 1 >= bytes.size() || bytes[at + 1] != '\n') ++lines;
    }
    if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r') ++lines;
    return lines >= 32768 ? 0 : static_cast<int>(lines);
}

bool fileExists(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

bool folderExists(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

bool staysInside(const fs::path& path, const fs::path& folder) {
    std::error_code error;
    const fs::path target = fs::weakly_canonical(path, error);
    if (error) return false;
    fs::path root = fs::weakly_canonical(folder, error);
    if (error) return false;
    if (!root.has_filename()) root = root.parent_path();  // "dir/" names the folder too
    return std::mismatch(root.begin(), root.end(), target.begin(), target.end()).first == root.end();
}

}  // namespace zorvex
