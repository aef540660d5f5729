#pragma once
// The instruction sets CalculateActivities is compiled for. It picks the best
// the processor has; tests pick each in turn to compare them.

#include <vector>

namespace zorvex {

enum class LaneSet { Baseline, Sse42, Avx2 };

/// The sets this processor runs, best last (Baseline always).
std::vector<LaneSet> supportedLaneSets();

/// Makes CalculateActivities use `set` from now on; it must be supported.
void useLaneSet(LaneSet set);

}  // namespace zorvex
