#include "app/cli/TerminalSession.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>

#include "base/Format.h"
#include "engine/AVConverter.h"

namespace vc::cli {

namespace {
std::atomic<bool> interrupted{false};
void onInterrupt(int) { interrupted.store(true); }
}  // namespace

TProgressDisplay::TProgressDisplay() : FTerminal(isatty(STDOUT_FILENO)), FBegin(std::chrono::steady_clock::now()) {}

void TProgressDisplay::Show(const engine::TAVConverter& converter) {
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

void TProgressDisplay::End() {
  if (FDirty) std::printf("\n");
  FDirty = false;
}

TTerminalSession::TTerminalSession() {
  base::SetDispatcher(&FDispatcher);
  interrupted.store(false);
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

TTerminalSession::~TTerminalSession() {
  signal(SIGINT, SIG_DFL);
  signal(SIGTERM, SIG_DFL);
  base::SetDispatcher(nullptr);
}

void TTerminalSession::RunUntil(const std::function<bool()>& done, const std::function<void()>& stop) {
  bool stopAsked = false;
  while (!done()) {
    FDispatcher.waitForMessages(std::chrono::milliseconds(50));
    if (interrupted.load() && !stopAsked) {
      stop();
      stopAsked = true;
    }
  }
}

}  // namespace vc::cli
