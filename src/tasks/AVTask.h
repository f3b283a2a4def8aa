#pragma once
// TAVTask: one conversion as the lists show it. It owns its settings and its engine, turns user
// commands into engine calls and database updates, and engine events into status changes, row
// repaints and log lines; when its engine completes it finishes its row, runs the completion
// actions and files itself into the history.
#include <atomic>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/Strings.h"
#include "engine/AVConverter.h"
#include "tasks/ConversionSettings.h"
#include "tasks/NodeObject.h"

namespace vc::tasks {

// The ordinal is also the index of the status image (running, paused, error, finished).
enum class TAVTaskStatus { stRunning = 0, stPaused = 1, stError = 2, stFinished = 3 };

class TAVTask : public TNodeObject {
 public:
  // Takes the settings; list is the task list the task's rows go to (null without views).
  TAVTask(std::unique_ptr<TConversionSettings> settings, ITaskListView* list);
  // Stops a running engine and waits for its worker first.
  ~TAVTask() override;

  static constexpr int MaxLogLines = 51;

  std::time_t Date = 0;  // completion time, seconds since the epoch; 0 = none
  TAVTaskStatus Status = TAVTaskStatus::stRunning;
  int64_t ID = 0;           // row of Conversions; 0 until the row is inserted
  int32_t CategoryId = 0;   // category the task is (to be) filed under
  bool IsConverted = false; // a finished conversion of a history category
  // A queue row of an earlier run: its engine never ran in this process.
  bool LoadedFromDatabase = false;
  TNodeObject* Category = nullptr;  // the entry whose task list holds the task; not owned

  engine::TAVConverter& Converter() { return *FConverter; }
  const engine::TAVConverter& Converter() const { return *FConverter; }
  TConversionSettings& Settings() { return *FSettings; }
  const TConversionSettings& Settings() const { return *FSettings; }

  // The log, a copy taken under its lock: the engine's worker appends while the UI thread reads.
  base::TStrings Log() const;
  void SetLog(const base::TStrings& lines);
  // The log as stored: every line followed by CR LF.
  std::string LogText() const;

  // Runs the conversion (again). Refused (false) while the engine still works, for a task that is
  // running or finished, and for a DVD task of an earlier run. A paused task is resumed.
  virtual bool Start() = 0;
  virtual void Pause() = 0;
  virtual void Resume() = 0;
  virtual void Stop() = 0;
  // Whether Start would run the task (the start action's state).
  bool CanStart() const;

  // Deletes the task's row, then the chosen files that exist (after a still working engine has
  // stopped), and destroys the task: it must not be used afterwards.
  void Delete(bool deleteSource, bool deleteTarget);
  // Empties the log and its column.
  void ClearLog();
  bool CanOpenSource() const;
  bool ConvertedIsValid() const;
  std::string GetTargetProfileText() const { return FSettings->Profile; }

  int GetImageIndex() const override { return static_cast<int>(Status); }
  void LoadTaskInfo(IInfoView& info, ILogListView& log) override;

  // Forgets the views, removing the task's row and log from them; the task stays alive.
  void DetachFromViews();

 protected:
  bool converterUsed() const { return FConverterUsed; }
  void markConverterUsed() { FConverterUsed = true; }
  // An engine runs one conversion: a run after that gets a fresh engine with the same handlers.
  void renewConverter();
  void clearLogLines();
  // Repaints the task's row when its entry is the one the list shows.
  void repaintRow();
  // Shows the log again when the log box shows this task and lines came in since.
  void refreshLogView(bool force = false);

 private:
  void connectEvents();
  void addLogLine(const std::string& text);
  void onLog(const std::string& text);
  void onProgress();
  void onComplete();
  void fileFinished();

  std::unique_ptr<TConversionSettings> FSettings;
  std::unique_ptr<engine::TAVConverter> FConverter;
  bool FConverterUsed = false;

  mutable std::mutex FLogMutex;  // guards FLog
  base::TStrings FLog;
  std::atomic<bool> FLogChanged{false};
};

// The task list's "delete": from the last selected back to the first, stopped and finished tasks
// are deleted, running and paused ones are stopped (they then complete and are filed).
void DeleteOrStopTasks(const std::vector<TAVTask*>& selection, bool deleteSource, bool deleteTarget);

// The message when the title of a DVD task cannot be opened again to run it once more.
std::string DvdRerunRefusedText(const TConversionSettings& settings, const std::string& reason);

}  // namespace vc::tasks
