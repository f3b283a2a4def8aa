#include "tasks/TaskTree.h"

#include <algorithm>

#include "base/AppPaths.h"
#include "base/Format.h"
#include "base/Prompts.h"
#include "tasks/AVTask.h"
#include "tasks/PersistentManager.h"

namespace vc::tasks {

TTaskTree::TTaskTree(ICategoryTreeView& tree, ITaskListView& list, TTaskTreeOptions options)
    : FTreeView(tree), FListView(list), FOptions(options) {}

TTaskTree::~TTaskTree() {
  // The list must not keep rows of tasks that are going.
  FListView.ClearRows();
  FTreeView.SetSelectedNode(nullptr);
  FTop.clear();
  FConverting.reset();
}

void TTaskTree::adopt(TNodeObject& node) {
  node.TreeView = &FTreeView;
  node.ListView = &FListView;
}

void TTaskTree::Build() {
  if (FBuilt) return;
  FBuilt = true;
  if (FOptions.WithQueue) {
    FConverting = std::make_unique<TConvertingNode>();
    adopt(*FConverting);
    FTreeView.AddNode(*FConverting, nullptr);
  }
  std::vector<int> seen;
  addCategories(-1, nullptr, seen);
}

void TTaskTree::addCategories(int parentId, TConvertedNode* parent, std::vector<int>& seen) {
  for (auto& loaded : TPersistentManager::LoadConvertedNodes(parentId)) {
    // A hand-made row that is its own ancestor would otherwise be listed without end.
    if (std::find(seen.begin(), seen.end(), loaded->CategoryId) != seen.end()) continue;
    seen.push_back(loaded->CategoryId);
    adopt(*loaded);
    TConvertedNode& node = parent ? parent->AddChild(std::move(loaded)) : *FTop.emplace_back(std::move(loaded));
    FTreeView.AddNode(node, parent);
    if (node.IsRoot() && !FRoot) FRoot = &node;
    addCategories(node.CategoryId, &node, seen);
  }
}

TConvertedNode* TTaskTree::FindCategory(int categoryId) const {
  for (const auto& top : FTop)
    for (TConvertedNode* node : top->Subtree())
      if (node->CategoryId == categoryId) return node;
  return nullptr;
}

void TTaskTree::Select(TNodeObject* node) {
  FTreeView.SetSelectedNode(node);
  if (node)
    node->LoadTaskList(FListView);
  else
    FListView.ClearRows();
}

TConvertedNode& TTaskTree::NewCategory(TConvertedNode* parent, const std::string& name, const std::string& folder) {
  auto created = std::make_unique<TConvertedNode>();
  created->Category = name;
  created->Folder = folder;
  // The database first: a category that could not be stored is not shown.
  TPersistentManager::NewCategory(*created, parent ? parent->CategoryId : -1);
  adopt(*created);
  TConvertedNode& node = parent ? parent->AddChild(std::move(created)) : *FTop.emplace_back(std::move(created));
  FTreeView.AddNode(node, parent);
  return node;
}

void TTaskTree::SetCategoryProperties(TConvertedNode& node, const std::string& name, const std::string& folder) {
  const std::string oldName = node.Category;
  const std::string oldFolder = node.Folder;
  node.Category = name;
  node.Folder = folder;
  try {
    TPersistentManager::UpdateCategory(node);
  } catch (...) {
    node.Category = oldName;
    node.Folder = oldFolder;
    throw;
  }
  FTreeView.UpdateNode(node);
  if (!folder.empty() && !base::ForceDirectories(folder))
    base::Prompts().ShowError(base::Format("Cannot create the folder %s", folder.c_str()));
}

bool TTaskTree::DeleteCategory(TConvertedNode& node) {
  if (!CanDeleteCategory(&node)) return false;
  if (!base::Prompts().AskYesNo("Do you want to delete the selected category?")) return false;
  node.DeleteChildrens();
  TConvertedNode* parent = node.ParentCategory();
  TNodeObject* next = parent ? static_cast<TNodeObject*>(parent) : FRoot;
  if (next == &node) next = nullptr;
  Select(next);
  FTreeView.RemoveNode(node);
  if (parent) {
    parent->TakeChild(node);
  } else {
    std::erase_if(FTop, [&](const auto& top) { return top.get() == &node; });
  }
  return true;
}

}  // namespace vc::tasks
