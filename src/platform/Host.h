#pragma once
// What the program asks of its host besides files: the clock, pauses, the
// event loop, free disk space, the list separator and opening documents.
// Nothing in the core reads the system clock except through this.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "common/DateTime.h"
#include "common/Files.h"

namespace zorvex {

class Host {
public:
    virtual ~Host() = default;
    /// Local date and time now.
    virtual DateTime now() = 0;
    /// Milliseconds of a steady clock, for timeouts and pacing.
    virtual std::int64_t steadyMs() = 0;
    /// Waits `ms` milliseconds.
    virtual void pause(int ms) = 0;
    /// Lets pending window events run; a no-op without windows.
    virtual void yield() = 0;
    /// Waits `ms` milliseconds while the window events keep running, for the
    /// waits of work that goes on behind a shown window. Without windows: a
    /// pause, then a yield.
    virtual void pauseResponsive(int ms) {
        pause(ms);
        yield();
    }
    /// Free bytes for an ordinary user on the file system of `folder`.
    virtual std::optional<std::uint64_t> freeDiskBytes(const std::filesystem::path& folder) = 0;
    /// The separator of comma-separated lists in the operator's locale.
    virtual std::string listSeparator() = 0;
    /// Opens a document or folder with the desktop's program for it; false
    /// when no program could be started or the desktop has none for it.
    virtual bool openDocument(const std::filesystem::path& path) = 0;
    /// The calls that append the acquisition's data files.
    virtual DiskWrites& diskWrites() { return systemDiskWrites(); }
};

/// The host of a program without windows: the real clock, real sleeps, statvfs
/// and xdg-open; yield does nothing.
class SystemHost : public Host {
public:
    DateTime now() override;
    std::int64_t steadyMs() override;
    void pause(int ms) override;
    void yield() override {}
    std::optional<std::uint64_t> freeDiskBytes(const std::filesystem::path& folder) override;
    std::string listSeparator() override;
    bool openDocument(const std::filesystem::path& path) override;
};

}  // namespace zorvex
