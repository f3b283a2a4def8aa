#pragma once
// TAVConverter: the engine as a component. Given input names, output names and an option set it
// runs one conversion at a time on its own worker thread, and reports progress, log lines, a stop,
// errors and completion. Progress, stop, error and completion reach the user-interface thread
// through the dispatcher while the worker waits; log lines arrive on the worker thread.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "base/Strings.h"
#include "engine/AVConvertOptions.h"
#include "engine/ConversionHost.h"
#include "media/MediaLibrary.h"
#include "media/MediaLog.h"

namespace vc::engine {

class TAVConverter;
class TConversion;

using TAVLogEvent = std::function<void(TAVConverter& sender, int level, const std::string& log)>;
using TAVProgressEvent = std::function<void(TAVConverter& sender)>;
using TNotifyEvent = std::function<void(TAVConverter& sender)>;

enum class TConverterState : uint8_t { Idle = 0, Running = 1, StopRequested = 2, Paused = 3 };

class TAVConverter final : private IConversionHost, private media::IMediaLogSink {
 public:
  TAVConverter();
  // Stops a running conversion and waits for its worker; the output is still finalised, but no
  // event reaches the owner that is going away.
  ~TAVConverter() override;
  TAVConverter(const TAVConverter&) = delete;
  TAVConverter& operator=(const TAVConverter&) = delete;

  TAVConvertOptions& ConvertOptions() { return FConvertOptions; }
  const TAVConvertOptions& ConvertOptions() const { return FConvertOptions; }
  void SetConvertOptions(const TAVConvertOptions& options) { FConvertOptions.Assign(options); }
  base::TStrings& InputFiles() { return FInputFiles; }
  void SetInputFiles(const base::TStrings& files) { FInputFiles = files; }
  base::TStrings& OutputFiles() { return FOutputFiles; }
  void SetOutputFiles(const base::TStrings& files) { FOutputFiles = files; }

  TAVLogEvent OnLog;            // worker thread
  TAVProgressEvent OnProgress;  // user-interface thread, at most every 40 ms
  TNotifyEvent OnComplete;      // user-interface thread, after every run
  TNotifyEvent OnStopped;       // user-interface thread, when a stop request is honoured

  double ConvertedDuration() const { return FConvertedDuration.load(); }  // s
  void SetConvertedDuration(double seconds) override { FConvertedDuration.store(seconds); }
  double Duration() const { return FDuration.load(); }  // s
  void SetDuration(double seconds) override { FDuration.store(seconds); }
  double Bitrate() const { return FBitrate.load(); }  // kbit/s
  void SetBitrate(double value) { FBitrate.store(value); }
  int Progress() const;
  int64_t StartTime() const { return FStartTime.load(); }  // µs wall clock when the loop began; 0 before
  int64_t LastTime() const { return FLastTime.load(); }    // µs wall clock of the last report; 0 before

  // Starts a run on a new worker thread. Refused (false) while a run is in progress.
  bool Start();
  void Pause();
  void Resume();
  void Stop();
  TConverterState State() const { return static_cast<TConverterState>(FState.load()); }
  // True from Start until the run has raised OnComplete.
  bool Busy() const;

  // 0 until the first report: before it LastTime is still 0 and the difference would be negative.
  int64_t ElapsedSeconds() const {
    const int64_t last = LastTime();
    const int64_t start = StartTime();
    return last > start && start > 0 ? (last - start) / 1000000 : 0;
  }
  int64_t RemainingSeconds() const;
  int64_t OutputSize() const { return FOutputSize.load(); }  // bytes of the first output file
  int64_t InputSize() const { return FInputSize.load(); }    // bytes of the first input file
  int LogLevel() const { return FLogLevel.load(); }
  void SetLogLevel(int level) { FLogLevel.store(static_cast<int8_t>(level)); }
  std::string LastLogLine() const;
  std::string ErrorText() const;

 private:
  // IConversionHost
  const TAVConvertOptions& Options() const override { return FConvertOptions; }
  void EngineLog(int level, const std::string& line) override;
  void LibraryLog(int level, const std::string& line) override;
  void ShowErrorBox(const std::string& text) override;
  bool LoopPass() override;
  void SetLoopStartTime(int64_t wallMicroseconds) override { FStartTime.store(wallMicroseconds); }
  void SetReport(int64_t wallMicroseconds, int64_t outputSize, int64_t inputSize, double bitrate) override;
  int64_t LastReportTime() const override { return FLastTime.load(); }
  // IMediaLogSink
  int MediaLogLevel() const override { return FLogLevel.load(); }
  void MediaLog(int level, const std::string& line) override;

  void execute();
  void uiCall(const std::function<void()>& fn);
  void doLog(int level, const std::string& line);
  void doProgress();
  void doStopped();
  void doError();
  void doComplete();
  void setState(TConverterState state);

  media::TMediaLibraryUse FLibrary;  // first member: the libraries outlive everything below
  TAVConvertOptions FConvertOptions;
  base::TStrings FInputFiles;
  base::TStrings FOutputFiles;

  std::atomic<double> FConvertedDuration{0};
  std::atomic<double> FDuration{0};
  std::atomic<double> FBitrate{0};
  std::atomic<int64_t> FStartTime{0};
  std::atomic<int64_t> FLastTime{0};
  std::atomic<int64_t> FOutputSize{0};
  std::atomic<int64_t> FInputSize{0};
  std::atomic<int8_t> FLogLevel{24};
  std::atomic<uint8_t> FState{0};
  std::atomic<bool> FDestroying{false};
  int64_t FLastProgressCall = 0;  // µs, monotonic; worker only

  mutable std::mutex FTextMutex;  // guards the two texts below
  std::string FLastLogLine;
  std::string FErrorText;

  mutable std::mutex FControl;    // guards the worker's life and the pause wait
  std::condition_variable FStateChanged;
  std::condition_variable FFinishedSignal;
  bool FRunning = false;          // between Start and the end of the worker
  std::unique_ptr<TConversion> FConversion;
  std::thread FWorker;
};

}  // namespace vc::engine
