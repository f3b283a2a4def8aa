#pragma once
// The views that show the category tree, the task list, a task's information and its log, as
// interfaces. The desktop implements them with Qt models, the tests in memory. Every row carries
// the node object it shows, and views name rows by that pointer. Rows never own what they carry:
// the task tree owns the nodes, the nodes own their tasks. All calls come on the UI thread.
#include <string>
#include <vector>

namespace vc::tasks {

class TNodeObject;

struct TListColumn {
  std::string Header;
  int Width = 0;  // pixels
};

// The task list: one row per task of the node whose tasks it shows.
class ITaskListView {
 public:
  virtual ~ITaskListView() = default;
  virtual void SetColumns(const std::vector<TListColumn>& columns) = 0;
  // Removes every row; the tasks stay alive.
  virtual void ClearRows() = 0;
  // Appends a row for object as the last row.
  virtual void AddRow(TNodeObject& object) = 0;
  // Removes object's row; nothing happens when there is none.
  virtual void DeleteRow(const TNodeObject& object) = 0;
  // Reads object's captions and image again.
  virtual void RepaintRow(const TNodeObject& object) = 0;
};

// The category tree: the converting queue entry and the categories, nested.
class ICategoryTreeView {
 public:
  virtual ~ICategoryTreeView() = default;
  // Appends a row for node as the last child of parent (top level when parent is null).
  virtual void AddNode(TNodeObject& node, TNodeObject* parent) = 0;
  // Removes node's row and every row below it.
  virtual void RemoveNode(const TNodeObject& node) = 0;
  // Reads node's caption again.
  virtual void UpdateNode(const TNodeObject& node) = 0;
  // The selected (and focused) entry; null when none.
  virtual TNodeObject* SelectedNode() const = 0;
  // Selects, focuses and shows node. Only marks the row: filling the task list is the task
  // tree's business (TTaskTree::Select), so this must not report back as a selection change.
  virtual void SetSelectedNode(TNodeObject* node) = 0;
};

// The information view beside the log; it only takes its columns from the task shown.
class IInfoView {
 public:
  virtual ~IInfoView() = default;
  virtual void SetColumns(const std::vector<TListColumn>& columns) = 0;
};

// The list box with the log of the task the information frame shows.
class ILogListView {
 public:
  virtual ~ILogListView() = default;
  // Shows lines as the log of owner; a null owner empties the box and forgets the task.
  virtual void ShowLog(const TNodeObject* owner, const std::vector<std::string>& lines) = 0;
  // The object whose log is shown; null when none.
  virtual const TNodeObject* ShownObject() const = 0;
};

}  // namespace vc::tasks
