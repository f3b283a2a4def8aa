#include "profiles/FilterPath.h"

namespace vc::profiles {

std::string DoubledBackslashes(const std::string& path) {
  std::string text;
  text.reserve(path.size());
  for (const char c : path) {
    text += c;
    if (c == '\\') text += '\\';
  }
  return text;
}

}  // namespace vc::profiles
