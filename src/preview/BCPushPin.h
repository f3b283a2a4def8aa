#pragma once
// The two output pins of the decoding source share this base: the queue of decoded samples the
// decoder thread fills, the subtitle queue (video pin), the byte ring (audio pin), the pin lock
// that guards them, the discontinuity flag and the segment base; and the delivery loop that
// fills the renderer's buffers from the queue and stamps them relative to the segment start.
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

#include "media/CircularBuffer.h"
#include "preview/FFSample.h"
#include "preview/SourceStreamPin.h"

namespace vc::preview {

class TFFPushSource;

// Queue length at which the decoder stops reading while every present stream has that many.
inline constexpr size_t QueueHighWater = 30;
// Hard limit of one queue: a connected pin holds the decoder back at this length even when the
// other stream has run dry (sound ending before the pictures); an unconnected pin, which nobody
// drains, drops its oldest samples instead.
inline constexpr size_t QueueLimit = 120;

class TBCPushPin : public TSourceStreamPin {
 public:
  explicit TBCPushPin(TFFPushSource& source);
  ~TBCPushPin() override;

  TFFPushSource& Source() const { return FSource; }

  // Clears the ring and destroys every queued sample.
  void Clear();
  // Destroys every queued subtitle.
  void ClearSubtitles();
  // Decoder side.
  void QueueSample(std::unique_ptr<TFFSample> sample);
  void QueueSubtitle(std::unique_ptr<TFFSubtitle> subtitle);
  size_t QueueCount() const;
  size_t SubtitleCount() const;
  // The next delivered sample starts a new segment.
  void SetDiscontinuity();
  // Quality messages from downstream are accepted and ignored.
  TResult Notify() { return TResult::S_OK; }

  // Proposes a new media type to the renderer (after a stream switch or a new filter text): up to
  // 10 attempts 100 ms apart; then the type is set and the allocator sized anew.
  TResult Renegotiate(const TMediaType& type);

  // One fill step: S_OK (sample filled), NothingYet (99), S_FALSE (end of the input reached and
  // nothing left) or a failure. Public so the rules can be exercised without a delivery thread.
  virtual TResult FillBuffer(TMediaSample& sample) = 0;

 protected:
  TResult OnThreadStartPlay();
  TResult DoBufferProcessingLoop() override;

  TFFPushSource& FSource;
  mutable std::mutex FPinLock;  // guards the queues, the ring and the fields below
  std::deque<std::unique_ptr<TFFSample>> FSamples;
  std::deque<std::unique_ptr<TFFSubtitle>> FSubtitles;
  std::unique_ptr<media::TCircularBuffer> FRing;  // the audio pin's byte staging; null on the video pin
  bool FDiscontinuity = false;
  double FSegmentBase = 0;  // seconds: the filter's start position when the segment began
};

}  // namespace vc::preview
