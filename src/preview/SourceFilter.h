#pragma once
// A source filter of the preview's media graph: it owns output pins (registered by the derived
// class), moves between stopped, paused and running, and reports events to the graph. The state
// lock is held across state changes and while pins negotiate types and buffer sizes.
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "preview/GraphEvents.h"
#include "preview/Result.h"

namespace vc::preview {

class IMediaSeeking;
class TSourceStreamPin;

class TSourceFilter {
 public:
  explicit TSourceFilter(std::string name);
  virtual ~TSourceFilter();
  TSourceFilter(const TSourceFilter&) = delete;
  TSourceFilter& operator=(const TSourceFilter&) = delete;

  const std::string& Name() const { return FName; }
  std::recursive_mutex& StateLock() const { return FStateLock; }

  int PinCount() const { return static_cast<int>(FPins.size()); }
  TSourceStreamPin* Pin(int index) const;

  // Stopped -> paused starts the delivery threads of the connected pins; any -> stopped ends them.
  virtual TResult Stop();
  virtual TResult Pause();
  virtual TResult Run(int64_t startTime);  // clock time of stream time 0, 100 ns
  TFilterState State() const;

  // The seeking interface when the filter has one.
  virtual IMediaSeeking* Seeking() { return nullptr; }

  void SetEventSink(TGraphEventSink sink);
  void NotifyEvent(const TGraphEvent& event);

 protected:
  void AddPin(TSourceStreamPin* pin) { FPins.push_back(pin); }
  // Stops the pins' threads first, releasing a renderer that holds one of them; for destruction
  // outside a graph's orderly stop.
  void StopForRelease();

 private:
  const std::string FName;
  mutable std::recursive_mutex FStateLock;
  std::vector<TSourceStreamPin*> FPins;  // owned by the derived class
  TFilterState FState = TFilterState::Stopped;
  int64_t FRunStart = 0;
  std::mutex FEventLock;
  TGraphEventSink FEventSink;
};

}  // namespace vc::preview
