#include "tasks/CompletionAlerts.h"

#include <atomic>
#include <filesystem>

#include "base/Format.h"
#include "base/PlatformActions.h"
#include "base/Prompts.h"

namespace vc::tasks {

std::string CompletionAlertMessage(const std::string& targetFile) {
  return base::Format("%s was generated.", targetFile.c_str());
}

void CompletionAlertFolderClick(const std::string& targetFile) {
  std::error_code ec;
  if (std::filesystem::is_regular_file(targetFile, ec))
    base::PlatformActions().ShowFile(targetFile);
  else
    base::Prompts().ShowError(base::Format("%s does not exists.", targetFile.c_str()));
}

namespace {
class TSilentAlerts final : public ICompletionAlerts {
 public:
  void Show(const std::string&) override {}
};
TSilentAlerts silentAlerts;
std::atomic<ICompletionAlerts*> installedAlerts{nullptr};
}  // namespace

ICompletionAlerts& CompletionAlerts() {
  ICompletionAlerts* alerts = installedAlerts.load();
  return alerts ? *alerts : silentAlerts;
}

void SetCompletionAlerts(ICompletionAlerts* alerts) { installedAlerts.store(alerts); }

}  // namespace vc::tasks
