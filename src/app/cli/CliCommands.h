#pragma once
// The commands of velocast-cli. Each returns the process exit status.
#include <string>
#include <vector>

namespace vc::cli {

using TArgs = std::vector<std::string>;

int cmdVersion(const TArgs& args);
int cmdConfig(const TArgs& args);

}  // namespace vc::cli
