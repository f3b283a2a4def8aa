#include "tasks/ConvertingNode.h"

#include <algorithm>
#include <exception>

#include "tasks/ConvertingTask.h"
#include "tasks/PersistentManager.h"

namespace vc::tasks {

const std::vector<TListColumn>& QueueColumns() {
  static const std::vector<TListColumn> columns = {
      {"Source", 150},        {"Source Size", 100}, {"Target", 150},    {"Target Size", 100}, {"Target Profile", 100},
      {"Duration", 60},       {"Percent", 70},      {"Bitrate(kbs)", 70}, {"Left Time", 70},  {"Used Time", 70}};
  return columns;
}

TConvertingNode::~TConvertingNode() {
  FRetired.clear();
  ClearTasks();
}

void TConvertingNode::LoadTaskList(ITaskListView& list) {
  TNodeObject::LoadTaskList(list);
  ReapRetired();
  list.ClearRows();
  list.SetColumns(QueueColumns());
  std::exception_ptr failure;
  if (!FLoaded) {
    try {
      TPersistentManager::LoadConvertingTask(*this);
      FLoaded = true;
    } catch (...) {
      failure = std::current_exception();
    }
  }
  for (const auto& task : Tasks()) {
    task->ListView = &list;
    list.AddRow(*task);
  }
  if (failure) std::rethrow_exception(failure);
}

TConvertingTask& TConvertingNode::NewConversion(std::unique_ptr<TConversionSettings> settings) {
  ReapRetired();
  auto owned = std::make_unique<TConvertingTask>(std::move(settings), ListView);
  TConvertingTask& task = *owned;
  task.Category = this;
  task.CategoryId = task.Settings().CategoryId;
  AddTask(std::move(owned));
  if (ListView && TreeView && TreeView->SelectedNode() == this) ListView->AddRow(task);
  try {
    task.Start();
  } catch (...) {
    task.DetachFromViews();
    TakeTask(task);
    throw;
  }
  // The row follows the start: the queue row stands for a conversion that runs.
  TPersistentManager::NewDbTask(task);
  return task;
}

bool TConvertingNode::AnyRunning() const {
  return std::any_of(Tasks().begin(), Tasks().end(),
                     [](const auto& task) { return task->Status == TAVTaskStatus::stRunning; });
}

void TConvertingNode::Retire(std::unique_ptr<TAVTask> task) { FRetired.push_back(std::move(task)); }

void TConvertingNode::ReapRetired() {
  std::erase_if(FRetired, [](const auto& task) { return !task->Converter().Busy(); });
}

}  // namespace vc::tasks
