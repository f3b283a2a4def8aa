#pragma once
// The converter's progress numbers, as pure functions of its published values.
#include <cstdint>

namespace vc::engine {

// Percent converted (0..100). startTime and recordingTime in µs (the maximum meaning no limit),
// duration and converted in s.
int ComputeProgress(int64_t startTime, int64_t recordingTime, double duration, double converted);

// Seconds left: 362439 (about 100 hours) while nothing is known, else extrapolated from elapsed.
int64_t ComputeRemainingSeconds(int progress, int64_t elapsedSeconds);

}  // namespace vc::engine
