#pragma once
// A host whose clock runs a given number of times as fast as the real one,
// so that a recording on the simulated instrument covers its lapse of
// minutes in seconds. The serial line keeps its real timeouts.

#include <cstdint>

#include "platform/Host.h"

namespace zorvex {

class FastClockHost : public SystemHost {
public:
    /// Slowest and fastest rates: at 100 times a tick of the acquisition
    /// timer lasts 0.3 ms, less than a sample block takes on a pty.
    static constexpr double MinRate = 1;
    static constexpr double MaxRate = 100;

    /// A clock at `rate` (MinRate to MaxRate) times real time from now on,
    /// starting at the real local time.
    explicit FastClockHost(double rate);

    /// The local time at the start plus the fast time since.
    DateTime now() override;
    /// Fast milliseconds.
    std::int64_t steadyMs() override;
    /// Waits `ms` fast milliseconds: `ms` / rate real ones.
    void pause(int ms) override;

private:
    double rate_;
    DateTime start_;
    std::int64_t startMs_;
};

}  // namespace zorvex
