#pragma once
// What the task tests share: a real task database made from data/av.sql, a small media clip, the
// UI thread, recording completion alerts.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Dispatcher.h"
#include "support/TestSupport.h"
#include "tasks/CompletionAlerts.h"
#include "tasks/ConversionSettings.h"
#include "tasks/TaskDatabase.h"

namespace vc::test {

// A prepared av.cfg in an isolated application-data folder, made with the sqlite3 program and
// opened as the process's task database. Resets the configuration's completion settings.
class TTaskDbFixture final {
 public:
  TTaskDbFixture();
  ~TTaskDbFixture();
  const std::string& File() const { return FFile; }
  const std::string& Root() const { return FConfig.Root(); }
  // Runs sql with the sqlite3 program (an oracle independent of our code): rows as lines, columns
  // separated by '|', NULL shown as "NULL".
  std::string Query(const std::string& sql) const;

 private:
  TIsolatedConfig FConfig;
  std::string FFile;
  std::unique_ptr<tasks::TTaskDatabase> FDb;
};

// Makes the prepared database file at file (used before opening, and by the open tests).
void CreateTaskDatabaseFile(const std::string& file);

// A 3 s clip, 160x120 test pattern at 25 fps and a 440 Hz tone (Matroska, MPEG-4 part 2 and MP2),
// made once per build folder.
const std::string& TaskClip();
constexpr double TaskClipSeconds = 3.0;

// Settings that convert source to target (AVI, MPEG-4 part 2 and MP2), filed under categoryId.
std::unique_ptr<tasks::TConversionSettings> ClipSettings(const std::string& source, const std::string& target,
                                                         int categoryId);

// ffprobe's container duration of file in seconds; -1 when it cannot read it.
double ProbeDuration(const std::string& file);

// The UI thread of a test: a queue dispatcher installed while alive.
class TUiThread final {
 public:
  TUiThread() { base::SetDispatcher(&Dispatcher); }
  ~TUiThread() { base::SetDispatcher(nullptr); }
  // Serves the workers' calls until done() holds; false when a minute passes without it (a guard
  // against a hang, not a timing condition).
  bool PumpUntil(const std::function<bool()>& done);
  base::TQueueDispatcher Dispatcher;
};

// Records the alerts instead of showing them. Installs itself.
class TRecordingAlerts final : public tasks::ICompletionAlerts {
 public:
  TRecordingAlerts() { tasks::SetCompletionAlerts(this); }
  ~TRecordingAlerts() override { tasks::SetCompletionAlerts(nullptr); }
  void Show(const std::string& targetFile) override { Shown.push_back(targetFile); }
  std::vector<std::string> Shown;
};

}  // namespace vc::test
