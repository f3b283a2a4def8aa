#pragma once
// TFrameList: the task list of the entry selected in the tree, one row per task with the node's
// columns and the status image in the first column; full-row multiple selection, the Delete key,
// the task menu and the file drop.
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tasks/TaskViews.h"

class QTreeView;
class QMenu;

namespace vc::tasks {
class TAVTask;
class TNodeObject;
}  // namespace vc::tasks

namespace vc::gui {

class TTaskListModel;

class TFrameList final : public QWidget {
 public:
  explicit TFrameList(QMenu* taskMenu, QWidget* parent = nullptr);
  ~TFrameList() override;

  tasks::ITaskListView& ListView();
  TTaskListModel& Model() { return *FModel; }

  // The task of the focused row; null when none.
  tasks::TAVTask* FocusedTask() const;
  // The tasks of the selected rows, in row order.
  std::vector<tasks::TAVTask*> SelectedTasks() const;
  int SelectedCount() const;
  // Some selected task is running or paused.
  bool AnyActiveSelected() const;
  // Stop on every selected task that runs or is paused.
  void StopSelectedTasks();
  // Asks with the delete dialog, then deletes the stopped and finished selected tasks and stops
  // the running and paused ones.
  void DeleteSelectedTasks();
  // Whether a drag may drop: one file.
  static bool AcceptsDrop(const std::vector<std::string>& files);

  // The focused row changed to task (null when none).
  std::function<void(tasks::TAVTask* task)> OnFocusChange;
  // A file was dropped on the list.
  std::function<void(const std::string& file)> OnFileDrop;

  QTreeView* vstTaskList = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::unique_ptr<TTaskListModel> FModel;
  QMenu* FTaskMenu;
};

}  // namespace vc::gui
