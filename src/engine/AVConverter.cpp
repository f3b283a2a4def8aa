#include "engine/AVConverter.h"

#include <pthread.h>

#include <exception>

#include "base/Dispatcher.h"
#include "base/Format.h"
#include "base/Prompts.h"
#include "engine/Conversion.h"
#include "engine/Progress.h"

extern "C" {
#include <libavutil/time.h>
}

namespace vc::engine {

namespace {
constexpr int64_t progressInterval = 40000;  // µs: a screen shows no more
}

TAVConverter::TAVConverter() = default;

TAVConverter::~TAVConverter() {
  FDestroying.store(true);
  Stop();
  std::unique_lock lock(FControl);
  while (FRunning) {
    // A worker may be waiting in a call to this (the user-interface) thread: serve it meanwhile.
    lock.unlock();
    if (base::Dispatcher().isUiThread()) base::Dispatcher().processMessages();
    lock.lock();
    FFinishedSignal.wait_for(lock, std::chrono::milliseconds(5), [this] { return !FRunning; });
  }
  lock.unlock();
  if (FWorker.joinable()) FWorker.join();
}

int TAVConverter::Progress() const {
  return ComputeProgress(FConvertOptions.StartTime, FConvertOptions.RecordingTime, Duration(), ConvertedDuration());
}

int64_t TAVConverter::RemainingSeconds() const { return ComputeRemainingSeconds(Progress(), ElapsedSeconds()); }

std::string TAVConverter::LastLogLine() const {
  std::lock_guard lock(FTextMutex);
  return FLastLogLine;
}

std::string TAVConverter::ErrorText() const {
  std::lock_guard lock(FTextMutex);
  return FErrorText;
}

bool TAVConverter::Busy() const {
  std::lock_guard lock(FControl);
  return FRunning;
}

bool TAVConverter::Start() {
  std::unique_lock lock(FControl);
  if (FRunning || FDestroying.load()) return false;
  if (FWorker.joinable()) FWorker.join();  // the previous run has ended
  {
    std::lock_guard text(FTextMutex);
    FErrorText.clear();
  }
  FStartTime.store(0);
  FLastTime.store(0);
  FConvertedDuration.store(0);
  FLastProgressCall = 0;
  // The run works on its own copies, taken here on the owner's thread.
  IConversionHost& host = *this;
  FConversion = std::make_unique<TConversion>(host, FConvertOptions, FInputFiles, FOutputFiles);
  // Running from here on, so a stop asked for while the inputs are still opening is honoured.
  FState.store(static_cast<uint8_t>(TConverterState::Running));
  FRunning = true;
  FWorker = std::thread([this] { execute(); });
  return true;
}

void TAVConverter::setState(TConverterState state) {
  {
    std::lock_guard lock(FControl);
    FState.store(static_cast<uint8_t>(state));
  }
  FStateChanged.notify_all();
}

void TAVConverter::Pause() {
  std::lock_guard lock(FControl);
  if (State() == TConverterState::Running) FState.store(static_cast<uint8_t>(TConverterState::Paused));
}

void TAVConverter::Resume() {
  {
    std::lock_guard lock(FControl);
    if (State() == TConverterState::Paused) FState.store(static_cast<uint8_t>(TConverterState::Running));
  }
  FStateChanged.notify_all();
}

void TAVConverter::Stop() {
  {
    std::lock_guard lock(FControl);
    const TConverterState state = State();
    if (state == TConverterState::Running || state == TConverterState::Paused)
      FState.store(static_cast<uint8_t>(TConverterState::StopRequested));
  }
  FStateChanged.notify_all();
}

void TAVConverter::execute() {
  if (!FInputFiles.Empty()) {
    const std::string name = "Converting " + FInputFiles[0];
    pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
  }
  {
    media::IMediaLogSink* sink = this;
    media::TMediaLogThread logThread(sink);
    media::RaiseMediaLogLevel(LogLevel());
    try {
      FConversion->SetUp();
      FConversion->Transcode();
    } catch (const std::exception& e) {
      {
        std::lock_guard text(FTextMutex);
        FErrorText = e.what();
      }
      doError();
    } catch (...) {
      {
        std::lock_guard text(FTextMutex);
        FErrorText = "Unknown error";
      }
      doError();
    }
    try {
      FConversion.reset();
    } catch (...) {
      // Releasing must not keep the run from ending.
    }
    setState(TConverterState::Idle);
    doComplete();
  }
  {
    std::lock_guard lock(FControl);
    FRunning = false;
  }
  FFinishedSignal.notify_all();
}

void TAVConverter::uiCall(const std::function<void()>& fn) {
  if (FDestroying.load()) return;
  base::Dispatcher().invokeSync(fn);
}

bool TAVConverter::LoopPass() {
  const int64_t now = av_gettime_relative();
  if (now - FLastProgressCall >= progressInterval) {
    FLastProgressCall = now;
    doProgress();
  }
  uint8_t state = FState.load();
  if (state == static_cast<uint8_t>(TConverterState::Paused)) {
    std::unique_lock lock(FControl);
    FStateChanged.wait(lock, [this] { return FState.load() != static_cast<uint8_t>(TConverterState::Paused); });
    state = FState.load();
  }
  if (state == static_cast<uint8_t>(TConverterState::StopRequested)) {
    doStopped();
    return true;
  }
  return false;
}

void TAVConverter::SetReport(int64_t wallMicroseconds, int64_t outputSize, int64_t inputSize, double bitrate) {
  FLastTime.store(wallMicroseconds);
  if (outputSize >= 0) FOutputSize.store(outputSize);
  if (inputSize >= 0) FInputSize.store(inputSize);
  if (bitrate >= 0) FBitrate.store(bitrate);
}

void TAVConverter::MediaLog(int level, const std::string& line) {
  {
    std::lock_guard lock(FTextMutex);
    FLastLogLine = line;
  }
  doLog(level, line);
}

void TAVConverter::LibraryLog(int level, const std::string& line) {
  if (level <= LogLevel()) MediaLog(level, line);
}

void TAVConverter::EngineLog(int level, const std::string& line) { doLog(level, line); }

void TAVConverter::ShowErrorBox(const std::string& text) {
  uiCall([&] { base::Prompts().ShowError(text); });
}

void TAVConverter::doLog(int level, const std::string& line) {
  if (OnLog) OnLog(*this, level, line);
}

void TAVConverter::doProgress() {
  uiCall([this] {
    if (!OnProgress) return;
    try {
      OnProgress(*this);
    } catch (const std::exception& e) {
      base::Prompts().ShowError(e.what());
    }
  });
}

void TAVConverter::doStopped() {
  uiCall([this] {
    if (OnStopped) OnStopped(*this);
  });
}

void TAVConverter::doError() {
  const std::string text = base::Format("%s:%s", ErrorText().c_str(), LastLogLine().c_str());
  uiCall([&] { base::Prompts().ShowError(text); });
}

void TAVConverter::doComplete() {
  uiCall([this] {
    try {
      if (OnComplete) OnComplete(*this);
    } catch (...) {
      // A failing completion handler must not take the worker down.
    }
  });
}

}  // namespace vc::engine
