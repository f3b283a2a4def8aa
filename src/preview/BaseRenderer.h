#pragma once
// The input end of the preview's media graph: a renderer takes one pin's samples and presents
// them. This base holds what every renderer shares: the connection and its media type, the
// allocator, the filter state, the segment, flushing and end of stream, and the pacing against
// the graph's reference clock. Concrete renderers (a video widget, a sound output, the null
// renderers of the tests) only say how one sample is presented.
//
// Pacing: a paced renderer presents a sample when the clock reaches the run start plus the
// sample's start time; while paused it holds the first sample it gets, showing it as the still
// picture (the graph waits for that, "cued", before it runs, so every renderer starts together). An unpaced renderer presents each
// sample as soon as it arrives, in any state but stopped.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "preview/Allocator.h"
#include "preview/GraphEvents.h"
#include "preview/MediaSample.h"
#include "preview/MediaType.h"
#include "preview/ReferenceClock.h"
#include "preview/Result.h"

namespace vc::preview {

class TSourceStreamPin;

class TBaseRenderer {
 public:
  TBaseRenderer(TMajorType kind, bool paced);
  virtual ~TBaseRenderer();
  TBaseRenderer(const TBaseRenderer&) = delete;
  TBaseRenderer& operator=(const TBaseRenderer&) = delete;

  TMajorType Kind() const { return FKind; }
  bool Paced() const;
  void SetPaced(bool paced);

  // Connection (called by the output pin while the graph is built).
  virtual TResult CheckMediaType(const TMediaType& type) const;
  TResult ReceiveConnection(TSourceStreamPin& pin, const TMediaType& type);
  // A connected pin proposes a new type; accepting adopts it for the samples that follow.
  TResult QueryAccept(const TMediaType& type);
  void Disconnect();
  bool IsConnected() const;
  TMediaType CurrentMediaType() const;
  TSourceStreamPin* ConnectedPin() const;
  std::shared_ptr<TMemAllocator> Allocator() const { return FAllocator; }
  TResult NotifyAllocator(const std::shared_ptr<TMemAllocator>& allocator, bool readOnly);

  // Streaming (called on the pin's delivery thread).
  virtual TResult Receive(TMediaSample& sample);
  TResult NewSegment(int64_t start, int64_t stop, double rate);  // 100-ns units
  TResult BeginFlush();
  TResult EndFlush();
  TResult EndOfStream();

  // Filter state (called by the graph).
  void Stop();
  void Pause();
  void Run(int64_t startTime);  // clock time (100 ns) at which stream time 0 is presented
  TFilterState State() const;
  void SetClock(IReferenceClock* clock);
  // The clock this renderer keeps, when it plays through a device with its own pace.
  virtual IReferenceClock* ProvidedClock() { return nullptr; }
  void SetEventSink(TGraphEventSink sink);

  // True once the renderer can start with the others: it holds a sample while paused, has seen
  // the end of its stream, is unpaced or is not connected. Waits up to timeout for that.
  bool WaitCued(std::chrono::milliseconds timeout);
  // The end of the stream was received and everything before it presented.
  bool Complete() const;

 protected:
  // Presents one sample. streamTime: clock time minus run start when running (100 ns), -1 while
  // not running. Called without the renderer's lock held.
  virtual void RenderSample(const TMediaSample& sample, int64_t streamTime) = 0;
  // A paced renderer got a sample while paused and holds it until the run: a video renderer
  // shows it as the still picture of the paused graph. Called without the lock held.
  virtual void OnReceiveFirstSample(const TMediaSample& /*sample*/) {}
  // Notifications for renderers that keep their own records; called without the lock held.
  virtual void OnMediaType(const TMediaType& /*type*/) {}
  virtual void OnNewSegment(int64_t /*start*/, int64_t /*stop*/, double /*rate*/) {}
  virtual void OnBeginFlush() {}
  virtual void OnEndFlush() {}
  virtual void OnEndOfStream() {}

 private:
  bool cued() const;  // under FLock
  void signalComplete(std::unique_lock<std::mutex>& lock);

  const TMajorType FKind;
  std::shared_ptr<TMemAllocator> FAllocator;
  mutable std::mutex FLock;
  std::condition_variable FChanged;
  bool FPaced;
  TSourceStreamPin* FPin = nullptr;
  TMediaType FMediaType;
  TFilterState FState = TFilterState::Stopped;
  IReferenceClock* FClock = nullptr;
  int64_t FRunStart = 0;  // clock time of stream time 0 (100 ns)
  bool FFlushing = false;
  bool FEndOfStream = false;
  bool FCompleteSent = false;
  bool FHolding = false;  // a paced sample waits for its time
  TGraphEventSink FEventSink;
};

}  // namespace vc::preview
