#include "base/AppPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace vc::base {

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/";
}

std::string ConfigRoot() {
  // The XDG rules ignore a relative value.
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
    std::string root = xdg;
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    return root;
  }
  return HomeFolder() + "/.config";
}

std::string AppDataFolder() { return ConfigRoot() + "/Tamberlin/Velocast"; }

bool ForceDirectories(const std::string& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return std::filesystem::is_directory(folder, ec);
}

}  // namespace vc::base
