#include "preview/Result.h"

#include <cstdio>

namespace vc::preview {

const char* ResultName(TResult r) {
  switch (r) {
    case TResult::S_OK: return "S_OK";
    case TResult::S_FALSE: return "S_FALSE";
    case TResult::NothingYet: return "NothingYet";
    case TResult::VFW_S_NO_MORE_ITEMS: return "VFW_S_NO_MORE_ITEMS";
    case TResult::E_NOTIMPL: return "E_NOTIMPL";
    case TResult::E_POINTER: return "E_POINTER";
    case TResult::E_FAIL: return "E_FAIL";
    case TResult::E_UNEXPECTED: return "E_UNEXPECTED";
    case TResult::E_OUTOFMEMORY: return "E_OUTOFMEMORY";
    case TResult::E_INVALIDARG: return "E_INVALIDARG";
    case TResult::VFW_E_NO_ALLOCATOR: return "VFW_E_NO_ALLOCATOR";
    case TResult::VFW_E_NOT_CONNECTED: return "VFW_E_NOT_CONNECTED";
    case TResult::VFW_E_NOT_COMMITTED: return "VFW_E_NOT_COMMITTED";
    case TResult::VFW_E_WRONG_STATE: return "VFW_E_WRONG_STATE";
    case TResult::VFW_E_TYPE_NOT_ACCEPTED: return "VFW_E_TYPE_NOT_ACCEPTED";
    case TResult::VFW_E_CANNOT_RENDER: return "VFW_E_CANNOT_RENDER";
  }
  thread_local char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(r));
  return text;
}

}  // namespace vc::preview
