#include "gui/Desktop.h"

#include <QApplication>
#include <exception>

#include "base/Prompts.h"
#include "gui/FormMain.h"
#include "gui/ProductInfo.h"
#include "gui/QtPrompts.h"
#include "gui/dmGlobal.h"
#include "tasks/AVConfiguration.h"
#include "tasks/CompletionAlerts.h"
#include "tasks/SqliteDatabase.h"
#include "tasks/TaskDatabase.h"

namespace vc::gui {

TDesktop::TDesktop() {
  base::SetDispatcher(&FDispatcher);
  tasks::SetCompletionAlerts(&FAlerts);
  try {
    FDataModule = std::make_unique<TdmGlobal>();
    FFormMain = std::make_unique<TFormMain>(*FDataModule);
  } catch (...) {
    FFormMain.reset();
    FDataModule.reset();
    tasks::SetCompletionAlerts(nullptr);
    base::SetDispatcher(nullptr);
    throw;
  }
}

TDesktop::~TDesktop() {
  FFormMain.reset();
  FDataModule.reset();
  tasks::SetCompletionAlerts(nullptr);
  base::SetDispatcher(nullptr);
  try {
    tasks::Configuration().Save();
  } catch (const std::exception& e) {
    base::Prompts().ShowError(e.what());
  }
}

int RunDesktop(int argc, char** argv) {
  // The configuration comes before the application object.
  std::string configurationError;
  try {
    tasks::Configuration().Load();
  } catch (const std::exception& e) {
    configurationError = e.what();
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(ProductName));
  QApplication::setApplicationDisplayName(QString::fromLatin1(ProductName));
  QApplication::setApplicationVersion(QString::fromLatin1(FileVersion));
  QApplication::setDesktopFileName(QStringLiteral("velocast"));
  QApplication::setWindowIcon(TdmGlobal::ProgramIcon());
  TQtPrompts prompts;
  base::SetPrompts(&prompts);
  struct TRestorePrompts {
    ~TRestorePrompts() { base::SetPrompts(nullptr); }
  } restorePrompts;

  if (!configurationError.empty()) {
    // A configuration that cannot be read is left as it is for the user to mend, not overwritten.
    base::Prompts().ShowError(configurationError + "\n" + tasks::TAVConfiguration::GetConfigFile());
    return 1;
  }
  std::unique_ptr<TDesktop> desktop;
  try {
    desktop = std::make_unique<TDesktop>();
  } catch (const tasks::EDatabaseError& e) {
    base::Prompts().ShowError(std::string(e.what()) + "\n\n" + tasks::TTaskDatabase::CreateHint());
    return 1;
  } catch (const std::exception& e) {
    base::Prompts().ShowError(e.what());
    return 1;
  }
  desktop->FormMain().OnClosed = [] { QApplication::quit(); };
  application.setQuitOnLastWindowClosed(false);
  desktop->FormMain().showMaximized();
  const int status = application.exec();
  desktop.reset();
  return status;
}

}  // namespace vc::gui
