#include "common/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <utility>

namespace zorvex {

namespace fs = std::filesystem;

namespace {

bool writeAll(int fd, std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

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
    if (fd_ >= 0 && writeAll(fd_, bytes)) return true;
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
    if (ok && ::rename(temporary_.c_str(), path_.c_str()) == 0) return true;
    ::unlink(temporary_.c_str());
    return false;
}

bool appendFile(const fs::path& path, std::string_view bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        return false;
    }
    bool ok = writeAll(fd, bytes);
    if (!ok) {
        // Never leave a partial record behind: readers count whole records only.
        (void)::ftruncate(fd, info.st_size);
    }
    return ::close(fd) == 0 && ok;
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
    long long lines = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\n' || (c == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n'))) ++lines;
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
