#pragma once
// The time of a run. Elapsed time is the monotonic clock's, counted from the
// start; a date and time of the run is the start's local time plus that
// elapsed time, in the start's UTC offset. So a daylight-saving change or a
// clock correction during a run neither repeats nor skips an hour, and never
// shortens or lengthens the lapse.

#include <cstdint>
#include <optional>

#include "common/DateTime.h"
#include "platform/Host.h"

namespace zorvex {

class RunClock {
public:
    /// A clock that starts now.
    explicit RunClock(Host& host);

    /// The start: local time as the wall clock gave it then.
    const DateTime& start() const { return start_; }
    /// Milliseconds since the start, from the monotonic clock.
    std::int64_t elapsedMs() const;
    /// The start's local time plus the elapsed time.
    DateTime now() const;
    /// Minutes the wall clock moved (positive: forward) against this clock
    /// since the latest move told, or the start, when it is more than one;
    /// nothing otherwise.
    std::optional<long long> wallClockMoveMinutes();

private:
    long long wallClockAheadSeconds() const;

    Host* host_;
    DateTime start_;
    std::int64_t startMs_;
    long long toldAheadSeconds_ = 0;
};

}  // namespace zorvex
