#pragma once
// TNodeObject: the object behind a row of the category tree or of the task list. Tree entries
// (the converting queue, the categories) hold the tasks they list; tasks are node objects too.
#include <memory>
#include <string>
#include <vector>

#include "tasks/TaskViews.h"

namespace vc::tasks {

class TAVTask;

// The context menu an entry asks for; the desktop owns the menus themselves.
enum class TNodeMenu { None, Category };

class TNodeObject {
 public:
  virtual ~TNodeObject();
  TNodeObject(const TNodeObject&) = delete;
  TNodeObject& operator=(const TNodeObject&) = delete;

  // The views that show this object; not owned, null when there is none (the terminal program).
  ITaskListView* ListView = nullptr;
  IInfoView* InfoView = nullptr;
  ICategoryTreeView* TreeView = nullptr;
  ILogListView* LogList = nullptr;

  // The object of the parent entry in the tree; null at the top level and for tasks.
  virtual TNodeObject* Parent() const { return nullptr; }

  virtual TNodeMenu GetPopupMenu() const { return TNodeMenu::None; }
  virtual void Edit() {}
  virtual std::string GetInformation() const { return {}; }
  // Text of one cell of the object's row. Not const: a queue task fills its source size the
  // first time the list asks for it.
  virtual std::string GetCaption(int column) = 0;
  virtual int GetImageIndex() const { return -1; }
  // Fills list with the entry's tasks; the base only remembers the view.
  virtual void LoadTaskList(ITaskListView& list) { ListView = &list; }
  // Shows a task's information and log; the base only remembers the views.
  virtual void LoadTaskInfo(IInfoView& info, ILogListView& log) {
    InfoView = &info;
    LogList = &log;
  }

  // The tasks the entry holds, owned.
  const std::vector<std::unique_ptr<TAVTask>>& Tasks() const { return FTasks; }
  void AddTask(std::unique_ptr<TAVTask> task);
  // Hands task over to the caller; null when this entry does not hold it.
  std::unique_ptr<TAVTask> TakeTask(const TAVTask& task);
  // Destroys the held tasks, last first.
  void ClearTasks();

 protected:
  TNodeObject() = default;

 private:
  std::vector<std::unique_ptr<TAVTask>> FTasks;
};

// What every view's callbacks ask: empty text and no image for a row without an object.
std::string NodeCaption(TNodeObject* object, int column);
int NodeImageIndex(const TNodeObject* object);

}  // namespace vc::tasks
