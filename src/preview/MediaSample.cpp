#include "preview/MediaSample.h"

#include "preview/Allocator.h"

namespace vc::preview {

TMediaSample::TMediaSample(int32_t size, uint64_t generation)
    : FData(std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(size > 0 ? size : 1))),
      FSize(size),
      FGeneration(generation) {}

bool TMediaSample::GetTime(int64_t& start, int64_t& stop) const {
  if (!FTime) return false;
  start = FTime->Start;
  stop = FTime->Stop;
  return true;
}

bool TMediaSample::GetMediaTime(int64_t& start, int64_t& stop) const {
  if (!FMediaTime) return false;
  start = FMediaTime->Start;
  stop = FMediaTime->Stop;
  return true;
}

void TMediaSample::Reset() {
  FLength = 0;
  FTime.reset();
  FMediaTime.reset();
  FSyncPoint = false;
  FDiscontinuity = false;
  FMediaType.reset();
}

void TSampleReturn::operator()(TMediaSample* sample) const {
  if (Allocator)
    Allocator->ReturnSample(std::unique_ptr<TMediaSample>(sample));
  else
    delete sample;
}

}  // namespace vc::preview
