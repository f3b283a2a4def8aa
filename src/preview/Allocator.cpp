#include "preview/Allocator.h"

#include <algorithm>

namespace vc::preview {

std::shared_ptr<TMemAllocator> TMemAllocator::Create() {
  return std::shared_ptr<TMemAllocator>(new TMemAllocator());
}

TResult TMemAllocator::SetProperties(const TAllocatorProperties& request, TAllocatorProperties& actual) {
  std::lock_guard lock(FLock);
  if (FCommitted) return TResult::VFW_E_WRONG_STATE;
  if (request.Buffers <= 0 || request.BufferSize < 0) return TResult::E_INVALIDARG;
  FProperties = request;
  FProperties.BufferSize = std::max(request.BufferSize, FMinimumSize);
  FProperties.Align = std::max(request.Align, 1);
  ++FGeneration;
  FFree.clear();
  actual = FProperties;
  return TResult::S_OK;
}

TResult TMemAllocator::GetProperties(TAllocatorProperties& actual) const {
  std::lock_guard lock(FLock);
  actual = FProperties;
  return TResult::S_OK;
}

TResult TMemAllocator::Commit() {
  std::lock_guard lock(FLock);
  if (FProperties.Buffers <= 0) return TResult::VFW_E_WRONG_STATE;
  FCommitted = true;
  return TResult::S_OK;
}

TResult TMemAllocator::Decommit() {
  {
    std::lock_guard lock(FLock);
    FCommitted = false;
    FFree.clear();
  }
  FFreed.notify_all();
  return TResult::S_OK;
}

bool TMemAllocator::Committed() const {
  std::lock_guard lock(FLock);
  return FCommitted;
}

TResult TMemAllocator::GetBuffer(TSamplePtr& sample) {
  std::unique_lock lock(FLock);
  FFreed.wait(lock, [&] { return !FCommitted || !FFree.empty() || FOutstanding < FProperties.Buffers; });
  if (!FCommitted) return TResult::VFW_E_NOT_COMMITTED;
  std::unique_ptr<TMediaSample> buffer;
  if (!FFree.empty()) {
    buffer = std::move(FFree.back());
    FFree.pop_back();
  } else {
    buffer = std::make_unique<TMediaSample>(FProperties.BufferSize, FGeneration);
  }
  buffer->Reset();
  if (FAttach) {
    buffer->SetMediaType(std::move(FAttach));
    FAttach.reset();
  }
  ++FOutstanding;
  sample = TSamplePtr(buffer.release(), TSampleReturn{shared_from_this()});
  return TResult::S_OK;
}

void TMemAllocator::SetMinimumBufferSize(int32_t bytes) {
  std::lock_guard lock(FLock);
  FMinimumSize = bytes;
}

void TMemAllocator::AttachMediaType(const TMediaType& type) {
  std::lock_guard lock(FLock);
  FAttach = type;
}

void TMemAllocator::ReturnSample(std::unique_ptr<TMediaSample> sample) {
  {
    std::lock_guard lock(FLock);
    --FOutstanding;
    if (FCommitted && sample->Generation() == FGeneration) FFree.push_back(std::move(sample));
  }
  FFreed.notify_all();
}

}  // namespace vc::preview
