#pragma once
// The completion alert: what it says and what its buttons do. The desktop shows it as a small
// borderless window at the corner of the screen; the tasks only ask for one per completed file.
#include <string>

namespace vc::tasks {

inline constexpr const char* CompletionAlertHeader = "Task Completed";
inline constexpr const char* CompletionAlertFolderButton = "Folder";
inline constexpr const char* CompletionAlertCloseButton = "Close";

// Geometry and timing of the alert window, in pixels and milliseconds.
struct TCompletionAlertLayout {
  static constexpr int Width = 270;
  static constexpr int Height = 150;
  static constexpr int DisplayTime = 40000;  // ms, between fading in and fading out
  static constexpr int ButtonWidth = 60;
  static constexpr int ButtonHeight = 23;
  static constexpr int FolderButtonLeft = 105;
  static constexpr int CloseButtonLeft = 195;
};

// "%s was generated." with the target file's full path.
std::string CompletionAlertMessage(const std::string& targetFile);

// Clicking the message or "Folder": the file shown in the file browser when it is there, else the
// error box "%s does not exists." with its path (the alert stays).
void CompletionAlertFolderClick(const std::string& targetFile);

class ICompletionAlerts {
 public:
  virtual ~ICompletionAlerts() = default;
  // Shows one alert about targetFile; several may be shown at once.
  virtual void Show(const std::string& targetFile) = 0;
};

// The process-wide alerts. Without an installed one nothing is shown (the terminal program).
ICompletionAlerts& CompletionAlerts();
// Installs the alerts (not owned; nullptr restores the silent one).
void SetCompletionAlerts(ICompletionAlerts* alerts);

}  // namespace vc::tasks
