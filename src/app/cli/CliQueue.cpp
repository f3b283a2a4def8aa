#include "app/cli/CliQueue.h"

#include <algorithm>
#include <cstdio>

#include "app/cli/RunConversion.h"
#include "tasks/AVTask.h"
#include "tasks/ConvertingTask.h"
#include "tasks/ConversionSettings.h"

namespace vc::cli {

void TCliTreeView::AddNode(tasks::TNodeObject& node, tasks::TNodeObject* parent) {
  FEntries.push_back({&node, parent});
}

void TCliTreeView::RemoveNode(const tasks::TNodeObject& node) {
  // The node and everything below it.
  std::vector<const tasks::TNodeObject*> gone{&node};
  for (const auto& e : FEntries)
    if (std::find(gone.begin(), gone.end(), e.Parent) != gone.end()) gone.push_back(e.Node);
  std::erase_if(FEntries, [&](const TEntry& e) { return std::find(gone.begin(), gone.end(), e.Node) != gone.end(); });
  if (std::find(gone.begin(), gone.end(), FSelected) != gone.end()) FSelected = nullptr;
}

void TCliListView::DeleteRow(const tasks::TNodeObject& object) {
  std::erase(FRows, &object);
  if (Watched == &object) Watched = nullptr;
}

void TCliListView::RepaintRow(const tasks::TNodeObject& object) {
  if (&object == Watched && OnWatchedRepaint) OnWatchedRepaint();
}

void TCliListView::Print() const {
  // The row identifier leads, so a queue task can be named to start it again.
  std::printf("ID");
  for (const auto& column : FColumns) std::printf("\t%s", column.Header.c_str());
  std::printf("\n");
  for (auto* row : FRows) {
    const auto* task = dynamic_cast<const tasks::TAVTask*>(row);
    std::printf("%lld", task ? static_cast<long long>(task->ID) : 0LL);
    for (size_t c = 0; c < FColumns.size(); ++c) std::printf("\t%s", row->GetCaption(static_cast<int>(c)).c_str());
    std::printf("\n");
  }
}

TCliQueue::TCliQueue() : FTree(FTreeView, FListView) { FTree.Build(); }

TCliQueue::~TCliQueue() = default;

int TCliQueue::waitFor(tasks::TAVTask& task) {
  // The task's own completion handler files it (and may discard it): note what the exit status
  // needs before handing on, and never touch the task afterwards.
  const std::string targetFile = task.Settings().TargetFile;
  bool completed = false;
  bool stopped = false;
  std::string errorText;
  auto& converter = task.Converter();
  const auto taskComplete = converter.OnComplete;
  converter.OnStopped = [&](engine::TAVConverter&) { stopped = true; };
  converter.OnComplete = [&, taskComplete](engine::TAVConverter& c) {
    errorText = c.ErrorText();
    if (errorText.empty()) FSession.Display().Show(c);
    FSession.Display().End();
    completed = true;
    if (taskComplete) taskComplete(c);
  };
  FListView.Watched = &task;
  FListView.OnWatchedRepaint = [&] {
    if (!completed) FSession.Display().Show(converter);
  };
  FSession.RunUntil([&] { return completed; }, [&] { task.Stop(); });
  FListView.Watched = nullptr;
  FListView.OnWatchedRepaint = nullptr;
  return ConversionExitStatus(targetFile, errorText, stopped);
}

int TCliQueue::Convert(std::unique_ptr<tasks::TConversionSettings> settings) {
  FTree.Select(FTree.ConvertingNode());
  return waitFor(FTree.ConvertingNode()->NewConversion(std::move(settings)));
}

int TCliQueue::Start(int64_t id) {
  FTree.Select(FTree.ConvertingNode());
  for (const auto& task : FTree.ConvertingNode()->Tasks()) {
    if (task->ID != id) continue;
    if (!task->CanStart() || !task->Start()) {
      std::fprintf(stderr, "Task %lld cannot be started now.\n", static_cast<long long>(id));
      return 1;
    }
    std::printf("Converting %s to %s\n", task->Settings().SourceFile.c_str(), task->Settings().TargetFile.c_str());
    return waitFor(*task);
  }
  std::fprintf(stderr, "The queue holds no task %lld; 'velocast-cli tasks' lists it.\n", static_cast<long long>(id));
  return 1;
}

int TCliQueue::PrintTasks(int categoryId) {
  tasks::TNodeObject* node = FTree.ConvertingNode();
  if (categoryId >= 0) {
    node = Category(categoryId);
    if (!node) {
      std::fprintf(stderr, "There is no category %d; 'velocast-cli categories' lists them.\n", categoryId);
      return 1;
    }
  }
  FTree.Select(node);
  FListView.Print();
  return 0;
}

void TCliQueue::PrintCategories() const {
  auto depth = [&](const tasks::TNodeObject* node) {
    int d = 0;
    for (const tasks::TNodeObject* p = node; p;) {
      const auto it = std::find_if(FTreeView.Entries().begin(), FTreeView.Entries().end(),
                                   [&](const TCliTreeView::TEntry& e) { return e.Node == p; });
      p = it == FTreeView.Entries().end() ? nullptr : it->Parent;
      if (p) ++d;
    }
    return d;
  };
  for (const auto& e : FTreeView.Entries()) {
    const auto* category = dynamic_cast<const tasks::TConvertedNode*>(e.Node);
    if (!category) continue;
    std::printf("%d\t%s%s\t%s\n", category->CategoryId, std::string(static_cast<size_t>(depth(e.Node)) * 2, ' ').c_str(),
                category->Category.c_str(), category->Folder.c_str());
  }
}

}  // namespace vc::cli
