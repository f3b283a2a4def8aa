#include "engine/Progress.h"

#include <algorithm>
#include <cmath>

namespace vc::engine {

int ComputeProgress(int64_t startTime, int64_t recordingTime, double duration, double converted) {
  double percent = 0;
  if (startTime <= 0 && duration * 1000000.0 <= static_cast<double>(recordingTime)) {
    if (duration > 0) percent = converted / duration * 100;
  } else {
    const double span = std::round(duration * 1000000.0) - static_cast<double>(startTime);  // µs
    const double total = std::min(static_cast<double>(recordingTime), span);
    // A start at or past the input's end leaves nothing to measure against.
    if (total > 0) percent = converted * 100 * 1000000.0 / total;
  }
  return static_cast<int>(std::lround(std::clamp(percent, 0.0, 100.0)));
}

int64_t ComputeRemainingSeconds(int progress, int64_t elapsedSeconds) {
  if (progress <= 0) return 362439;
  return elapsedSeconds * (100 - progress) / progress;
}

}  // namespace vc::engine
