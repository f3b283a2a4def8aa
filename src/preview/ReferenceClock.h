#pragma once
// The time every renderer of a graph presents its samples against: 100-ns units, never running
// backwards. A sound renderer that plays through a device offers its own clock (the device's
// pace); otherwise the graph uses the steady clock.
#include <chrono>
#include <cstdint>

namespace vc::preview {

inline constexpr int64_t UnitsPerSecond = 10'000'000;  // 100-ns units in one second
inline constexpr int64_t UnitsPerMillisecond = 10'000;

class IReferenceClock {
 public:
  virtual ~IReferenceClock() = default;
  virtual int64_t Now() const = 0;  // 100-ns units
};

class TSteadyClock final : public IReferenceClock {
 public:
  int64_t Now() const override {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
               .count() /
           100;
  }
};

}  // namespace vc::preview
