#pragma once
// One run of the desktop program, from the data module to the saved configuration. The
// configuration is loaded and the Qt application made before; the message loop runs between
// construction and destruction.
#include <memory>

#include "gui/AVDesktopAlert.h"
#include "gui/QtDispatcher.h"

namespace vc::gui {

class TdmGlobal;
class TFormMain;

class TDesktop final {
 public:
  // Makes this thread the UI thread of the workers, installs the completion alerts, creates the
  // data module (raising the database's errors) and the main window.
  TDesktop();
  // The main window goes, then the data module (conversions still working are stopped and
  // waited for without being filed); the configuration is saved last.
  ~TDesktop();
  TDesktop(const TDesktop&) = delete;
  TDesktop& operator=(const TDesktop&) = delete;

  TdmGlobal& DataModule() { return *FDataModule; }
  TFormMain& FormMain() { return *FFormMain; }

 private:
  TQtDispatcher FDispatcher;
  TDesktopAlerts FAlerts;
  std::unique_ptr<TdmGlobal> FDataModule;
  std::unique_ptr<TFormMain> FFormMain;
};

// The whole desktop program: configuration, application, data module, main window, message loop,
// end of the run. Gives the exit status.
int RunDesktop(int argc, char** argv);

}  // namespace vc::gui
