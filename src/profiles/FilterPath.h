#pragma once
// Paths in the filters' texts have every backslash doubled: the filter library of the stored
// format took one level of backslash escapes off them.
#include <string>

namespace vc::profiles {

std::string DoubledBackslashes(const std::string& path);

}  // namespace vc::profiles
