#include "gui/dmGlobal.h"

#include <QAction>
#include <QMenu>

#include "base/Format.h"
#include "base/PlatformActions.h"
#include "gui/FormCategory.h"
#include "gui/FormMain.h"
#include "gui/FrameExplorer.h"
#include "gui/FrameList.h"
#include "gui/Guarded.h"
#include "profiles/ProfileCatalogue.h"
#include "profiles/ProfileFile.h"
#include "tasks/AVTask.h"
#include "tasks/ConvertedNode.h"
#include "tasks/TaskTree.h"

namespace vc::gui {

namespace {

QIcon resourceIcon(const char* name) { return QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(name))); }

}  // namespace

TdmGlobal::TdmGlobal() {
  // DataModuleCreate: the database in the application-data folder, its conversions table, and the
  // user's profiles beside the built-in catalogue.
  dbConfig = std::make_unique<tasks::TTaskDatabase>();
  try {
    dbConfig->Connection().Prepare("select * from Conversions where 0");
  } catch (const tasks::EDatabaseError& e) {
    // SQLite opens any file lazily: a file that is no task database shows here.
    throw tasks::EDatabaseError(base::Format("Can not open Database %s: %s", dbConfig->File().c_str(), e.what()), e.Code);
  }
  profiles::BuildCatalogue(profileList);
  LoadProfiles();
  createActions();
}

TdmGlobal::~TdmGlobal() = default;

void TdmGlobal::LoadProfiles() {
  try {
    profiles::LoadProfiles(profileList);
  } catch (const std::exception& e) {
    // A profile file that cannot be read leaves the built-in catalogue; the program still runs.
    base::Prompts().ShowError(e.what());
  }
}

void TdmGlobal::SaveProfiles() { profiles::SaveProfiles(profileList); }

QIcon TdmGlobal::ExplorerImage(int index) {
  static const char* const names[] = {"tree-queue", "tree-category"};
  return index >= 0 && index < 2 ? resourceIcon(names[index]) : QIcon();
}

QIcon TdmGlobal::ListImage(int index) {
  static const char* const names[] = {"status-running", "status-paused", "status-error", "status-finished"};
  return index >= 0 && index < 4 ? resourceIcon(names[index]) : QIcon();
}

QIcon TdmGlobal::ToolbarImage(int index) {
  switch (index) {
    case tiNewConversion: return resourceIcon("action-new");
    case tiStartTask: return resourceIcon("action-start");
    case tiPauseTask: return resourceIcon("action-pause");
    case tiStopTask: return resourceIcon("action-stop");
    case tiHome: return resourceIcon("action-home");
    case tiPlayer: return resourceIcon("action-player");
    default: return {};
  }
}

QPixmap TdmGlobal::AlertImage() { return QPixmap(QStringLiteral(":/icons/alert.png")); }

QIcon TdmGlobal::ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 128, 256}) icon.addFile(QStringLiteral(":/icons/velocast-%1.png").arg(size));
  return icon;
}

void TdmGlobal::createActions() {
  auto make = [this](const char* caption, void (TdmGlobal::*handler)()) {
    auto* action = new QAction(QString::fromLatin1(caption), this);
    connect(action, &QAction::triggered, this, [this, handler] { Guarded([&] { (this->*handler)(); }); });
    return action;
  };
  actDelTask = make("Delete Task(s)", &TdmGlobal::actDelTaskExecute);
  actOpenSource = make("Open Source File", &TdmGlobal::actOpenSourceExecute);
  actOpenConverted = make("Open Converted File", &TdmGlobal::actOpenConvertedExecute);
  actExploreFile = make("Explore The File", &TdmGlobal::actExploreFileExecute);
  actOpenFolder = make("Open Folder", &TdmGlobal::actOpenFolderExecute);
  actNewCategory = make("New Category", &TdmGlobal::actNewCategoryExecute);
  actDelCategory = make("Delete", &TdmGlobal::actDelCategoryExecute);
  actCategoryProp = make("Properties", &TdmGlobal::actCategoryPropExecute);
  actOpenFolder->setIcon(ExplorerImage(1));

  FConvertedMenu = std::make_unique<QMenu>();
  pmConverted = FConvertedMenu.get();
  pmConverted->setObjectName(QStringLiteral("pmConverted"));
  pmConverted->addAction(actOpenFolder);
  pmConverted->addSeparator();
  pmConverted->addAction(actNewCategory);
  pmConverted->addAction(actDelCategory);
  pmConverted->addSeparator();
  pmConverted->addAction(actCategoryProp);
  // The rules follow the entry the menu is opened on.
  connect(pmConverted, &QMenu::aboutToShow, this, [this] { UpdateActions(); });

  FTaskMenu = std::make_unique<QMenu>();
  pmTask = FTaskMenu.get();
  pmTask->setObjectName(QStringLiteral("pmTask"));
  pmTask->addAction(actDelTask);
  pmTask->addSeparator();
  pmTask->addAction(actOpenSource);
  pmTask->addAction(actOpenConverted);
  pmTask->addAction(actExploreFile);
  connect(pmTask, &QMenu::aboutToShow, this, [this] { UpdateActions(); });
}

tasks::TConvertedNode* TdmGlobal::GetConvertedNode() const {
  return FForm ? dynamic_cast<tasks::TConvertedNode*>(FForm->FrameExplorer()->FocusedNode()) : nullptr;
}

void TdmGlobal::UpdateActions() {
  TFrameList* list = FForm ? FForm->FrameList() : nullptr;
  const int selected = list ? list->SelectedCount() : 0;
  tasks::TAVTask* focused = list ? list->FocusedTask() : nullptr;
  actDelTask->setEnabled(selected > 0);
  actOpenSource->setEnabled(selected == 1 && focused && focused->CanOpenSource());
  const bool converted = selected == 1 && focused && focused->ConvertedIsValid();
  actOpenConverted->setEnabled(converted);
  actExploreFile->setEnabled(converted);
  actDelCategory->setEnabled(tasks::TTaskTree::CanDeleteCategory(GetConvertedNode()));
}

void TdmGlobal::actDelTaskExecute() {
  if (FForm) FForm->FrameList()->DeleteSelectedTasks();
}

void TdmGlobal::actOpenSourceExecute() {
  tasks::TAVTask* task = FForm ? FForm->FrameList()->FocusedTask() : nullptr;
  if (task && task->CanOpenSource()) base::PlatformActions().OpenFile(task->Settings().SourceFile);
}

void TdmGlobal::actOpenConvertedExecute() {
  tasks::TAVTask* task = FForm ? FForm->FrameList()->FocusedTask() : nullptr;
  if (task && task->ConvertedIsValid()) base::PlatformActions().PlayFile(task->Settings().TargetFile);
}

void TdmGlobal::actExploreFileExecute() {
  tasks::TAVTask* task = FForm ? FForm->FrameList()->FocusedTask() : nullptr;
  if (task && task->ConvertedIsValid()) base::PlatformActions().ShowFile(task->Settings().TargetFile);
}

void TdmGlobal::actOpenFolderExecute() {
  if (tasks::TConvertedNode* node = GetConvertedNode()) base::PlatformActions().ShowFolder(node->Folder);
}

void TdmGlobal::actNewCategoryExecute() {
  tasks::TConvertedNode* parent = GetConvertedNode();
  if (!parent) return;
  std::string name;
  std::string folder;
  if (!ExecuteCategoryDialog(FForm, name, folder, true)) return;
  FForm->FrameExplorer()->Tree().NewCategory(parent, name, folder);
}

void TdmGlobal::actDelCategoryExecute() {
  tasks::TConvertedNode* node = GetConvertedNode();
  if (tasks::TTaskTree::CanDeleteCategory(node)) FForm->FrameExplorer()->Tree().DeleteCategory(*node);
}

void TdmGlobal::actCategoryPropExecute() {
  tasks::TConvertedNode* node = GetConvertedNode();
  if (!node) return;
  std::string name = node->Category;
  std::string folder = node->Folder;
  if (!ExecuteCategoryDialog(FForm, name, folder, false)) return;
  FForm->FrameExplorer()->Tree().SetCategoryProperties(*node, name, folder);
}

}  // namespace vc::gui
