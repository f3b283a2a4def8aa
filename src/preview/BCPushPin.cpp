#include "preview/BCPushPin.h"

#include <chrono>
#include <thread>

#include "base/Errors.h"
#include "preview/BaseRenderer.h"
#include "preview/FFPushSource.h"

namespace vc::preview {

namespace {
constexpr int kNegotiationAttempts = 10;
constexpr auto kNegotiationPause = std::chrono::milliseconds(100);
constexpr auto kBufferRetry = std::chrono::milliseconds(1);
// "Nothing yet" is retried as soon as the decoder queues something; the wait only bounds how
// long a missed wake-up can delay it, instead of spinning on an empty queue.
constexpr auto kNothingYetWait = std::chrono::milliseconds(10);
}  // namespace

TBCPushPin::TBCPushPin(TFFPushSource& source)
    : TSourceStreamPin(source, "FFMPEG Push Source Pin", "Out"), FSource(source) {}

TBCPushPin::~TBCPushPin() = default;

void TBCPushPin::Clear() {
  std::lock_guard lock(FPinLock);
  if (FRing) FRing->Clear();
  FSamples.clear();
}

void TBCPushPin::ClearSubtitles() {
  std::lock_guard lock(FPinLock);
  FSubtitles.clear();
}

void TBCPushPin::QueueSample(std::unique_ptr<TFFSample> sample) {
  {
    std::lock_guard lock(FPinLock);
    if (FSamples.size() >= QueueLimit && !IsConnected()) FSamples.pop_front();
    FSamples.push_back(std::move(sample));
  }
  Poke();
}

void TBCPushPin::QueueSubtitle(std::unique_ptr<TFFSubtitle> subtitle) {
  std::lock_guard lock(FPinLock);
  if (FSubtitles.size() >= QueueLimit && !IsConnected()) FSubtitles.pop_front();
  FSubtitles.push_back(std::move(subtitle));
}

size_t TBCPushPin::QueueCount() const {
  std::lock_guard lock(FPinLock);
  return FSamples.size();
}

size_t TBCPushPin::SubtitleCount() const {
  std::lock_guard lock(FPinLock);
  return FSubtitles.size();
}

void TBCPushPin::SetDiscontinuity() {
  std::lock_guard lock(FPinLock);
  FDiscontinuity = true;
}

TResult TBCPushPin::OnThreadStartPlay() {
  SetDiscontinuity();
  return DeliverNewSegment(FSource.StartPosition(), FSource.StopPosition(), 1.0);
}

TResult TBCPushPin::DoBufferProcessingLoop() {
  OnThreadStartPlay();
  for (;;) {
    TCommand command;
    if (CheckRequest(&command)) {
      if (command == TCommand::Stop) return TResult::S_FALSE;
      Reply(command == TCommand::Run || command == TCommand::Pause ? TResult::S_OK : TResult::E_UNEXPECTED);
      continue;
    }
    TSamplePtr sample;
    if (GetDeliveryBuffer(sample) != TResult::S_OK) {
      std::this_thread::sleep_for(kBufferRetry);
      continue;
    }
    TResult result;
    try {
      result = FillBuffer(*sample);
    } catch (const std::exception&) {
      result = TResult::E_FAIL;
    }
    if (result == TResult::S_OK) {
      const TResult delivered = Deliver(*sample);
      if (delivered != TResult::S_OK) return TResult::S_OK;
      continue;
    }
    sample.reset();
    if (result == TResult::NothingYet) {
      WaitForWork(kNothingYetWait);
      continue;
    }
    DeliverEndOfStream();
    if (result == TResult::S_FALSE) return TResult::S_OK;
    FSource.NotifyEvent({TGraphEvent::TCode::ErrorAbort, result});
    return result;
  }
}

TResult TBCPushPin::Renegotiate(const TMediaType& type) {
  Clear();
  TBaseRenderer* peer = ConnectedTo();
  if (!peer) return TResult::VFW_E_NOT_CONNECTED;
  bool accepted = false;
  for (int attempt = 0; attempt < kNegotiationAttempts && !accepted; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(kNegotiationPause);
    accepted = peer->QueryAccept(type) == TResult::S_OK;
  }
  if (!accepted) return TResult::VFW_E_TYPE_NOT_ACCEPTED;
  std::lock_guard state(FSource.StateLock());
  TResult r = SetMediaType(type);
  if (Failed(r)) return r;
  std::shared_ptr<TMemAllocator> allocator = AllocatorInUse();
  if (!allocator) return TResult::VFW_E_NO_ALLOCATOR;
  const bool wasCommitted = allocator->Committed();
  allocator->Decommit();
  r = ReconnectAllocator();
  if (Failed(r)) return r;
  return wasCommitted ? allocator->Commit() : TResult::S_OK;
}

}  // namespace vc::preview
