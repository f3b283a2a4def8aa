#pragma once
// What a conversion on the terminal needs around it: this thread as the UI thread the workers
// call, Ctrl+C turned into a stop request, and a progress display.
#include <chrono>
#include <functional>

#include "base/Dispatcher.h"

namespace vc::engine {
class TAVConverter;
}

namespace vc::cli {

// One line that rewrites itself on a terminal; plain lines, one per percent, otherwise.
class TProgressDisplay final {
 public:
  TProgressDisplay();
  void Show(const engine::TAVConverter& converter);
  // Ends the rewritten line.
  void End();

 private:
  bool FTerminal;
  bool FDirty = false;
  int FLastPercent = -1;
  std::chrono::steady_clock::time_point FBegin;
};

class TTerminalSession final {
 public:
  TTerminalSession();
  ~TTerminalSession();
  TTerminalSession(const TTerminalSession&) = delete;
  TTerminalSession& operator=(const TTerminalSession&) = delete;

  TProgressDisplay& Display() { return FDisplay; }
  // Serves the workers' calls until done() holds; on Ctrl+C or SIGTERM calls stop() once.
  void RunUntil(const std::function<bool()>& done, const std::function<void()>& stop);

 private:
  base::TQueueDispatcher FDispatcher;
  TProgressDisplay FDisplay;
};

}  // namespace vc::cli
