#pragma once
// TConvertedNode: a category of the history, tied to a folder. Its task list is read from the
// database every time it is shown. It owns the categories below it.
#include <memory>
#include <string>
#include <vector>

#include "tasks/NodeObject.h"

namespace vc::tasks {

class TConvertedNode final : public TNodeObject {
 public:
  TConvertedNode() = default;

  std::string Category;  // name, the entry's caption
  std::string Folder;    // folder that receives the category's files (Path in the database)
  int32_t CategoryId = 0;
  bool IsRoot() const { return CategoryId == 1; }

  std::string GetCaption(int) override { return Category; }
  int GetImageIndex() const override { return 1; }
  TNodeMenu GetPopupMenu() const override { return TNodeMenu::Category; }
  // Sets the history columns and lists the category's finished conversions afresh, newest first.
  void LoadTaskList(ITaskListView& list) override;

  TNodeObject* Parent() const override { return FParent; }
  TConvertedNode* ParentCategory() const { return FParent; }
  const std::vector<std::unique_ptr<TConvertedNode>>& Children() const { return FChildren; }
  TConvertedNode& AddChild(std::unique_ptr<TConvertedNode> child);
  std::unique_ptr<TConvertedNode> TakeChild(const TConvertedNode& child);
  // This category and every one below it, parents before children.
  std::vector<TConvertedNode*> Subtree();

  // Removes the rows of this category and of every one below it, and their conversion rows.
  void DeleteChildrens();

 private:
  TConvertedNode* FParent = nullptr;
  std::vector<std::unique_ptr<TConvertedNode>> FChildren;
};

// The history columns of the task list.
const std::vector<TListColumn>& HistoryColumns();

}  // namespace vc::tasks
