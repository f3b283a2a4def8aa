#include "gui/FormMain.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include "base/PlatformActions.h"
#include "base/Prompts.h"
#include "gui/FormAbout.h"
#include "gui/FormOptions.h"
#include "gui/FrameExplorer.h"
#include "gui/FrameInfo.h"
#include "gui/FrameList.h"
#include "gui/Guarded.h"
#include "gui/NewConversionWizard.h"
#include "gui/ProductInfo.h"
#include "gui/dmGlobal.h"
#include "tasks/AVConfiguration.h"
#include "tasks/AVTask.h"
#include "tasks/ConversionSettings.h"
#include "tasks/ConvertingNode.h"

namespace vc::gui {

namespace {

constexpr int ExplorerWidth = 209;
constexpr int ToolButtonWidth = 85;
constexpr int ToolButtonHeight = 68;

bool isActive(const tasks::TAVTask& task) {
  return task.Status == tasks::TAVTaskStatus::stRunning || task.Status == tasks::TAVTaskStatus::stPaused;
}

}  // namespace

TFormMain::TFormMain(TdmGlobal& dm, QWidget* parent) : QMainWindow(parent), FDm(dm) {
  setObjectName(QStringLiteral("FormMain"));
  setWindowTitle(QString::fromLatin1(ProductName));
  setWindowIcon(TdmGlobal::ProgramIcon());
  resize(1024, 700);

  FFrameList = new TFrameList(dm.pmTask);
  FFrameInfo = new TFrameInfo;
  FFrameExplorer = new TFrameExplorer(FFrameList->ListView(), dm.pmConverted, {});
  auto* right = new QSplitter(Qt::Vertical);
  right->addWidget(FFrameList);
  right->addWidget(FFrameInfo);
  right->setStretchFactor(0, 3);
  right->setStretchFactor(1, 1);
  auto* main = new QSplitter(Qt::Horizontal);
  main->addWidget(FFrameExplorer);
  main->addWidget(right);
  main->setStretchFactor(1, 1);
  main->setSizes({ExplorerWidth, 1024 - ExplorerWidth});
  setCentralWidget(main);

  FFrameExplorer->OnSelectionChange = [this](tasks::TNodeObject* node) { FFrameExplorer->Tree().Select(node); };
  FFrameList->OnFocusChange = [this](tasks::TAVTask* task) {
    if (task) FFrameInfo->ShowTask(task);
  };
  FFrameList->OnFileDrop = [this](const std::string& file) { NewConversion(file); };
  dm.SetMainWindow(this);

  createActions();
  createMenus();
  createToolbar();

  // FormCreate.
  FFrameExplorer->Build();
  FFrameExplorer->vstExplorer->setFocus();
  Guarded([this] { FFrameExplorer->Tree().Select(ConvertingNode()); });
  actShutdown->setChecked(tasks::Configuration().ShutdownWhenDone);

  // The enable rules follow the tasks whenever the application has nothing else to do.
  if (auto* dispatcher = QAbstractEventDispatcher::instance())
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TFormMain::UpdateActions);
  UpdateActions();
}

TFormMain::~TFormMain() {
  ReleaseTasks();
  FDm.SetMainWindow(nullptr);
}

tasks::TConvertingNode* TFormMain::ConvertingNode() const { return FFrameExplorer->Tree().ConvertingNode(); }

void TFormMain::ReleaseTasks() { FFrameExplorer->DestroyTree(); }

void TFormMain::createActions() {
  auto make = [this](const char* caption, int image, const std::function<void()>& effect) {
    auto* action = new QAction(QString::fromLatin1(caption), this);
    if (image >= 0) action->setIcon(TdmGlobal::ToolbarImage(image));
    connect(action, &QAction::triggered, this, [effect] { Guarded(effect); });
    return action;
  };
  actNewConversion = make("New Conversion", tiNewConversion, [this] { NewConversion({}); });
  actNewConversion->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  actStartTask = make("Start Task", tiStartTask, [this] {
    tasks::TAVTask* task = FFrameList->FocusedTask();
    if (!task) return;
    if (task->Status == tasks::TAVTaskStatus::stPaused)
      task->Resume();
    else
      task->Start();
  });
  actPauseTask = make("Pause Task", tiPauseTask, [this] {
    if (tasks::TAVTask* task = FFrameList->FocusedTask()) task->Pause();
  });
  actStopTask = make("Stop Task", tiStopTask, [this] { FFrameList->StopSelectedTasks(); });
  actExit = make("Exit", -1, [this] {
    FExitAtOnce = true;
    close();
  });
  actOptions = make("Options", -1, [this] { ExecuteOptionsDialog(this); });
  actShutdown = make("Shutdown PC When Done", -1, [this] {
    // Kept in the configuration, which is saved at the end of the run.
    auto& config = tasks::Configuration();
    config.ShutdownWhenDone = !config.ShutdownWhenDone;
    actShutdown->setChecked(config.ShutdownWhenDone);
  });
  actShutdown->setCheckable(true);
  actPlayer = make("Audio Video Player", tiPlayer, [] { base::PlatformActions().RunProgram("Vistrel", {}); });
  actHome = make("Homepage", tiHome, [] { base::PlatformActions().OpenFile(HomePage); });
  actBugreport = make("Bug Report", -1, [] { base::PlatformActions().OpenFile(SupportMail); });
  actAbout = make("About...", -1, [this] { ExecuteAboutDialog(this); });
}

void TFormMain::createMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(actNewConversion);
  file->addSeparator();
  file->addAction(actStartTask);
  file->addAction(actPauseTask);
  file->addAction(actStopTask);
  file->addSeparator();
  file->addAction(actExit);
  mnuTools = menuBar()->addMenu(QStringLiteral("Tools"));
  mnuTools->addAction(actPlayer);
  mnuTools->menuAction()->setVisible(false);
  QMenu* options = menuBar()->addMenu(QStringLiteral("Options"));
  options->addAction(actShutdown);
  options->addSeparator();
  options->addAction(actOptions);
  QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
  help->addAction(actHome);
  help->addAction(actBugreport);
  help->addSeparator();
  help->addAction(actAbout);
}

void TFormMain::createToolbar() {
  tlbMain = addToolBar(QStringLiteral("Main"));
  tlbMain->setObjectName(QStringLiteral("tlbMain"));
  tlbMain->setMovable(false);
  tlbMain->setIconSize(QSize(48, 48));
  tlbMain->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  for (QAction* action : {actNewConversion, actStartTask, actPauseTask, actStopTask}) tlbMain->addAction(action);
  tlbMain->addSeparator();
  tlbMain->addAction(actHome);
  // The captions sit under the images in buttons of a fixed width: a smaller type keeps
  // "New Conversion" whole.
  QFont captionFont = tlbMain->font();
  captionFont.setPointSizeF(captionFont.pointSizeF() * 0.85);
  for (QAction* action : tlbMain->actions())
    if (QWidget* button = tlbMain->widgetForAction(action); button && !action->isSeparator()) {
      button->setFixedSize(ToolButtonWidth, ToolButtonHeight);
      button->setFont(captionFont);
    }
}

void TFormMain::UpdateActions() {
  if (!FFrameExplorer || !FFrameList) return;
  const tasks::TAVTask* task = FFrameList->FocusedTask();
  const auto status = task ? task->Status : tasks::TAVTaskStatus::stFinished;
  actStartTask->setEnabled(task && (status == tasks::TAVTaskStatus::stPaused ||
                                    (status == tasks::TAVTaskStatus::stError && task->CanStart())));
  actPauseTask->setEnabled(task && status == tasks::TAVTaskStatus::stRunning);
  actStopTask->setEnabled(FFrameList->AnyActiveSelected());
  FDm.UpdateActions();
}

bool TFormMain::QueueBusy() const {
  const tasks::TConvertingNode* queue = ConvertingNode();
  if (!queue) return false;
  for (const auto& task : queue->Tasks())
    if (isActive(*task)) return true;
  return false;
}

void TFormMain::NewConversion(const std::string& sourceFile) {
  std::unique_ptr<tasks::TConversionSettings> settings = RunNewConversionWizard(this, sourceFile);
  if (settings && ConvertingNode()) ConvertingNode()->NewConversion(std::move(settings));
}

bool TFormMain::formCloseQuery() {
  if (!QueueBusy()) return true;
  if (!base::Prompts().AskYesNo("There are running tasks, are you sure to exit?")) return false;
  // The question's own event loop may have seen tasks end: look again.
  if (tasks::TConvertingNode* queue = ConvertingNode()) {
    std::vector<tasks::TAVTask*> active;
    for (const auto& task : queue->Tasks())
      if (isActive(*task)) active.push_back(task.get());
    for (tasks::TAVTask* task : active) task->Stop();
  }
  return true;
}

void TFormMain::closeEvent(QCloseEvent* event) {
  bool allowed = FExitAtOnce;
  if (!allowed) Guarded([&] { allowed = formCloseQuery(); });
  if (!allowed) {
    event->ignore();
    return;
  }
  event->accept();
  if (OnClosed) OnClosed();
}

}  // namespace vc::gui
