#pragma once
// A pool of sample buffers shared by one pin and the renderer it feeds. The pin decides how many
// buffers of what size it needs; the renderer owns the allocator and may grant more (a renderer
// drawing into wider surfaces needs longer rows). Buffers are only handed out while committed;
// a decommit wakes every waiter, so a delivery thread blocked for a buffer can always be stopped.
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "preview/MediaSample.h"
#include "preview/Result.h"

namespace vc::preview {

struct TAllocatorProperties {
  int32_t Buffers = 0;     // how many samples may be out at once
  int32_t BufferSize = 0;  // bytes of each
  int32_t Align = 1;
  int32_t Prefix = 0;
};

class TMemAllocator final : public std::enable_shared_from_this<TMemAllocator> {
 public:
  static std::shared_ptr<TMemAllocator> Create();
  TMemAllocator(const TMemAllocator&) = delete;
  TMemAllocator& operator=(const TMemAllocator&) = delete;

  // Takes the request, granting at least the minimum buffer size; `actual` receives what holds.
  // Refused (VFW_E_WRONG_STATE) while committed.
  TResult SetProperties(const TAllocatorProperties& request, TAllocatorProperties& actual);
  TResult GetProperties(TAllocatorProperties& actual) const;
  TResult Commit();
  TResult Decommit();
  bool Committed() const;

  // Waits for a free buffer; VFW_E_NOT_COMMITTED when the allocator is (or becomes) decommitted.
  TResult GetBuffer(TSamplePtr& sample);

  // Buffers are never smaller than this (bytes); for renderers with their own surface sizes.
  void SetMinimumBufferSize(int32_t bytes);
  // The next sample handed out carries this type (once), announcing a renderer's format change.
  void AttachMediaType(const TMediaType& type);

  // Called by TSampleReturn.
  void ReturnSample(std::unique_ptr<TMediaSample> sample);

 private:
  TMemAllocator() = default;

  mutable std::mutex FLock;
  std::condition_variable FFreed;
  TAllocatorProperties FProperties;
  int32_t FMinimumSize = 0;
  bool FCommitted = false;
  uint64_t FGeneration = 1;  // raised by every property change: older buffers are dropped on return
  int32_t FOutstanding = 0;  // samples handed out and not yet returned
  std::vector<std::unique_ptr<TMediaSample>> FFree;
  std::optional<TMediaType> FAttach;
};

}  // namespace vc::preview
