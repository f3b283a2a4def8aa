#include "preview/MediaGraph.h"

#include <algorithm>

#include "preview/MediaSeeking.h"
#include "preview/SourceFilter.h"
#include "preview/SourceStreamPin.h"

namespace vc::preview {

namespace {
// Time between the run command and the presentation of stream time 0: the renderers hold their
// first samples already, so this only covers the run calls themselves.
constexpr int64_t kRunLatency = 10 * UnitsPerMillisecond;
// How long a run waits for every renderer to hold its first sample.
constexpr auto kCueTimeout = std::chrono::milliseconds(3000);
}  // namespace

TMediaGraph::TMediaGraph() : FClock(&FSteadyClock) {}

TMediaGraph::~TMediaGraph() {
  ClearGraph();
  std::vector<IGraphMember*> members;
  {
    std::lock_guard lock(FLock);
    members = FMembers;
  }
  for (IGraphMember* member : members) member->GraphDestroyed(*this);
}

void TMediaGraph::SetVideoRenderer(std::shared_ptr<TBaseRenderer> renderer) {
  std::lock_guard lock(FLock);
  FVideoRenderer = std::move(renderer);
  if (FVideoRenderer) FVideoRenderer->SetEventSink([this](const TGraphEvent& e) { onEvent(e); });
}

void TMediaGraph::SetSoundRenderer(std::shared_ptr<TBaseRenderer> renderer) {
  std::lock_guard lock(FLock);
  FSoundRenderer = std::move(renderer);
  if (FSoundRenderer) FSoundRenderer->SetEventSink([this](const TGraphEvent& e) { onEvent(e); });
}

void TMediaGraph::Register(IGraphMember* member) {
  std::lock_guard lock(FLock);
  if (std::find(FMembers.begin(), FMembers.end(), member) == FMembers.end()) FMembers.push_back(member);
}

void TMediaGraph::Unregister(IGraphMember* member) {
  std::lock_guard lock(FLock);
  FMembers.erase(std::remove(FMembers.begin(), FMembers.end(), member), FMembers.end());
}

void TMediaGraph::Refresh() {
  std::vector<IGraphMember*> members;
  {
    std::lock_guard lock(FLock);
    members = FMembers;
  }
  for (IGraphMember* member : members) member->GraphRefresh(*this);
}

bool TMediaGraph::Active() const {
  std::lock_guard lock(FLock);
  return FActive;
}

void TMediaGraph::SetActive(bool active) {
  std::lock_guard lock(FLock);
  if (active == FActive) return;
  if (active) {
    FActive = true;
    FState = TState::Stopped;
    FPositionBase = FPausedAt = 0;
    const std::vector<IGraphMember*> members = FMembers;
    try {
      for (IGraphMember* member : members) member->GraphAdded(*this);
    } catch (...) {
      SetActive(false);
      throw;
    }
    return;
  }
  Stop();
  const std::vector<IGraphMember*> members = FMembers;
  for (IGraphMember* member : members) member->GraphRemoving(*this);
  ClearGraph();
  for (IGraphMember* member : members) member->GraphRemoved(*this);
  FActive = false;
  FState = TState::NotInitialised;
}

void TMediaGraph::ClearGraph() {
  std::lock_guard lock(FLock);
  if (!FSource) return;
  for (TBaseRenderer* renderer : {FVideoRenderer.get(), FSoundRenderer.get()})
    if (renderer) renderer->Stop();
  FSource->Stop();
  for (int i = 0; i < FSource->PinCount(); ++i) FSource->Pin(i)->Disconnect();
  FSource->SetEventSink({});
  FSource.reset();
  {
    std::lock_guard events(FEventLock);
    FEvents.clear();
    FAborted = false;
  }
  FState = FActive ? TState::Stopped : TState::NotInitialised;
  FPositionBase = FPausedAt = 0;
  FClock = &FSteadyClock;
}

TResult TMediaGraph::AddFilter(std::shared_ptr<TSourceFilter> filter) {
  std::lock_guard lock(FLock);
  if (!filter) return TResult::E_POINTER;
  if (FSource) return TResult::E_UNEXPECTED;  // one source per graph
  FSource = std::move(filter);
  FSource->SetEventSink([this](const TGraphEvent& e) { onEvent(e); });
  return TResult::S_OK;
}

TResult TMediaGraph::Render(TSourceStreamPin& pin) {
  std::lock_guard lock(FLock);
  if (FState != TState::Stopped) return TResult::VFW_E_WRONG_STATE;
  for (TBaseRenderer* renderer : {FVideoRenderer.get(), FSoundRenderer.get()}) {
    if (!renderer || renderer->IsConnected()) continue;
    TMediaType offered;
    if (pin.GetMediaType(0, &offered) != TResult::S_OK || offered.Major != renderer->Kind()) continue;
    const TResult r = pin.Connect(*renderer);
    if (Succeeded(r)) chooseClock();
    return r;
  }
  return TResult::VFW_E_CANNOT_RENDER;
}

void TMediaGraph::chooseClock() {
  FClock = &FSteadyClock;
  if (FSoundRenderer && FSoundRenderer->IsConnected())
    if (IReferenceClock* clock = FSoundRenderer->ProvidedClock()) FClock = clock;
  for (TBaseRenderer* renderer : {FVideoRenderer.get(), FSoundRenderer.get()})
    if (renderer) renderer->SetClock(FClock);
}

std::vector<TBaseRenderer*> TMediaGraph::connectedRenderers() const {
  std::vector<TBaseRenderer*> renderers;
  for (TBaseRenderer* renderer : {FVideoRenderer.get(), FSoundRenderer.get()})
    if (renderer && renderer->IsConnected()) renderers.push_back(renderer);
  return renderers;
}

int64_t TMediaGraph::streamTime() const {
  return FState == TState::Running ? FClock->Now() - FRunStart : FPausedAt;
}

void TMediaGraph::pauseRenderers() {
  if (FState == TState::Running) FPausedAt = FClock->Now() - FRunStart;
  for (TBaseRenderer* renderer : connectedRenderers()) renderer->Pause();
}

// Runs once every renderer holds its first sample, so they all start together.
void TMediaGraph::runAll() {
  for (TBaseRenderer* renderer : connectedRenderers()) renderer->WaitCued(kCueTimeout);
  FRunStart = FClock->Now() + kRunLatency - FPausedAt;
  for (TBaseRenderer* renderer : connectedRenderers()) renderer->Run(FRunStart);
  if (FSource) FSource->Run(FRunStart);
  FState = TState::Running;
}

TResult TMediaGraph::Play() {
  std::lock_guard lock(FLock);
  if (!FActive) return TResult::VFW_E_WRONG_STATE;
  if (FState == TState::Running) return TResult::S_OK;
  if (FState == TState::Stopped) {
    const TResult r = Pause();
    if (Failed(r)) return r;
  }
  runAll();
  return TResult::S_OK;
}

TResult TMediaGraph::Pause() {
  std::lock_guard lock(FLock);
  if (!FActive) return TResult::VFW_E_WRONG_STATE;
  if (FState == TState::Paused) return TResult::S_OK;
  pauseRenderers();
  if (FSource) {
    const TResult r = FSource->Pause();
    if (Failed(r)) return r;
  }
  FState = TState::Paused;
  return TResult::S_OK;
}

TResult TMediaGraph::Stop() {
  std::lock_guard lock(FLock);
  if (!FActive || FState == TState::Stopped) return TResult::S_OK;
  const int64_t position = CurrentPosition();
  // Renderers first: a paced renderer holding a delivery lets it go.
  for (TBaseRenderer* renderer : connectedRenderers()) renderer->Stop();
  if (FSource) FSource->Stop();
  FState = TState::Stopped;
  // The next run continues where this one stopped, with fresh stream times.
  if (FSource && FSource->Seeking()) {
    int64_t current = position;
    FSource->Seeking()->SetPositions(&current, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
  }
  FPositionBase = position;
  FPausedAt = 0;
  return TResult::S_OK;
}

TMediaGraph::TState TMediaGraph::State() const {
  std::lock_guard lock(FLock);
  return FState;
}

TResult TMediaGraph::SetPositions(int64_t* current, uint32_t currentFlags, int64_t* stop, uint32_t stopFlags) {
  std::lock_guard lock(FLock);
  if (!FSource || !FSource->Seeking()) return TResult::E_NOTIMPL;
  IMediaSeeking& seeking = *FSource->Seeking();
  const bool wasRunning = FState == TState::Running;
  if (wasRunning) pauseRenderers();
  {
    std::lock_guard events(FEventLock);
    FAborted = false;
  }
  const TResult r = seeking.SetPositions(current, currentFlags, stop, stopFlags);
  if ((currentFlags & AM_SEEKING_PositioningBitsMask) != AM_SEEKING_NoPositioning && Succeeded(r)) {
    seeking.GetPositions(&FPositionBase, nullptr);
    FPausedAt = 0;
  }
  if (wasRunning) {
    FState = TState::Paused;
    runAll();
  }
  return r;
}

TResult TMediaGraph::Seek(int64_t position) {
  return SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
}

int64_t TMediaGraph::CurrentPosition() const {
  std::lock_guard lock(FLock);
  if (!FSource) return 0;
  const int64_t position = FPositionBase + std::max<int64_t>(streamTime(), 0);
  const int64_t duration = Duration();
  return duration > 0 ? std::min(position, duration) : position;
}

int64_t TMediaGraph::Duration() const {
  std::lock_guard lock(FLock);
  int64_t duration = 0;
  if (FSource && FSource->Seeking()) FSource->Seeking()->GetDuration(&duration);
  return duration;
}

void TMediaGraph::onEvent(const TGraphEvent& event) {
  {
    std::lock_guard lock(FEventLock);
    FEvents.push_back(event);
    if (event.Code == TGraphEvent::TCode::ErrorAbort) FAborted = true;
  }
  FEventChanged.notify_all();
}

std::vector<TGraphEvent> TMediaGraph::Events() const {
  std::lock_guard lock(FEventLock);
  return FEvents;
}

bool TMediaGraph::WaitForCompletion(std::chrono::milliseconds timeout) {
  std::vector<TBaseRenderer*> renderers;
  {
    std::lock_guard lock(FLock);
    renderers = connectedRenderers();
  }
  std::unique_lock lock(FEventLock);
  return FEventChanged.wait_for(lock, timeout, [&] {
    if (FAborted) return true;
    return std::all_of(renderers.begin(), renderers.end(), [](TBaseRenderer* r) { return r->Complete(); });
  });
}

}  // namespace vc::preview
