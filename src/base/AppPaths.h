#pragma once
// Per-user folders: the configuration root ($XDG_CONFIG_HOME, default ~/.config) and home.
#include <string>

namespace vc::base {

std::string HomeFolder();
// $XDG_CONFIG_HOME when set to an absolute path, else $HOME/.config; no trailing separator.
std::string ConfigRoot();
// ConfigRoot()/Tamberlin/Velocast, the application-data folder.
std::string AppDataFolder();
// Creates the folder with all missing parents; false when it could not be created.
bool ForceDirectories(const std::string& folder);

}  // namespace vc::base
