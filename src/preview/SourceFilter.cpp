#include "preview/SourceFilter.h"

#include "preview/SourceStreamPin.h"

namespace vc::preview {

TSourceFilter::TSourceFilter(std::string name) : FName(std::move(name)) {}

TSourceFilter::~TSourceFilter() = default;

TSourceStreamPin* TSourceFilter::Pin(int index) const {
  return index >= 0 && index < PinCount() ? FPins[static_cast<size_t>(index)] : nullptr;
}

TResult TSourceFilter::Stop() {
  std::lock_guard lock(FStateLock);
  TResult result = TResult::S_OK;
  for (TSourceStreamPin* pin : FPins) {
    const TResult r = pin->Inactive();
    if (Failed(r) && Succeeded(result)) result = r;
  }
  FState = TFilterState::Stopped;
  return result;
}

TResult TSourceFilter::Pause() {
  std::lock_guard lock(FStateLock);
  if (FState == TFilterState::Stopped) {
    for (TSourceStreamPin* pin : FPins) {
      if (!pin->IsConnected()) continue;
      const TResult r = pin->Active();
      if (Failed(r)) {
        for (TSourceStreamPin* other : FPins) other->Inactive();
        return r;
      }
    }
  }
  FState = TFilterState::Paused;
  return TResult::S_OK;
}

TResult TSourceFilter::Run(int64_t startTime) {
  std::lock_guard lock(FStateLock);
  if (FState == TFilterState::Stopped) {
    const TResult r = Pause();
    if (Failed(r)) return r;
  }
  FRunStart = startTime;
  FState = TFilterState::Running;
  return TResult::S_OK;
}

TFilterState TSourceFilter::State() const {
  std::lock_guard lock(FStateLock);
  return FState;
}

void TSourceFilter::SetEventSink(TGraphEventSink sink) {
  std::lock_guard lock(FEventLock);
  FEventSink = std::move(sink);
}

void TSourceFilter::NotifyEvent(const TGraphEvent& event) {
  TGraphEventSink sink;
  {
    std::lock_guard lock(FEventLock);
    sink = FEventSink;
  }
  if (sink) sink(event);
}

void TSourceFilter::StopForRelease() {
  std::lock_guard lock(FStateLock);
  for (TSourceStreamPin* pin : FPins) {
    if (!pin->ThreadExists()) continue;
    // A paced renderer may hold the thread inside a delivery; a flush lets it go.
    pin->DeliverBeginFlush();
    pin->Inactive();
    pin->DeliverEndFlush();
  }
  FState = TFilterState::Stopped;
}

}  // namespace vc::preview
