#include "base/PlatformActions.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>

extern char** environ;

namespace vc::base {

namespace {

// Starts argv[0] from PATH without waiting for it (a double fork leaves no zombie behind).
bool spawnDetached(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    setsid();
    pid_t grandchild = 0;
    const int rc = posix_spawnp(&grandchild, args[0], nullptr, nullptr, args.data(), environ);
    _exit(rc == 0 ? 0 : 127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string fileUri(const std::string& path) {
  return "file://" + std::filesystem::absolute(path).string();
}

}  // namespace

void TLinuxPlatformActions::ShowFolder(const std::string& folder) {
  if (!spawnDetached({"gdbus", "call", "--session", "--dest", "org.freedesktop.FileManager1", "--object-path",
                      "/org/freedesktop/FileManager1", "--method", "org.freedesktop.FileManager1.ShowFolders",
                      "['" + fileUri(folder) + "']", ""}))
    spawnDetached({"xdg-open", folder});
}

void TLinuxPlatformActions::ShowFile(const std::string& file) {
  if (!spawnDetached({"gdbus", "call", "--session", "--dest", "org.freedesktop.FileManager1", "--object-path",
                      "/org/freedesktop/FileManager1", "--method", "org.freedesktop.FileManager1.ShowItems",
                      "['" + fileUri(file) + "']", ""}))
    spawnDetached({"xdg-open", std::filesystem::path(file).parent_path().string()});
}

void TLinuxPlatformActions::OpenFile(const std::string& file) { spawnDetached({"xdg-open", file}); }

bool TLinuxPlatformActions::RunProgram(const std::string& program, const std::vector<std::string>& args) {
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), args.begin(), args.end());
  return spawnDetached(argv);
}

void TLinuxPlatformActions::PlayFile(const std::string& file) {
  if (!RunProgram("Vistrel", {file})) OpenFile(file);
}

void TLinuxPlatformActions::ShutDown() {
  if (!spawnDetached({"gdbus", "call", "--system", "--dest", "org.freedesktop.login1", "--object-path",
                      "/org/freedesktop/login1", "--method", "org.freedesktop.login1.Manager.PowerOff", "false"}))
    spawnDetached({"systemctl", "poweroff"});
}

int NiceForPriorityLevel(int level) {
  static constexpr int nice[] = {19, 10, 0, -5, -10, -20};
  return nice[std::clamp(level, 0, 5)];
}

void TLinuxPlatformActions::SetProcessPriority(int level) {
  // Raising priority needs privileges; without them the call fails and the old value stays.
  setpriority(PRIO_PROCESS, 0, NiceForPriorityLevel(level));
}

namespace {
TLinuxPlatformActions linuxActions;
std::atomic<IPlatformActions*> installedActions{nullptr};
}  // namespace

IPlatformActions& PlatformActions() {
  IPlatformActions* a = installedActions.load();
  return a ? *a : linuxActions;
}

void SetPlatformActions(IPlatformActions* actions) { installedActions.store(actions); }

}  // namespace vc::base
