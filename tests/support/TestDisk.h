#pragma once
// A disk double for the append path. It can fill: it holds a given number of
// bytes in the files under one folder, so a write that does not fit is cut
// short and the next fails with ENOSPC, and space comes back when a file is
// cut back, as on a real disk. And it can fail closes with EIO, as a network
// share reports a delayed write error, after really closing the descriptor.

#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "common/Files.h"

namespace zorvex::test {

class TestDisk : public DiskWrites {
public:
    long write(int fd, const char* data, std::size_t size) override {
        if (!folder) return DiskWrites::write(fd, data, size);
        const std::uintmax_t used = bytesUsed();
        if (used >= capacityBytes) {
            errno = ENOSPC;
            return -1;
        }
        const std::uintmax_t room = capacityBytes - used;
        return DiskWrites::write(fd, data, size < room ? size : static_cast<std::size_t>(room));
    }
    int close(int fd) override {
        const int closed = DiskWrites::close(fd);
        if (closesBeforeFailure > 0) {
            --closesBeforeFailure;
            return closed;
        }
        if (failingCloses == 0) return closed;
        --failingCloses;
        errno = EIO;
        return -1;
    }

    /// The disk holds the files under `where` and `spareBytes` more.
    void fillAfter(const std::filesystem::path& where, std::uintmax_t spareBytes) {
        folder = where;
        capacityBytes = 0;
        capacityBytes = bytesUsed() + spareBytes;
    }
    /// Bytes of the regular files under the folder.
    std::uintmax_t bytesUsed() const {
        std::uintmax_t total = 0;
        std::error_code error;
        for (std::filesystem::recursive_directory_iterator it(*folder, error), end; !error && it != end;
             it.increment(error)) {
            std::error_code ignored;
            if (it->is_regular_file(ignored)) total += it->file_size(ignored);
        }
        return total;
    }

    std::optional<std::filesystem::path> folder;  ///< none: a disk with room for everything
    std::uintmax_t capacityBytes = 0;
    int closesBeforeFailure = 0;                  ///< closes that succeed before the failing ones
    int failingCloses = 0;                        ///< closes that then report a delayed write error
};

}  // namespace zorvex::test
