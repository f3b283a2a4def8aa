#include "base/Errors.h"

#include <cstring>

#include "base/Format.h"

namespace vc::base {

void AssertionFailed(const char* condition, const char* file, int line) {
  // Name the file relative to src/ so the message says which unit broke.
  const char* unit = std::strstr(file, "src/");
  throw EAssertionFailed(Format("Assertion failed: %s (%s, line %d)", condition, unit ? unit + 4 : file, line));
}

}  // namespace vc::base
