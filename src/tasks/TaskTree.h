#pragma once
// TTaskTree: the entries of a category tree view, the "Converting" queue and the categories of
// the history, built from the database, and the category operations. It owns the entries (the
// entries own their tasks); the views only show them and must outlive the tree.
#include <memory>
#include <string>
#include <vector>

#include "tasks/ConvertedNode.h"
#include "tasks/ConvertingNode.h"

namespace vc::tasks {

struct TTaskTreeOptions {
  bool WithQueue = true;  // the category picker has no queue entry
};

class TTaskTree final {
 public:
  TTaskTree(ICategoryTreeView& tree, ITaskListView& list, TTaskTreeOptions options = {});
  ~TTaskTree();
  TTaskTree(const TTaskTree&) = delete;
  TTaskTree& operator=(const TTaskTree&) = delete;

  // Adds the queue entry first, then the categories depth first from the top level, in the order
  // the database gives them. A category whose parent does not exist is never reached. Runs once.
  void Build();

  TConvertingNode* ConvertingNode() const { return FConverting.get(); }
  TConvertedNode* RootCategory() const { return FRoot; }
  const std::vector<std::unique_ptr<TConvertedNode>>& TopCategories() const { return FTop; }
  // The first category in tree order with this identifier; null when none.
  TConvertedNode* FindCategory(int categoryId) const;

  // The tree's selection changes to node: the view marks it, the task list shows its tasks. The
  // desktop calls this for the user's clicks too.
  void Select(TNodeObject* node);

  // A new category below parent (top level when null), inserted into the database and shown; its
  // folder is not created yet.
  TConvertedNode& NewCategory(TConvertedNode* parent, const std::string& name, const std::string& folder);
  // Stores a category's new name and folder and creates the folder with its missing parents. A
  // folder that cannot be created is reported; the properties are kept.
  void SetCategoryProperties(TConvertedNode& node, const std::string& name, const std::string& folder);
  // Whether the delete action applies: a category that is not the root.
  static bool CanDeleteCategory(const TConvertedNode* node) { return node && !node->IsRoot(); }
  // Asks "Do you want to delete the selected category?"; on yes deletes the category, the ones
  // below it and all their conversion rows (files stay), selects the parent entry (the root
  // category for a top-level one) and drops the entries. False when refused or not confirmed.
  bool DeleteCategory(TConvertedNode& node);

 private:
  void addCategories(int parentId, TConvertedNode* parent, std::vector<int>& seen);
  void adopt(TNodeObject& node);

  ICategoryTreeView& FTreeView;
  ITaskListView& FListView;
  TTaskTreeOptions FOptions;
  bool FBuilt = false;
  std::unique_ptr<TConvertingNode> FConverting;
  std::vector<std::unique_ptr<TConvertedNode>> FTop;
  TConvertedNode* FRoot = nullptr;
};

}  // namespace vc::tasks
