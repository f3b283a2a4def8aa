#pragma once
// A fixed byte ring with all-or-nothing reads and writes, guarded by its own mutex so one producer
// thread and one consumer thread can share it.
#include <cstdint>
#include <mutex>
#include <vector>

namespace vc::media {

class TCircularBuffer final {
 public:
  // Capacity of the rings of the DVD title stream and the preview pins: 8,100 DVD blocks.
  static constexpr int32_t DefaultCapacity = 8100 * 2048;

  explicit TCircularBuffer(int32_t capacity);
  TCircularBuffer(const TCircularBuffer&) = delete;
  TCircularBuffer& operator=(const TCircularBuffer&) = delete;

  int32_t Capacity() const { return FCapacity; }

  // Discards all content.
  void Clear();
  // Bytes that can be read. Without the lock only for use inside the buffer's own operations.
  int32_t Available(bool takeLock) const;
  // Free bytes as the ring counts them: capacity when empty. A write needs strictly more room than
  // it stores, so at most capacity - 1 bytes are ever held and "full" never looks like "empty".
  int32_t Space(bool takeLock) const;
  // Takes count bytes, or nothing (false) when fewer are available.
  bool Read(void* destination, int32_t count);
  // Stores count bytes, or nothing (false) when count is not less than Space.
  bool Write(const void* source, int32_t count);

 private:
  int32_t available() const;
  int32_t space() const;

  mutable std::mutex FLock;
  std::vector<uint8_t> FData;
  int32_t FCapacity;
  int32_t FWritePosition = 0;  // index at which the next written byte goes
  int32_t FReadPosition = 0;   // index of the next byte to read
};

}  // namespace vc::media
