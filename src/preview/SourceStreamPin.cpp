#include "preview/SourceStreamPin.h"

#include "preview/BaseRenderer.h"
#include "preview/SourceFilter.h"

namespace vc::preview {

TSourceStreamPin::TSourceStreamPin(TSourceFilter& filter, std::string objectName, std::string pinName)
    : FFilter(filter), FObjectName(std::move(objectName)), FName(std::move(pinName)) {}

TSourceStreamPin::~TSourceStreamPin() {
  // The owner deactivates the pin first; this only guards against a thread left behind.
  if (FThread.joinable()) {
    CallWorker(TCommand::Exit);
    FThread.join();
  }
}

TResult TSourceStreamPin::Connect(TBaseRenderer& renderer) {
  std::lock_guard state(FFilter.StateLock());
  if (IsConnected()) return TResult::E_UNEXPECTED;
  for (int position = 0;; ++position) {
    TMediaType type;
    if (GetMediaType(position, &type) != TResult::S_OK) break;
    if (CheckMediaType(type) != TResult::S_OK) continue;
    {
      std::lock_guard lock(FConnectionLock);
      FConnected = &renderer;
    }
    if (renderer.ReceiveConnection(*this, type) != TResult::S_OK || SetMediaType(type) != TResult::S_OK) {
      renderer.Disconnect();
      std::lock_guard lock(FConnectionLock);
      FConnected = nullptr;
      continue;
    }
    const TResult r = ReconnectAllocator();
    if (Failed(r)) {
      Disconnect();
      return r;
    }
    return TResult::S_OK;
  }
  return TResult::VFW_E_TYPE_NOT_ACCEPTED;
}

TResult TSourceStreamPin::ReconnectAllocator() {
  TBaseRenderer* renderer = ConnectedTo();
  if (!renderer) return TResult::VFW_E_NOT_CONNECTED;
  std::shared_ptr<TMemAllocator> allocator = renderer->Allocator();
  if (!allocator) return TResult::VFW_E_NO_ALLOCATOR;
  TAllocatorProperties request;
  TResult r = DecideBufferSize(allocator.get(), &request);
  if (Failed(r)) return r;
  r = renderer->NotifyAllocator(allocator, false);
  if (Failed(r)) return r;
  std::lock_guard lock(FConnectionLock);
  FAllocator = allocator;
  return TResult::S_OK;
}

void TSourceStreamPin::Disconnect() {
  TBaseRenderer* renderer = nullptr;
  {
    std::lock_guard lock(FConnectionLock);
    renderer = FConnected;
    FConnected = nullptr;
    FAllocator.reset();
  }
  if (renderer) renderer->Disconnect();
}

bool TSourceStreamPin::IsConnected() const {
  std::lock_guard lock(FConnectionLock);
  return FConnected != nullptr;
}

TBaseRenderer* TSourceStreamPin::ConnectedTo() const {
  std::lock_guard lock(FConnectionLock);
  return FConnected;
}

TMediaType TSourceStreamPin::CurrentMediaType() const {
  std::lock_guard lock(FConnectionLock);
  return FMediaType;
}

TResult TSourceStreamPin::SetMediaType(const TMediaType& type) {
  std::lock_guard lock(FConnectionLock);
  FMediaType = type;
  return TResult::S_OK;
}

std::shared_ptr<TMemAllocator> TSourceStreamPin::AllocatorInUse() const {
  std::lock_guard lock(FConnectionLock);
  return FAllocator;
}

TResult TSourceStreamPin::Active() {
  std::shared_ptr<TMemAllocator> allocator = AllocatorInUse();
  if (!allocator) return TResult::VFW_E_NO_ALLOCATOR;
  TResult r = allocator->Commit();
  if (Failed(r)) return r;
  if (ThreadExists()) return TResult::S_FALSE;
  {
    std::lock_guard lock(FCommandLock);
    FPending = false;
    FPoked = false;
  }
  FThread = std::thread([this] { threadProc(); });
  r = CallWorker(TCommand::Init);
  if (Failed(r)) return r;
  return CallWorker(TCommand::Pause);
}

TResult TSourceStreamPin::Inactive() {
  if (std::shared_ptr<TMemAllocator> allocator = AllocatorInUse()) allocator->Decommit();
  if (!ThreadExists()) return TResult::S_OK;
  CallWorker(TCommand::Stop);
  CallWorker(TCommand::Exit);
  FThread.join();
  return TResult::S_OK;
}

bool TSourceStreamPin::ThreadExists() const { return FThread.joinable(); }

TResult TSourceStreamPin::CallWorker(TCommand command) {
  if (!ThreadExists()) return TResult::E_FAIL;
  std::lock_guard call(FCallLock);
  std::unique_lock lock(FCommandLock);
  FCommand = command;
  FPending = true;
  FReplied = false;
  FCommandChanged.notify_all();
  FCommandChanged.wait(lock, [&] { return FReplied; });
  return FReply;
}

TSourceStreamPin::TCommand TSourceStreamPin::getRequest() {
  std::unique_lock lock(FCommandLock);
  FCommandChanged.wait(lock, [&] { return FPending; });
  return FCommand;
}

bool TSourceStreamPin::CheckRequest(TCommand* command) {
  std::lock_guard lock(FCommandLock);
  if (!FPending) return false;
  if (command) *command = FCommand;
  return true;
}

void TSourceStreamPin::Reply(TResult result) {
  {
    std::lock_guard lock(FCommandLock);
    FPending = false;
    FReply = result;
    FReplied = true;
  }
  FCommandChanged.notify_all();
}

void TSourceStreamPin::WaitForWork(std::chrono::milliseconds timeout) {
  std::unique_lock lock(FCommandLock);
  FCommandChanged.wait_for(lock, timeout, [&] { return FPending || FPoked; });
  FPoked = false;
}

void TSourceStreamPin::Poke() {
  {
    std::lock_guard lock(FCommandLock);
    FPoked = true;
  }
  FCommandChanged.notify_all();
}

void TSourceStreamPin::threadProc() {
  for (;;) {
    const TCommand command = getRequest();
    switch (command) {
      case TCommand::Exit:
        Reply(TResult::S_OK);
        return;
      case TCommand::Init:
        Reply(OnThreadCreate());
        break;
      case TCommand::Run:
      case TCommand::Pause:
        Reply(TResult::S_OK);
        DoBufferProcessingLoop();
        break;
      case TCommand::Stop:
        Reply(TResult::S_OK);
        break;
    }
  }
}

TResult TSourceStreamPin::GetDeliveryBuffer(TSamplePtr& sample) {
  std::shared_ptr<TMemAllocator> allocator = AllocatorInUse();
  if (!allocator) return TResult::VFW_E_NO_ALLOCATOR;
  return allocator->GetBuffer(sample);
}

TResult TSourceStreamPin::Deliver(TMediaSample& sample) {
  TBaseRenderer* renderer = ConnectedTo();
  return renderer ? renderer->Receive(sample) : TResult::VFW_E_NOT_CONNECTED;
}

TResult TSourceStreamPin::DeliverNewSegment(int64_t start, int64_t stop, double rate) {
  TBaseRenderer* renderer = ConnectedTo();
  return renderer ? renderer->NewSegment(start, stop, rate) : TResult::VFW_E_NOT_CONNECTED;
}

TResult TSourceStreamPin::DeliverBeginFlush() {
  TBaseRenderer* renderer = ConnectedTo();
  return renderer ? renderer->BeginFlush() : TResult::VFW_E_NOT_CONNECTED;
}

TResult TSourceStreamPin::DeliverEndFlush() {
  TBaseRenderer* renderer = ConnectedTo();
  return renderer ? renderer->EndFlush() : TResult::VFW_E_NOT_CONNECTED;
}

TResult TSourceStreamPin::DeliverEndOfStream() {
  TBaseRenderer* renderer = ConnectedTo();
  return renderer ? renderer->EndOfStream() : TResult::VFW_E_NOT_CONNECTED;
}

}  // namespace vc::preview
