#include "preview/BCPushPinWav.h"

#include <algorithm>
#include <cmath>

#include "base/Errors.h"
#include "preview/FFPushSource.h"
#include "preview/ReferenceClock.h"

namespace vc::preview {

namespace {
int64_t segmentTime(double seconds, double segmentBase) {
  return std::llround((seconds - segmentBase) * UnitsPerSecond);
}
}  // namespace

TBCPushPinWav::TBCPushPinWav(TFFPushSource& source) : TBCPushPin(source) {
  FRing = std::make_unique<media::TCircularBuffer>(media::TCircularBuffer::DefaultCapacity);
}

void TBCPushPinWav::SetAudioFormat(int32_t channels, int32_t bitsPerSample, int32_t sampleRate) {
  FChannels = channels;
  FBitsPerSample = bitsPerSample;
  FSampleRate = sampleRate;
}

TResult TBCPushPinWav::GetMediaType(int position, TMediaType* type) {
  if (!type) return TResult::E_FAIL;
  if (position < 0) return TResult::E_INVALIDARG;
  if (position > 0 || !FSource.HasAudio()) return TResult::VFW_S_NO_MORE_ITEMS;
  std::lock_guard state(FSource.StateLock());
  TWaveFormatEx wave;
  wave.FormatTag = WAVE_FORMAT_PCM;
  wave.Channels = static_cast<uint16_t>(FChannels);
  wave.SamplesPerSec = static_cast<uint32_t>(FSampleRate);
  wave.BlockAlign = static_cast<uint16_t>(FChannels * FBitsPerSample / 8);
  wave.AvgBytesPerSec = wave.SamplesPerSec * wave.BlockAlign;
  wave.BitsPerSample = 16;
  wave.ExtraSize = 0;
  *type = TMediaType{};
  type->Major = TMajorType::Audio;
  type->Sub = TSubType::PCM;
  type->FormatType = TFormatType::WaveFormatEx;
  type->FormatSize = WaveFormatBlockSize;
  type->FixedSizeSamples = true;
  type->TemporalCompression = false;
  type->SampleSize = wave.BlockAlign;
  type->Format = wave;
  return TResult::S_OK;
}

TResult TBCPushPinWav::CheckMediaType(const TMediaType& type) {
  TMediaType offered;
  if (GetMediaType(0, &offered) != TResult::S_OK) return TResult::E_INVALIDARG;
  return type == offered ? TResult::S_OK : TResult::E_INVALIDARG;
}

TResult TBCPushPinWav::DecideBufferSize(TMemAllocator* allocator, TAllocatorProperties* request) {
  std::lock_guard state(FSource.StateLock());
  if (!allocator || !request) return TResult::E_POINTER;
  request->BufferSize = AudioBufferBytes;
  request->Buffers = std::max(1, FSampleRate * FBitsPerSample * FChannels / 131072 / 2);
  TAllocatorProperties actual;
  const TResult r = allocator->SetProperties(*request, actual);
  if (Failed(r)) return r;
  return actual.BufferSize < request->BufferSize ? TResult::E_FAIL : TResult::S_OK;
}

TResult TBCPushPinWav::FillBuffer(TMediaSample& sample) {
  std::lock_guard seeking(FSource.SeekingLock());
  uint8_t* data = sample.Pointer();
  int32_t wanted = sample.Size();
  {
    std::lock_guard lock(FPinLock);
    if (FSource.RestartPending()) return TResult::NothingYet;
    if (FSamples.empty() && FRing->Available(true) == 0)
      return FSource.EndOfInput() ? TResult::S_FALSE : TResult::NothingYet;
    const TMediaType type = CurrentMediaType();
    VC_ASSERT(type.FormatType == TFormatType::WaveFormatEx);
    VC_ASSERT(type.WaveFormat() && type.WaveFormat()->FormatTag == WAVE_FORMAT_PCM);
    const double bytesPerSecond = static_cast<double>(FSampleRate) * FChannels * 2;

    if (!FRing->Read(data, wanted)) {
      bool first = true;
      while (FRing->Available(true) < wanted && !FSamples.empty()) {
        std::unique_ptr<TFFSample> block = std::move(FSamples.front());
        FSamples.pop_front();
        if (first) {
          // The bytes still in the ring come right before this block: the buffer starts that
          // much earlier than the block does.
          FNextStart = block->Start - FRing->Available(true) / bytesPerSecond;
          first = false;
        }
        FRing->Write(block->Data.get() + block->Taken, block->Size - block->Taken);
      }
      if (!FRing->Read(data, wanted)) {
        wanted = FRing->Available(true);
        const bool taken = FRing->Read(data, wanted);
        VC_ASSERT(taken);
      }
    }

    if (FDiscontinuity) {
      FSegmentBase = static_cast<double>(FSource.StartPosition()) / UnitsPerSecond;
      FMediaTime = FSource.StartPosition();
    }
    const int64_t start = segmentTime(FNextStart, FSegmentBase);
    FNextStop = FNextStart + wanted / bytesPerSecond;
    const int64_t stop = segmentTime(FNextStop, FSegmentBase);
    sample.SetActualDataLength(wanted);
    FNextStart = FNextStop;
    sample.SetTime(start, stop);
    const int64_t mediaStart = FMediaTime;
    FMediaTime += stop - start;
    sample.SetMediaTime(mediaStart, FMediaTime);
    sample.SetSyncPoint(true);
    if (FDiscontinuity) {
      sample.SetDiscontinuity(true);
      FDiscontinuity = false;
    }
  }
  // Outside the pin lock, so a handler may ask the source or the pin about its state.
  FSource.FireOnAudioBuffer(data, wanted);
  return TResult::S_OK;
}

}  // namespace vc::preview
