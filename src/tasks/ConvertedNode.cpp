#include "tasks/ConvertedNode.h"

#include <algorithm>

#include "tasks/AVTask.h"
#include "tasks/PersistentManager.h"
#include "tasks/TaskDatabase.h"

namespace vc::tasks {

const std::vector<TListColumn>& HistoryColumns() {
  static const std::vector<TListColumn> columns = {{"Source", 150},         {"Source Size", 100}, {"Target", 150},
                                                   {"Target Size", 100},    {"Target Profile", 100},
                                                   {"Duration", 60},        {"Date", 120}};
  return columns;
}

void TConvertedNode::LoadTaskList(ITaskListView& list) {
  TNodeObject::LoadTaskList(list);
  list.ClearRows();
  list.SetColumns(HistoryColumns());
  TPersistentManager::LoadConvertedTask(*this);
  for (const auto& task : Tasks()) list.AddRow(*task);
}

TConvertedNode& TConvertedNode::AddChild(std::unique_ptr<TConvertedNode> child) {
  child->FParent = this;
  FChildren.push_back(std::move(child));
  return *FChildren.back();
}

std::unique_ptr<TConvertedNode> TConvertedNode::TakeChild(const TConvertedNode& child) {
  const auto it = std::find_if(FChildren.begin(), FChildren.end(), [&](const auto& c) { return c.get() == &child; });
  if (it == FChildren.end()) return nullptr;
  std::unique_ptr<TConvertedNode> taken = std::move(*it);
  FChildren.erase(it);
  taken->FParent = nullptr;
  return taken;
}

std::vector<TConvertedNode*> TConvertedNode::Subtree() {
  std::vector<TConvertedNode*> nodes{this};
  for (const auto& child : FChildren) {
    const auto below = child->Subtree();
    nodes.insert(nodes.end(), below.begin(), below.end());
  }
  return nodes;
}

void TConvertedNode::DeleteChildrens() {
  // All of them or none: a failure half-way would leave orphans that the tree never shows again.
  TSqliteTransaction transaction(TaskDatabase().Connection());
  for (TConvertedNode* node : Subtree()) TPersistentManager::DeleteCategory(*node);
  transaction.Commit();
}

}  // namespace vc::tasks
