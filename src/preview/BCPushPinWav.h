#pragma once
// The audio pin: interleaved signed 16-bit PCM, in buffers of 16,384 bytes that are always full
// except the last one before the queue runs dry.
#include <atomic>

#include "preview/BCPushPin.h"

namespace vc::preview {

inline constexpr int32_t AudioBufferBytes = 16384;

class TBCPushPinWav final : public TBCPushPin {
 public:
  explicit TBCPushPinWav(TFFPushSource& source);

  // Set when the audio decoder opens.
  void SetAudioFormat(int32_t channels, int32_t bitsPerSample, int32_t sampleRate);
  int32_t Channels() const { return FChannels; }
  int32_t SampleRate() const { return FSampleRate; }

  TResult GetMediaType(int position, TMediaType* type) override;
  TResult CheckMediaType(const TMediaType& type) override;
  TResult DecideBufferSize(TMemAllocator* allocator, TAllocatorProperties* request) override;
  TResult FillBuffer(TMediaSample& sample) override;

 private:
  std::atomic<int32_t> FChannels = 0;
  std::atomic<int32_t> FBitsPerSample = 16;
  std::atomic<int32_t> FSampleRate = 0;  // Hz
  double FNextStart = 0;                 // seconds, under FPinLock
  double FNextStop = 0;                  // seconds
  int64_t FMediaTime = 0;                // 100 ns
};

}  // namespace vc::preview
