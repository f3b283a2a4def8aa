#pragma once
// The commands of velocast-cli. Each returns the process exit status.
#include <string>
#include <vector>

namespace vc::profiles {
class TAVProfileList;
}

namespace vc::cli {

using TArgs = std::vector<std::string>;

// The built-in catalogue with the user's profile file applied, as the desktop starts with it.
void LoadProfileList(profiles::TAVProfileList& list);

int cmdVersion(const TArgs& args);
int cmdConfig(const TArgs& args);
int cmdProfiles(const TArgs& args);
int cmdRun(const TArgs& args);
int cmdConvert(const TArgs& args);
int cmdDvd(const TArgs& args);
int cmdSnapshot(const TArgs& args);
int cmdTasks(const TArgs& args);
int cmdCategories(const TArgs& args);
int cmdStart(const TArgs& args);

}  // namespace vc::cli
