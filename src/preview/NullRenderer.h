#pragma once
// A renderer that presents nothing and records everything it receives, in order: samples with
// their times, marks and (optionally) bytes, new segments, flushes and ends of stream. Paced it
// behaves like a real renderer on the graph's clock; unpaced it takes samples as fast as they
// come. The sound variant keeps its own clock, as a sound device would. Used by the tests and by
// the terminal program's picture grabbing.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "preview/BaseRenderer.h"

namespace vc::preview {

struct TRendererEntry {
  // Cue: a sample a paced renderer got while paused, shown as the still picture and held; it is
  // logged again as a Sample when presented.
  enum class TKind { Sample, Cue, NewSegment, BeginFlush, EndFlush, EndOfStream };
  TKind Kind = TKind::Sample;
  // Samples:
  bool HasTime = false;
  int64_t Start = 0, Stop = 0;  // 100 ns, relative to the segment start
  bool HasMediaTime = false;
  int64_t MediaStart = 0, MediaStop = 0;  // 100 ns
  bool SyncPoint = false;
  bool Discontinuity = false;
  int32_t Length = 0;         // bytes of data
  int64_t PresentedAt = -1;   // stream time of presentation (100 ns), -1 when not running
  int32_t Stride = 0;         // video: bytes per row of the sample's format
  std::vector<uint8_t> Data;  // the bytes, when kept
  // New segments:
  int64_t SegmentStart = 0, SegmentStop = 0;  // 100 ns
  double Rate = 0;
};

class TNullRenderer final : public TBaseRenderer {
 public:
  TNullRenderer(TMajorType kind, bool paced, bool keepData = false);

  // Video: ask the source for rows of this many pixels, wider than the picture (0: the picture's).
  // Set before the renderer is connected.
  void SetSurfaceWidth(int32_t pixels) { FSurfaceWidth = pixels; }

  std::vector<TRendererEntry> Log() const;
  std::vector<TRendererEntry> Samples() const;
  size_t SampleCount() const;
  void ClearLog();
  // Waits until the log satisfies `done` (checked on every change), up to timeout.
  bool WaitFor(const std::function<bool(const std::vector<TRendererEntry>&)>& done, std::chrono::milliseconds timeout);

  IReferenceClock* ProvidedClock() override { return Kind() == TMajorType::Audio ? &FDeviceClock : nullptr; }

 protected:
  void RenderSample(const TMediaSample& sample, int64_t streamTime) override;
  void OnReceiveFirstSample(const TMediaSample& sample) override;
  void OnMediaType(const TMediaType& type) override;
  void OnNewSegment(int64_t start, int64_t stop, double rate) override;
  void OnBeginFlush() override;
  void OnEndFlush() override;
  void OnEndOfStream() override;

 private:
  void add(TRendererEntry entry);
  TRendererEntry sampleEntry(const TMediaSample& sample, int64_t streamTime) const;

  const bool FKeepData;
  int32_t FSurfaceWidth = 0;
  std::atomic<int32_t> FStride = 0;  // bytes per row of the current format (video)
  TSteadyClock FDeviceClock;
  mutable std::mutex FLogLock;
  std::condition_variable FLogChanged;
  std::vector<TRendererEntry> FLog;
};

}  // namespace vc::preview
