#pragma once
// The time window an any-frame seek of the decoder may land in, around the previous position:
// forwards it must pass the previous position, backwards stay before it, and a seek to the same
// position stays within 2 microseconds of it.
#include <cstdint>

namespace vc::preview {

struct TSeekBounds {
  int64_t Minimum;  // microseconds within the pass
  int64_t Maximum;  // microseconds within the pass
};

// target and previous: 100-ns units within the pass.
inline TSeekBounds SeekBounds(int64_t target, int64_t previous) {
  const int64_t rel = target - previous;
  const int64_t previousUs = previous / 10;
  if (rel > 0) return {previousUs + 2, INT64_MAX};
  if (rel < 0) return {INT64_MIN, previousUs - 2};
  return {previousUs - 2, previousUs + 2};
}

}  // namespace vc::preview
