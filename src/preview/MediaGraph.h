#pragma once
// The preview's media graph: one source filter and the renderers its pins are rendered to (a
// video renderer and a sound renderer the owner supplies), the reference clock, the graph's
// states (not initialised while inactive, then stopped, paused, running), positions for a
// position slider, and the events the filters send. Components that fill the graph (the player)
// register with it and are told when it becomes active or is cleared.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "preview/BaseRenderer.h"
#include "preview/GraphEvents.h"
#include "preview/ReferenceClock.h"
#include "preview/Result.h"

namespace vc::preview {

class TMediaGraph;
class TSourceFilter;
class TSourceStreamPin;

class IGraphMember {
 public:
  virtual ~IGraphMember() = default;
  virtual void GraphAdded(TMediaGraph& graph) = 0;     // the graph became active: add and render filters
  virtual void GraphRemoving(TMediaGraph& graph) = 0;  // the filters are about to be removed
  virtual void GraphRemoved(TMediaGraph& graph) = 0;   // the filters were removed
  virtual void GraphRefresh(TMediaGraph& graph) = 0;   // the graph asks its members to register anew
  virtual void GraphDestroyed(TMediaGraph& graph) = 0; // the graph is going away
};

class TMediaGraph final {
 public:
  enum class TState { NotInitialised, Stopped, Paused, Running };

  TMediaGraph();
  ~TMediaGraph();
  TMediaGraph(const TMediaGraph&) = delete;
  TMediaGraph& operator=(const TMediaGraph&) = delete;

  // The renderers pins are rendered to (set before the graph becomes active).
  void SetVideoRenderer(std::shared_ptr<TBaseRenderer> renderer);
  void SetSoundRenderer(std::shared_ptr<TBaseRenderer> renderer);
  TBaseRenderer* VideoRenderer() const { return FVideoRenderer.get(); }
  TBaseRenderer* SoundRenderer() const { return FSoundRenderer.get(); }

  void Register(IGraphMember* member);
  void Unregister(IGraphMember* member);
  void Refresh();

  // Activation lets the members add and render their filters; deactivation stops the graph and
  // clears it.
  bool Active() const;
  void SetActive(bool active);
  // Stops and removes the source filter.
  void ClearGraph();

  // Graph building (members call these from GraphAdded).
  TResult AddFilter(std::shared_ptr<TSourceFilter> filter);
  TSourceFilter* Source() const { return FSource.get(); }
  // Connects a pin to the renderer of its kind.
  TResult Render(TSourceStreamPin& pin);

  TResult Play();
  TResult Pause();
  TResult Stop();
  TState State() const;

  // Seeking through the source; while running the graph pauses around it and restarts the
  // stream time at the new position.
  TResult SetPositions(int64_t* current, uint32_t currentFlags, int64_t* stop, uint32_t stopFlags);
  TResult Seek(int64_t position);   // absolute, 100 ns
  int64_t CurrentPosition() const;  // 100 ns, what the renderers present now
  int64_t Duration() const;         // 100 ns; 0 without a source

  // Waits until every connected renderer has presented the end of its stream, or a filter
  // reported an abort. False on timeout.
  bool WaitForCompletion(std::chrono::milliseconds timeout);
  std::vector<TGraphEvent> Events() const;
  IReferenceClock& Clock() const { return *FClock; }

 private:
  std::vector<TBaseRenderer*> connectedRenderers() const;
  void chooseClock();
  void pauseRenderers();
  void runAll();
  void onEvent(const TGraphEvent& event);
  int64_t streamTime() const;  // under FLock

  mutable std::recursive_mutex FLock;  // graph operations, one at a time
  std::vector<IGraphMember*> FMembers;
  bool FActive = false;
  TState FState = TState::NotInitialised;
  std::shared_ptr<TSourceFilter> FSource;
  std::shared_ptr<TBaseRenderer> FVideoRenderer;
  std::shared_ptr<TBaseRenderer> FSoundRenderer;
  TSteadyClock FSteadyClock;
  IReferenceClock* FClock;
  int64_t FRunStart = 0;        // clock time of stream time 0, 100 ns
  int64_t FPausedAt = 0;        // stream time when paused, 100 ns
  int64_t FPositionBase = 0;    // position at stream time 0, 100 ns

  mutable std::mutex FEventLock;
  std::condition_variable FEventChanged;
  std::vector<TGraphEvent> FEvents;
  bool FAborted = false;
};

}  // namespace vc::preview
