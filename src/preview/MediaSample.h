#pragma once
// One buffer travelling from a source pin to a renderer: the bytes, the presentation times and
// media times (100-ns units), the sync-point and discontinuity marks, and a media type a renderer
// attached to announce a changed format for this and the following samples.
#include <cstdint>
#include <memory>
#include <optional>

#include "preview/MediaType.h"

namespace vc::preview {

class TMemAllocator;

class TMediaSample final {
 public:
  TMediaSample(int32_t size, uint64_t generation);
  TMediaSample(const TMediaSample&) = delete;
  TMediaSample& operator=(const TMediaSample&) = delete;

  uint8_t* Pointer() { return FData.get(); }
  const uint8_t* Pointer() const { return FData.get(); }
  int32_t Size() const { return FSize; }  // capacity in bytes
  int32_t ActualDataLength() const { return FLength; }
  void SetActualDataLength(int32_t length) { FLength = length; }

  // Presentation start and stop, 100-ns units relative to the current segment's start.
  void SetTime(int64_t start, int64_t stop) { FTime = {start, stop}; }
  bool GetTime(int64_t& start, int64_t& stop) const;
  // Position of the data in the stream as a whole, 100-ns units.
  void SetMediaTime(int64_t start, int64_t stop) { FMediaTime = {start, stop}; }
  bool GetMediaTime(int64_t& start, int64_t& stop) const;

  bool IsSyncPoint() const { return FSyncPoint; }
  void SetSyncPoint(bool value) { FSyncPoint = value; }
  bool IsDiscontinuity() const { return FDiscontinuity; }
  void SetDiscontinuity(bool value) { FDiscontinuity = value; }

  const TMediaType* MediaType() const { return FMediaType ? &*FMediaType : nullptr; }
  void SetMediaType(std::optional<TMediaType> type) { FMediaType = std::move(type); }

  uint64_t Generation() const { return FGeneration; }
  // Clears times, marks, length and type before the sample is handed out again.
  void Reset();

 private:
  struct TTimes {
    int64_t Start;
    int64_t Stop;
  };
  std::unique_ptr<uint8_t[]> FData;
  int32_t FSize;
  int32_t FLength = 0;
  uint64_t FGeneration;  // the allocator's property generation the buffer was made for
  std::optional<TTimes> FTime;
  std::optional<TTimes> FMediaTime;
  bool FSyncPoint = false;
  bool FDiscontinuity = false;
  std::optional<TMediaType> FMediaType;
};

// A sample handed out by an allocator; going out of scope returns it there.
struct TSampleReturn {
  std::shared_ptr<TMemAllocator> Allocator;
  void operator()(TMediaSample* sample) const;
};
using TSamplePtr = std::unique_ptr<TMediaSample, TSampleReturn>;

}  // namespace vc::preview
