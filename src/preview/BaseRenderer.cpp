#include "preview/BaseRenderer.h"

#include <algorithm>

#include "preview/SourceStreamPin.h"

namespace vc::preview {

namespace {
// Longest single wait of a paced sample: the clock may not be the steady clock the condition
// variable waits on, so a far-off due time is approached in steps.
constexpr auto kPacingStep = std::chrono::milliseconds(10);
}  // namespace

TBaseRenderer::TBaseRenderer(TMajorType kind, bool paced)
    : FKind(kind), FAllocator(TMemAllocator::Create()), FPaced(paced) {}

// A renderer going first leaves no pin pointing at it.
TBaseRenderer::~TBaseRenderer() {
  if (TSourceStreamPin* pin = ConnectedPin()) pin->Disconnect();
}

bool TBaseRenderer::Paced() const {
  std::lock_guard lock(FLock);
  return FPaced;
}

void TBaseRenderer::SetPaced(bool paced) {
  {
    std::lock_guard lock(FLock);
    FPaced = paced;
  }
  FChanged.notify_all();
}

TResult TBaseRenderer::CheckMediaType(const TMediaType& type) const {
  if (type.Major != FKind || !type.HasFormat()) return TResult::VFW_E_TYPE_NOT_ACCEPTED;
  if (FKind == TMajorType::Video && (type.Sub != TSubType::RGB32 || !type.VideoInfo()))
    return TResult::VFW_E_TYPE_NOT_ACCEPTED;
  if (FKind == TMajorType::Audio && (type.Sub != TSubType::PCM || !type.WaveFormat()))
    return TResult::VFW_E_TYPE_NOT_ACCEPTED;
  return TResult::S_OK;
}

TResult TBaseRenderer::ReceiveConnection(TSourceStreamPin& pin, const TMediaType& type) {
  if (CheckMediaType(type) != TResult::S_OK) return TResult::VFW_E_TYPE_NOT_ACCEPTED;
  {
    std::lock_guard lock(FLock);
    if (FPin) return TResult::E_UNEXPECTED;
    FPin = &pin;
    FMediaType = type;
  }
  OnMediaType(type);
  return TResult::S_OK;
}

TResult TBaseRenderer::QueryAccept(const TMediaType& type) {
  if (CheckMediaType(type) != TResult::S_OK) return TResult::S_FALSE;
  {
    std::lock_guard lock(FLock);
    if (!FPin) return TResult::VFW_E_NOT_CONNECTED;
    FMediaType = type;
  }
  OnMediaType(type);
  return TResult::S_OK;
}

void TBaseRenderer::Disconnect() {
  std::lock_guard lock(FLock);
  FPin = nullptr;
}

bool TBaseRenderer::IsConnected() const {
  std::lock_guard lock(FLock);
  return FPin != nullptr;
}

TMediaType TBaseRenderer::CurrentMediaType() const {
  std::lock_guard lock(FLock);
  return FMediaType;
}

TSourceStreamPin* TBaseRenderer::ConnectedPin() const {
  std::lock_guard lock(FLock);
  return FPin;
}

TResult TBaseRenderer::NotifyAllocator(const std::shared_ptr<TMemAllocator>& allocator, bool /*readOnly*/) {
  return allocator == FAllocator ? TResult::S_OK : TResult::E_FAIL;
}

TResult TBaseRenderer::Receive(TMediaSample& sample) {
  std::unique_lock lock(FLock);
  if (FFlushing || FEndOfStream) return TResult::S_FALSE;
  if (FState == TFilterState::Stopped) return TResult::VFW_E_WRONG_STATE;
  int64_t start = 0, stop = 0;
  const bool timed = sample.GetTime(start, stop);
  if (FPaced && timed) {
    if (FState == TFilterState::Paused) {
      lock.unlock();
      OnReceiveFirstSample(sample);
      lock.lock();
    }
    FHolding = true;
    FChanged.notify_all();
    for (;;) {
      if (FFlushing || FState == TFilterState::Stopped || !FPaced) break;
      if (FState == TFilterState::Running && FClock) {
        const int64_t wait = FRunStart + start - FClock->Now();
        if (wait <= 0) break;
        FChanged.wait_for(lock, std::min<std::chrono::microseconds>(std::chrono::microseconds(wait / 10), kPacingStep));
      } else {
        FChanged.wait_for(lock, kPacingStep);
      }
    }
    FHolding = false;
    if (FFlushing || FState == TFilterState::Stopped) return TResult::S_FALSE;
  }
  const int64_t streamTime = FState == TFilterState::Running && FClock ? FClock->Now() - FRunStart : -1;
  lock.unlock();
  RenderSample(sample, streamTime);
  return TResult::S_OK;
}

TResult TBaseRenderer::NewSegment(int64_t start, int64_t stop, double rate) {
  OnNewSegment(start, stop, rate);
  return TResult::S_OK;
}

TResult TBaseRenderer::BeginFlush() {
  {
    std::lock_guard lock(FLock);
    FFlushing = true;
    FEndOfStream = false;
    FCompleteSent = false;
  }
  FChanged.notify_all();
  OnBeginFlush();
  return TResult::S_OK;
}

TResult TBaseRenderer::EndFlush() {
  {
    std::lock_guard lock(FLock);
    FFlushing = false;
  }
  FChanged.notify_all();
  OnEndFlush();
  return TResult::S_OK;
}

TResult TBaseRenderer::EndOfStream() {
  {
    std::unique_lock lock(FLock);
    if (FFlushing) return TResult::S_FALSE;
    FEndOfStream = true;
    FChanged.notify_all();
    if (FState == TFilterState::Running || (!FPaced && FState == TFilterState::Paused)) signalComplete(lock);
  }
  OnEndOfStream();
  return TResult::S_OK;
}

void TBaseRenderer::signalComplete(std::unique_lock<std::mutex>& lock) {
  if (FCompleteSent || !FEndOfStream) return;
  FCompleteSent = true;
  TGraphEventSink sink = FEventSink;
  lock.unlock();
  if (sink) sink({TGraphEvent::TCode::Complete, TResult::S_OK});
  lock.lock();
}

void TBaseRenderer::Stop() {
  {
    std::lock_guard lock(FLock);
    FState = TFilterState::Stopped;
    FEndOfStream = false;
    FCompleteSent = false;
  }
  FChanged.notify_all();
}

void TBaseRenderer::Pause() {
  {
    std::lock_guard lock(FLock);
    FState = TFilterState::Paused;
  }
  FChanged.notify_all();
}

void TBaseRenderer::Run(int64_t startTime) {
  std::unique_lock lock(FLock);
  FRunStart = startTime;
  FState = TFilterState::Running;
  FChanged.notify_all();
  signalComplete(lock);
}

TFilterState TBaseRenderer::State() const {
  std::lock_guard lock(FLock);
  return FState;
}

void TBaseRenderer::SetClock(IReferenceClock* clock) {
  std::lock_guard lock(FLock);
  FClock = clock;
}

void TBaseRenderer::SetEventSink(TGraphEventSink sink) {
  std::lock_guard lock(FLock);
  FEventSink = std::move(sink);
}

bool TBaseRenderer::cued() const { return !FPin || !FPaced || FHolding || FEndOfStream; }

bool TBaseRenderer::WaitCued(std::chrono::milliseconds timeout) {
  std::unique_lock lock(FLock);
  return FChanged.wait_for(lock, timeout, [&] { return cued(); });
}

bool TBaseRenderer::Complete() const {
  std::lock_guard lock(FLock);
  return FCompleteSent;
}

}  // namespace vc::preview
