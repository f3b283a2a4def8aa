#pragma once
// A failure inside the library: a script that cannot be read or run, a call that does not match
// its function, a clip that cannot be made. The C interface turns it into an error value.
#include <stdexcept>
#include <string>

namespace vc::scriptclip {

class TScriptError final : public std::runtime_error {
 public:
  explicit TScriptError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace vc::scriptclip
