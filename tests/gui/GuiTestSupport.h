#pragma once
// What the desktop tests share: the Qt application on the offscreen platform, a real task
// database in an isolated configuration folder, a small clip to convert, pumping the event loop
// while conversions run, and answering modal dialogs.
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "support/TestSupport.h"
#include "tasks/ConversionSettings.h"

namespace vc::test {

// The application object of the test process, made on first use.
void EnsureApplication();

// An isolated configuration folder holding av.cfg made from data/av.sql with the sqlite3 program,
// recording message boxes and platform actions, and the configuration at its defaults. The
// database is not opened: the desktop opens it.
class TGuiEnvironment final {
 public:
  TGuiEnvironment();
  ~TGuiEnvironment();
  const std::string& Root() const { return FConfig.Root(); }
  const std::string& DatabaseFile() const { return FDatabase; }
  std::string File(const std::string& name) const { return FFiles.File(name); }
  // Runs sql on the database with the sqlite3 program; rows as lines, columns separated by '|'.
  std::string Query(const std::string& sql) const;

  TRecordingPrompts Prompts;
  TRecordingPlatformActions Actions;

 private:
  TIsolatedConfig FConfig;
  TTempDir FFiles;
  std::string FDatabase;
};

// A 3 s clip, 160x120 at 25 fps with a tone (Matroska, MPEG-4 part 2 and MP2), made once.
const std::string& GuiClip();
// Settings that convert source to target (AVI, MPEG-4 part 2 and MP2), filed under categoryId.
std::unique_ptr<tasks::TConversionSettings> ClipSettings(const std::string& source, const std::string& target,
                                                         int categoryId);
// ffprobe's container duration in seconds; -1 when it cannot read the file.
double ProbeDuration(const std::string& file);

// Runs the event loop until done() holds; false when a minute passes first (a guard against a
// hang, not a timing condition).
bool PumpUntil(const std::function<bool()>& done);
// Runs the event loop once for whatever is queued.
void Pump();

// Answers the next modal dialog: act runs on it as soon as it shows (inside its event loop).
void OnNextModal(std::function<void(QWidget* dialog)> act);

// Closes every completion alert still shown.
void CloseAlerts();

}  // namespace vc::test
