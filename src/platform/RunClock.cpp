#include "platform/RunClock.h"

#include <cmath>
#include <cstdlib>

namespace zorvex {

namespace {
constexpr long long SecondsPerDay = 86400;
constexpr long long ToldMoveSeconds = 60;  // a drift corrected by time sync stays below this
}  // namespace

RunClock::RunClock(Host& host) : host_(&host), start_(host.now()), startMs_(host.steadyMs()) {}

std::int64_t RunClock::elapsedMs() const { return host_->steadyMs() - startMs_; }

DateTime RunClock::now() const { return addMinutes(start_, static_cast<double>(elapsedMs()) / 60000.0); }

long long RunClock::wallClockAheadSeconds() const {
    return std::llround((toSerialDays(host_->now()) - toSerialDays(now())) * SecondsPerDay);
}

std::optional<long long> RunClock::wallClockMoveMinutes() {
    const long long ahead = wallClockAheadSeconds();
    const long long moved = ahead - toldAheadSeconds_;
    if (std::llabs(moved) <= ToldMoveSeconds) return std::nullopt;
    toldAheadSeconds_ = ahead;
    return std::llround(static_cast<double>(moved) / 60.0);
}

}  // namespace zorvex
