#include "platform/FastClockHost.h"

#include <algorithm>
#include <cmath>

namespace zorvex {

FastClockHost::FastClockHost(double rate)
    : rate_(std::clamp(rate, MinRate, MaxRate)), start_(SystemHost::now()), startMs_(SystemHost::steadyMs()) {}

DateTime FastClockHost::now() {
    return addMinutes(start_, static_cast<double>(steadyMs() - startMs_) / 60000.0);
}

std::int64_t FastClockHost::steadyMs() {
    return startMs_ + std::llround(static_cast<double>(SystemHost::steadyMs() - startMs_) * rate_);
}

void FastClockHost::pause(int ms) {
    if (ms > 0) SystemHost::pause(static_cast<int>(std::ceil(ms / rate_)));
}

}  // namespace zorvex
