#include "media/CircularBuffer.h"

#include <cstring>

#include "base/Errors.h"

namespace vc::media {

TCircularBuffer::TCircularBuffer(int32_t capacity) : FData(capacity > 0 ? capacity : 0), FCapacity(capacity) {
  if (capacity <= 0) throw base::EVelocastError("A circular buffer needs a positive capacity");
}

void TCircularBuffer::Clear() {
  std::lock_guard lock(FLock);
  FWritePosition = 0;
  FReadPosition = 0;
}

int32_t TCircularBuffer::available() const {
  if (FWritePosition == FReadPosition) return 0;
  int32_t n = FWritePosition - FReadPosition;
  if (n <= 0) n += FCapacity;
  return n;
}

int32_t TCircularBuffer::space() const {
  if (FWritePosition == FReadPosition) return FCapacity;
  int32_t n = FReadPosition - FWritePosition;
  if (n <= 0) n += FCapacity;
  return n;
}

int32_t TCircularBuffer::Available(bool takeLock) const {
  if (!takeLock) return available();
  std::lock_guard lock(FLock);
  return available();
}

int32_t TCircularBuffer::Space(bool takeLock) const {
  if (!takeLock) return space();
  std::lock_guard lock(FLock);
  return space();
}

bool TCircularBuffer::Read(void* destination, int32_t count) {
  std::lock_guard lock(FLock);
  if (count < 0 || available() < count) return false;
  auto* out = static_cast<uint8_t*>(destination);
  if (FReadPosition + count > FCapacity) {
    const int32_t tail = FCapacity - FReadPosition;
    std::memcpy(out, FData.data() + FReadPosition, tail);
    std::memcpy(out + tail, FData.data(), count - tail);
    FReadPosition = count - tail;
  } else {
    if (count > 0) std::memcpy(out, FData.data() + FReadPosition, count);
    FReadPosition += count;
    // A read ending exactly at the end of the block continues at its start; wrapping here keeps
    // "equal positions" the only empty state.
    if (FReadPosition == FCapacity) FReadPosition = 0;
  }
  return true;
}

bool TCircularBuffer::Write(const void* source, int32_t count) {
  std::lock_guard lock(FLock);
  if (count < 0 || count >= space()) return false;
  const auto* in = static_cast<const uint8_t*>(source);
  if (FWritePosition + count >= FCapacity) {
    const int32_t tail = FCapacity - FWritePosition;
    std::memcpy(FData.data() + FWritePosition, in, tail);
    std::memcpy(FData.data(), in + tail, count - tail);
    FWritePosition = count - tail;
  } else {
    if (count > 0) std::memcpy(FData.data() + FWritePosition, in, count);
    FWritePosition += count;
  }
  return true;
}

}  // namespace vc::media
