#pragma once
// Result codes of the preview's media graph. The graph's operations answer with the values and
// meanings the first platform's media graph used, so callers (and stored habits such as the fill
// step's "nothing yet" code 99) read the same: non-negative is success, negative is failure.
#include <cstdint>

namespace vc::preview {

enum class TResult : int32_t {
  S_OK = 0,
  S_FALSE = 1,                           // success with a "no" / "done" meaning
  NothingYet = 99,                       // a pin's fill step: no decoded data yet, try again
  VFW_S_NO_MORE_ITEMS = 0x00040103,      // a media type position past the last offered type
  E_NOTIMPL = int32_t(0x80004001),
  E_POINTER = int32_t(0x80004003),
  E_FAIL = int32_t(0x80004005),
  E_UNEXPECTED = int32_t(0x8000FFFF),
  E_OUTOFMEMORY = int32_t(0x8007000E),
  E_INVALIDARG = int32_t(0x80070057),
  VFW_E_NO_ALLOCATOR = int32_t(0x8004020A),
  VFW_E_NOT_CONNECTED = int32_t(0x80040209),
  VFW_E_NOT_COMMITTED = int32_t(0x80040211),
  VFW_E_WRONG_STATE = int32_t(0x80040227),
  VFW_E_TYPE_NOT_ACCEPTED = int32_t(0x8004022A),
  VFW_E_CANNOT_RENDER = int32_t(0x80040218),
};

constexpr bool Succeeded(TResult r) { return static_cast<int32_t>(r) >= 0; }
constexpr bool Failed(TResult r) { return static_cast<int32_t>(r) < 0; }

// "S_OK", "E_INVALIDARG", ... or the code in hexadecimal.
const char* ResultName(TResult r);

}  // namespace vc::preview
