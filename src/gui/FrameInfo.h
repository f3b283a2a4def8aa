#pragma once
// TFrameInfo: what the information frame shows of the focused task: its log on the "Logs" page
// (with "Clear Log"), and the "Task Info" page, hidden, whose view only takes its columns. It
// forgets a task as soon as the task goes, and never acts on it afterwards.
#include <QWidget>

#include "tasks/TaskViews.h"

class QTabWidget;
class QTreeWidget;
class QListWidget;
class QMenu;
class QAction;

namespace vc::tasks {
class TAVTask;
}

namespace vc::gui {

class TFrameInfo final : public QWidget, public tasks::IInfoView, public tasks::ILogListView {
 public:
  explicit TFrameInfo(QWidget* parent = nullptr);

  // Shows task's information and log; null shows nothing.
  void ShowTask(tasks::TAVTask* task);
  tasks::TAVTask* ShownTask() const { return FTask; }
  // "Clear Log": empties the shown task's log.
  void ClearLog();

  // IInfoView
  void SetColumns(const std::vector<tasks::TListColumn>& columns) override;
  // ILogListView
  void ShowLog(const tasks::TNodeObject* owner, const std::vector<std::string>& lines) override;
  const tasks::TNodeObject* ShownObject() const override { return FOwner; }

  QTabWidget* pgcTaskInfo = nullptr;
  QTreeWidget* vstTaskInfo = nullptr;
  QListWidget* lstLog = nullptr;
  QAction* actClearLog = nullptr;

 private:
  tasks::TAVTask* FTask = nullptr;
  const tasks::TNodeObject* FOwner = nullptr;
  QMenu* FLogMenu = nullptr;
};

}  // namespace vc::gui
