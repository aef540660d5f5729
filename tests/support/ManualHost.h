#pragma once
// A Host double with a manual clock: pauses advance the clock instead of
// sleeping, so hours of acquisition run in milliseconds. Documents opened are
// recorded instead of launched. The wall clock can be set apart from the
// steady one, as a daylight-saving change or a clock correction does.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "TestDisk.h"
#include "common/DateTime.h"
#include "platform/Host.h"

namespace zorvex::test {

class ManualHost : public Host {
public:
    DateTime now() override { return addMinutes(start, elapsedMs / 60000.0 + wallShiftMinutes); }
    std::int64_t steadyMs() override { return elapsedMs; }
    void pause(int ms) override { elapsedMs += ms; }
    void yield() override {
        ++yields;
        if (onYield) onYield();
    }
    std::optional<std::uint64_t> freeDiskBytes(const std::filesystem::path&) override { return freeBytes; }
    std::string listSeparator() override { return separator; }
    bool openDocument(const std::filesystem::path& path) override {
        opened.push_back(path);
        return openSucceeds;
    }

    DiskWrites& diskWrites() override { return disk; }

    /// Moves the clock on without a pause.
    void advanceMinutes(double minutes) { elapsedMs += static_cast<std::int64_t>(minutes * 60000.0); }

    DateTime start{2026, 12, 6, 14, 58, 0};
    std::int64_t elapsedMs = 0;
    /// How far the wall clock has been set against the steady one (a
    /// daylight-saving change, a correction).
    double wallShiftMinutes = 0;
    int yields = 0;
    std::function<void()> onYield;
    std::optional<std::uint64_t> freeBytes = 100ULL * 1024 * 1024 * 1024;
    std::string separator = ",";
    std::vector<std::filesystem::path> opened;
    bool openSucceeds = true;  ///< false: the desktop has no program for documents
    TestDisk disk;
};

}  // namespace zorvex::test
