#pragma once
// What a running conversion needs from the converter that owns it: the options, its log, the
// error box, the user-interface crossings at the top of every loop pass, and the numbers it
// publishes while it runs.
#include <cstdint>
#include <string>

#include "engine/AVConvertOptions.h"

namespace vc::engine {

class IConversionHost {
 public:
  virtual ~IConversionHost() = default;
  virtual const TAVConvertOptions& Options() const = 0;
  // A line of the engine's own, past the log level filter and without touching the last line.
  virtual void EngineLog(int level, const std::string& line) = 0;
  // A line that counts like one of the media library's: level filter, last log line.
  virtual void LibraryLog(int level, const std::string& line) = 0;
  // The modal error box, shown on the user-interface thread; returns when it is closed.
  virtual void ShowErrorBox(const std::string& text) = 0;
  // Top of a loop pass: progress (rate-limited), the pause wait, the stop request. True when a stop
  // was asked for; the stop event has then been raised.
  virtual bool LoopPass() = 0;

  virtual void SetDuration(double seconds) = 0;
  virtual void SetConvertedDuration(double seconds) = 0;
  virtual void SetLoopStartTime(int64_t wallMicroseconds) = 0;
  // The periodic report's numbers; bitrate in kbit/s.
  virtual void SetReport(int64_t wallMicroseconds, int64_t outputSize, int64_t inputSize, double bitrate) = 0;
  virtual int64_t LastReportTime() const = 0;
};

}  // namespace vc::engine
