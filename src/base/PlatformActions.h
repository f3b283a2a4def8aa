#pragma once
// Everything that reaches outside the program: showing folders and files, opening files with
// their program, starting programs, shutting down, process priority. Tests install a recording
// fake, so no test opens a window, starts a player or shuts the machine down.
#include <string>
#include <vector>

namespace vc::base {

class IPlatformActions {
 public:
  virtual ~IPlatformActions() = default;
  virtual void ShowFolder(const std::string& folder) = 0;  // file manager on the folder
  virtual void ShowFile(const std::string& file) = 0;      // file manager with the file selected
  virtual void OpenFile(const std::string& file) = 0;      // the file's associated program
  // Starts a program found on PATH, detached; false when it could not be started.
  virtual bool RunProgram(const std::string& program, const std::vector<std::string>& args) = 0;
  virtual void PlayFile(const std::string& file) = 0;      // the companion player, else the associated program
  virtual void ShutDown() = 0;
  // Priority level 0 (lowest) to 5 (highest); failures are ignored.
  virtual void SetProcessPriority(int level) = 0;
};

// Linux: freedesktop file manager over D-Bus with xdg-open as fallback, logind power-off, nice.
class TLinuxPlatformActions final : public IPlatformActions {
 public:
  void ShowFolder(const std::string& folder) override;
  void ShowFile(const std::string& file) override;
  void OpenFile(const std::string& file) override;
  bool RunProgram(const std::string& program, const std::vector<std::string>& args) override;
  void PlayFile(const std::string& file) override;
  void ShutDown() override;
  void SetProcessPriority(int level) override;
};

// The nice value for a priority level 0..5 (19, 10, 0, -5, -10, -20); levels outside are clamped.
int NiceForPriorityLevel(int level);

IPlatformActions& PlatformActions();
void SetPlatformActions(IPlatformActions* actions);

}  // namespace vc::base
