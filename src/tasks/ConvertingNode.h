#pragma once
// TConvertingNode: the "Converting" entry of the tree, holding the queue: running, paused and
// stopped conversions. One per run; the queue is read from the database the first time it is shown.
#include <memory>
#include <vector>

#include "tasks/NodeObject.h"

namespace vc::tasks {

class TConversionSettings;
class TConvertingTask;

class TConvertingNode final : public TNodeObject {
 public:
  TConvertingNode() = default;
  // Waits for the engines of the discarded tasks too.
  ~TConvertingNode() override;

  std::string GetCaption(int) override { return "Converting"; }
  int GetImageIndex() const override { return 0; }
  // Sets the queue columns and lists the queue; the first call of the run reads it from the
  // database. A database error leaves the queue unread, so the next call tries again.
  void LoadTaskList(ITaskListView& list) override;
  bool Loaded() const { return FLoaded; }

  // Admits a new conversion: the task joins the queue, starts, and then gets its database row.
  TConvertingTask& NewConversion(std::unique_ptr<TConversionSettings> settings);

  // True when some queue task has status stRunning.
  bool AnyRunning() const;

  // A finished task that no list keeps. It is destroyed once its engine has ended: the completion
  // handler that discards it runs while that engine's worker waits for it.
  void Retire(std::unique_ptr<TAVTask> task);
  // Destroys the retired tasks whose engines have ended.
  void ReapRetired();

 private:
  bool FLoaded = false;
  std::vector<std::unique_ptr<TAVTask>> FRetired;
};

// The queue columns of the task list.
const std::vector<TListColumn>& QueueColumns();

}  // namespace vc::tasks
