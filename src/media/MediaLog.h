#pragma once
// The media libraries have one process-wide log hook, while several conversions run at once.
// The router hands each line to the sink registered for the thread that produced it; lines of
// other threads are dropped. The registry is guarded: workers add and remove themselves while
// any thread may be logging.
#include <string>

namespace vc::media {

class IMediaLogSink {
 public:
  virtual ~IMediaLogSink() = default;
  // Largest library log level the sink wants (AV_LOG_* numbers: 16 error, 24 warning, ...).
  virtual int MediaLogLevel() const = 0;
  // One formatted line without its trailing newline, on the thread that produced it.
  virtual void MediaLog(int level, const std::string& line) = 0;
};

// Registers sink for the calling thread until the object goes.
class TMediaLogThread final {
 public:
  explicit TMediaLogThread(IMediaLogSink* sink);
  ~TMediaLogThread();
  TMediaLogThread(const TMediaLogThread&) = delete;
  TMediaLogThread& operator=(const TMediaLogThread&) = delete;
};

// The library filters lines above its own level before our hook sees them; a sink that wants
// more detail raises it (never lowers it, another sink may want it).
void RaiseMediaLogLevel(int level);

// Number of registered threads (for diagnostics and tests).
int RegisteredLogThreads();

// Called by the library binding when it registers and unregisters.
void InstallMediaLogRouter();
void RemoveMediaLogRouter();

}  // namespace vc::media
