#pragma once
// The converting queue and the history on the terminal: the task database, the task tree, and
// views that print instead of drawing. Conversions admitted here get their database rows like
// the desktop's, so they show in the history and a killed run leaves a queue row behind.
#include <cstdint>
#include <memory>
#include <vector>

#include "app/cli/TerminalSession.h"
#include "tasks/TaskDatabase.h"
#include "tasks/TaskTree.h"
#include "tasks/TaskViews.h"

namespace vc::tasks {
class TAVTask;
class TConversionSettings;
}  // namespace vc::tasks

namespace vc::cli {

// The tree as entries in the order they were added, with their parents.
class TCliTreeView final : public tasks::ICategoryTreeView {
 public:
  struct TEntry {
    tasks::TNodeObject* Node;
    tasks::TNodeObject* Parent;
  };
  void AddNode(tasks::TNodeObject& node, tasks::TNodeObject* parent) override;
  void RemoveNode(const tasks::TNodeObject& node) override;
  void UpdateNode(const tasks::TNodeObject&) override {}
  tasks::TNodeObject* SelectedNode() const override { return FSelected; }
  void SetSelectedNode(tasks::TNodeObject* node) override { FSelected = node; }
  const std::vector<TEntry>& Entries() const { return FEntries; }

 private:
  std::vector<TEntry> FEntries;
  tasks::TNodeObject* FSelected = nullptr;
};

// The task list as columns and rows; a repaint of a watched row is handed on.
class TCliListView final : public tasks::ITaskListView {
 public:
  void SetColumns(const std::vector<tasks::TListColumn>& columns) override { FColumns = columns; }
  void ClearRows() override { FRows.clear(); }
  void AddRow(tasks::TNodeObject& object) override { FRows.push_back(&object); }
  void DeleteRow(const tasks::TNodeObject& object) override;
  void RepaintRow(const tasks::TNodeObject& object) override;
  // Prints the header and one line per row, cells separated by tabs.
  void Print() const;

  const tasks::TNodeObject* Watched = nullptr;
  std::function<void()> OnWatchedRepaint;

 private:
  std::vector<tasks::TListColumn> FColumns;
  std::vector<tasks::TNodeObject*> FRows;
};

class TCliQueue final {
 public:
  // Opens the task database; raises its errors ("Database %s does not exist" ...).
  TCliQueue();
  ~TCliQueue();

  tasks::TTaskTree& Tree() { return FTree; }
  // The category with this identifier; null when there is none.
  tasks::TConvertedNode* Category(int id) const { return FTree.FindCategory(id); }

  // Admits the conversion to the queue and waits for it to end; returns the exit status.
  int Convert(std::unique_ptr<tasks::TConversionSettings> settings);
  // Runs again the queue task with this row identifier; returns the exit status.
  int Start(int64_t id);
  // Prints the tasks of the queue, or of the category id, with the list's captions.
  int PrintTasks(int categoryId = -1);
  // Prints the categories depth first: identifier, name indented by depth, folder.
  void PrintCategories() const;

 private:
  int waitFor(tasks::TAVTask& task);

  TTerminalSession FSession;  // first: the workers' calls are served until the tasks are gone
  tasks::TTaskDatabase FDatabase;
  TCliTreeView FTreeView;
  TCliListView FListView;
  tasks::TTaskTree FTree;
};

}  // namespace vc::cli
