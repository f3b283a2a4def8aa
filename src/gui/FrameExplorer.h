#pragma once
// TFrameExplorer: the category tree (the "Converting" queue and the categories of the history)
// over the task tree's entries. It builds and owns the task tree; its rows name the entries'
// objects. The category picker uses it without the queue entry and without menus.
#include <QWidget>
#include <functional>
#include <memory>

#include "tasks/TaskTree.h"
#include "tasks/TaskViews.h"

class QTreeView;
class QMenu;

namespace vc::gui {

class TCategoryTreeModel;

struct TFrameExplorerOptions {
  bool WithoutQueue = false;
  bool WithoutMenus = false;
};

class TFrameExplorer final : public QWidget, public tasks::ICategoryTreeView {
 public:
  // list receives the task lists of the selected entries; categoryMenu is shown on categories.
  TFrameExplorer(tasks::ITaskListView& list, QMenu* categoryMenu, TFrameExplorerOptions options,
                 QWidget* parent = nullptr);
  ~TFrameExplorer() override;

  // Builds the tree from the database; a built tree is not built again.
  void Build();
  // Destroys the entries with their tasks while the views still exist.
  void DestroyTree();
  tasks::TTaskTree& Tree() { return *FTree; }
  // Marks the first category with this identifier (selected, focused, made visible); false when
  // there is none.
  bool SelectCategory(int categoryId);
  // The focused entry's object; null when none.
  tasks::TNodeObject* FocusedNode() const;

  // ICategoryTreeView
  void AddNode(tasks::TNodeObject& node, tasks::TNodeObject* parent) override;
  void RemoveNode(const tasks::TNodeObject& node) override;
  void UpdateNode(const tasks::TNodeObject& node) override;
  tasks::TNodeObject* SelectedNode() const override;
  void SetSelectedNode(tasks::TNodeObject* node) override;

  // The user moved the selection to node (not raised for SetSelectedNode).
  std::function<void(tasks::TNodeObject* node)> OnSelectionChange;
  // Enter pressed on the tree.
  std::function<void()> OnAccept;

  QTreeView* vstExplorer = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showMenu(const QPoint& position);

  std::unique_ptr<TCategoryTreeModel> FModel;
  std::unique_ptr<tasks::TTaskTree> FTree;
  QMenu* FCategoryMenu;
  TFrameExplorerOptions FOptions;
  bool FMarking = false;  // SetSelectedNode at work: not a change of the user's
};

}  // namespace vc::gui
