#pragma once
// TFormMain: the main window. The category tree on the left, the task list above the task's log
// on the right, the main menu and the toolbar with the window's actions, the close question.
#include <QMainWindow>
#include <functional>
#include <string>

class QAction;
class QMenu;
class QSplitter;
class QToolBar;

namespace vc::tasks {
class TConvertingNode;
}

namespace vc::gui {

class TdmGlobal;
class TFrameExplorer;
class TFrameList;
class TFrameInfo;

class TFormMain final : public QMainWindow {
 public:
  // FormCreate: builds the tree, selects "Converting" (which loads the queue) and sets the check
  // mark of "Shutdown PC When Done" from the configuration.
  explicit TFormMain(TdmGlobal& dm, QWidget* parent = nullptr);
  ~TFormMain() override;

  TFrameExplorer* FrameExplorer() const { return FFrameExplorer; }
  TFrameList* FrameList() const { return FFrameList; }
  TFrameInfo* FrameInfo() const { return FFrameInfo; }
  tasks::TConvertingNode* ConvertingNode() const;

  // Evaluates the enable rules of every action; runs whenever the application is idle.
  void UpdateActions();
  // Destroys the tree with its tasks: engines still working are stopped and waited for, and their
  // completion is not processed.
  void ReleaseTasks();
  // Whether some queue task runs or is paused (the close question is asked then).
  bool QueueBusy() const;
  // Runs the wizard with an optional source and admits the conversion it gives.
  void NewConversion(const std::string& sourceFile);

  // Called once the window has agreed to close.
  std::function<void()> OnClosed;

  QAction* actNewConversion;
  QAction* actStartTask;
  QAction* actPauseTask;
  QAction* actStopTask;
  QAction* actExit;
  QAction* actOptions;
  QAction* actShutdown;
  QAction* actPlayer;
  QAction* actHome;
  QAction* actBugreport;
  QAction* actAbout;
  QToolBar* tlbMain;
  QMenu* mnuTools;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void createActions();
  void createMenus();
  void createToolbar();
  // FormCloseQuery: false keeps the window open.
  bool formCloseQuery();

  TdmGlobal& FDm;
  TFrameExplorer* FFrameExplorer;
  TFrameList* FFrameList;
  TFrameInfo* FFrameInfo;
  bool FExitAtOnce = false;
};

}  // namespace vc::gui
