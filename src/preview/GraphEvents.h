#pragma once
// Filter states and the notifications filters send to the graph that holds them.
#include <functional>

#include "preview/Result.h"

namespace vc::preview {

enum class TFilterState { Stopped, Paused, Running };

struct TGraphEvent {
  enum class TCode {
    Complete,    // a renderer has presented everything up to the end of its stream
    ErrorAbort,  // a pin's delivery failed; Result says why
  };
  TCode Code = TCode::Complete;
  TResult Result = TResult::S_OK;
};

using TGraphEventSink = std::function<void(const TGraphEvent& event)>;

}  // namespace vc::preview
