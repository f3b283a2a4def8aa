#pragma once
// The dispatcher of the desktop: the UI thread is the thread of the Qt application, and a
// worker's call reaches it as a posted call that the worker waits for.
#include <QObject>

#include "base/Dispatcher.h"

namespace vc::gui {

class TQtDispatcher final : public base::IDispatcher {
 public:
  // Create on the UI thread, after the application object.
  TQtDispatcher();
  ~TQtDispatcher() override;
  TQtDispatcher(const TQtDispatcher&) = delete;
  TQtDispatcher& operator=(const TQtDispatcher&) = delete;

  void invokeSync(const std::function<void()>& fn) override;
  // Runs only the calls the workers have posted: code that waits for a worker on the UI thread
  // (an engine that is being destroyed) must not see user input or timers meanwhile.
  void processMessages() override;
  bool isUiThread() const override;

 private:
  QObject FReceiver;  // lives on the UI thread; the workers' calls are posted to it
};

}  // namespace vc::gui
