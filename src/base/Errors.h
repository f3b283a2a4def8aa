#pragma once
// Failures are exceptions carrying the system's English message text; broken invariants are
// assertion failures naming our own source file and line.
#include <stdexcept>
#include <string>

namespace vc::base {

class EVelocastError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Assigning a persistent object from one of another class.
class EConvertError : public EVelocastError {
 public:
  using EVelocastError::EVelocastError;
};

// A broken internal invariant (a programming error, never user input).
class EAssertionFailed : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

[[noreturn]] void AssertionFailed(const char* condition, const char* file, int line);

}  // namespace vc::base

#define VC_ASSERT(cond) \
  ((cond) ? static_cast<void>(0) : ::vc::base::AssertionFailed(#cond, __FILE__, __LINE__))
