#pragma once
// TConvertingTask: the task every conversion becomes, in the queue and in the history alike. It
// runs its settings on its engine and gives the cells of its row.
#include "tasks/AVTask.h"

namespace vc::tasks {

class TConvertingTask final : public TAVTask {
 public:
  using TAVTask::TAVTask;

  // Queue rows (IsConverted false): Source, Source Size, Target, Target Size, Target Profile,
  // Duration, Percent, Bitrate(kbs), Left Time, Used Time. History rows: Source, Source Size,
  // Target, Target Size, Target Profile, Duration, Date. Other columns are empty.
  std::string GetCaption(int column) override;

  bool Start() override;
  void Pause() override;
  void Resume() override;
  void Stop() override;

 private:
  std::string sourceCaption() const;
  std::string queueCaption(int column);
  std::string historyCaption(int column) const;
};

}  // namespace vc::tasks
