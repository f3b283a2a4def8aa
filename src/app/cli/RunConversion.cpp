// Runs one conversion on the terminal: progress display, Ctrl+C as a stop, the exit status.
#include "app/cli/RunConversion.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>

#include "base/Dispatcher.h"
#include "base/Format.h"
#include "engine/AVConverter.h"

namespace vc::cli {

namespace {

std::atomic<bool> interrupted{false};

void onInterrupt(int) { interrupted.store(true); }

// One line that rewrites itself on a terminal; plain lines, one per percent, otherwise.
class TProgressDisplay final {
 public:
  TProgressDisplay() : FTerminal(isatty(STDOUT_FILENO)), FBegin(std::chrono::steady_clock::now()) {}

  void Show(const engine::TAVConverter& converter) {
    const int percent = converter.Progress();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - FBegin).count();
    const double speed = wall > 0 ? converter.ConvertedDuration() / wall : 0;
    // The wall clock of this display is finer than the converter's half-second report.
    const std::string left =
        percent > 0 ? base::TimeText(static_cast<int64_t>(wall * (100 - percent) / percent + 0.5)) : "?";
    if (FTerminal) {
      std::printf("\r%3d%%  speed %.2fx  time left %s   ", percent, speed, left.c_str());
      std::fflush(stdout);
      FDirty = true;
    } else if (percent != FLastPercent) {
      std::printf("progress %d%% speed %.2fx time left %s\n", percent, speed, left.c_str());
      std::fflush(stdout);
    }
    FLastPercent = percent;
  }
  void End() {
    if (FDirty) std::printf("\n");
    FDirty = false;
  }

 private:
  bool FTerminal;
  bool FDirty = false;
  int FLastPercent = -1;
  std::chrono::steady_clock::time_point FBegin;
};

}  // namespace

int RunConversion(const tasks::TConversionSettings& settings) {
  base::TQueueDispatcher dispatcher;
  base::SetDispatcher(&dispatcher);
  struct TRestore {
    ~TRestore() { base::SetDispatcher(nullptr); }
  } restore;

  TProgressDisplay display;
  bool completed = false;
  bool stopped = false;
  std::string errorText;
  {
    engine::TAVConverter converter;
    converter.SetConvertOptions(settings.ConvertOptions);
    converter.InputFiles().Add(settings.SourceFile);
    converter.OutputFiles().Add(settings.TargetFile);
    converter.OnProgress = [&](engine::TAVConverter& c) { display.Show(c); };
    converter.OnStopped = [&](engine::TAVConverter&) { stopped = true; };
    converter.OnComplete = [&](engine::TAVConverter& c) {
      errorText = c.ErrorText();
      if (errorText.empty()) display.Show(c);  // progress events are rate-limited: show where it ended
      display.End();
      completed = true;
    };

    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    converter.Start();
    bool stopAsked = false;
    while (!completed) {
      dispatcher.waitForMessages(std::chrono::milliseconds(50));
      if (interrupted.load() && !stopAsked) {
        converter.Stop();
        stopAsked = true;
      }
    }
  }
  if (!errorText.empty()) return 1;
  if (stopped) {
    std::fprintf(stderr, "Stopped; %s holds what was converted until then.\n", settings.TargetFile.c_str());
    return 130;
  }
  return 0;
}

}  // namespace vc::cli
