#pragma once
// The output end of the preview's media graph: a pin of a source filter with its own delivery
// thread. The thread exists while the filter is paused or running and obeys commands (init,
// pause, run, stop, exit) sent with CallWorker, which waits for the thread's reply. Connecting a
// pin negotiates a media type with a renderer and lets the pin size the renderer's allocator.
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "preview/Allocator.h"
#include "preview/MediaType.h"
#include "preview/Result.h"

namespace vc::preview {

class TBaseRenderer;
class TSourceFilter;

class TSourceStreamPin {
 public:
  enum class TCommand { Init, Pause, Run, Stop, Exit };

  TSourceStreamPin(TSourceFilter& filter, std::string objectName, std::string pinName);
  virtual ~TSourceStreamPin();
  TSourceStreamPin(const TSourceStreamPin&) = delete;
  TSourceStreamPin& operator=(const TSourceStreamPin&) = delete;

  const std::string& ObjectName() const { return FObjectName; }
  const std::string& Name() const { return FName; }
  TSourceFilter& Filter() const { return FFilter; }

  // Connection (the graph's thread, under the filter's state lock).
  TResult Connect(TBaseRenderer& renderer);
  void Disconnect();
  bool IsConnected() const;
  TBaseRenderer* ConnectedTo() const;
  TMediaType CurrentMediaType() const;
  // A renderer asks whether the pin can deliver in this type.
  TResult QueryAccept(const TMediaType& type) { return CheckMediaType(type); }

  // Media types: the offer at a position, the check of a proposed type, the adoption of one.
  virtual TResult GetMediaType(int position, TMediaType* type) = 0;
  virtual TResult CheckMediaType(const TMediaType& type) = 0;
  virtual TResult SetMediaType(const TMediaType& type);
  // Sets the allocator's properties the pin needs; request holds the renderer's wishes.
  virtual TResult DecideBufferSize(TMemAllocator* allocator, TAllocatorProperties* request) = 0;

  // Activity (the filter's state changes): a connected pin commits its allocator and starts its
  // thread (init, then pause); deactivation decommits, stops and ends the thread.
  TResult Active();
  TResult Inactive();
  bool ThreadExists() const;
  // Sends a command to the delivery thread and waits for its answer (E_FAIL without thread).
  TResult CallWorker(TCommand command);

  // Downstream notifications and delivery.
  TResult GetDeliveryBuffer(TSamplePtr& sample);
  TResult Deliver(TMediaSample& sample);
  TResult DeliverNewSegment(int64_t start, int64_t stop, double rate);  // 100-ns units
  TResult DeliverBeginFlush();
  TResult DeliverEndFlush();
  TResult DeliverEndOfStream();

  // Wakes the delivery thread when it waits for data (WaitForWork).
  void Poke();

 protected:
  // The delivery thread's body while paused or running; returns when a stop arrives or the
  // stream has ended.
  virtual TResult DoBufferProcessingLoop() = 0;
  virtual TResult OnThreadCreate() { return TResult::S_OK; }

  // Within the delivery loop: true (and the command) when one waits; it stays pending until Reply.
  bool CheckRequest(TCommand* command);
  void Reply(TResult result);
  // Waits until a command is pending, Poke is called, or timeout passes.
  void WaitForWork(std::chrono::milliseconds timeout);

  std::shared_ptr<TMemAllocator> AllocatorInUse() const;
  // Renegotiation helpers for derived pins: adopt a type and size the allocator again.
  TResult ReconnectAllocator();

 private:
  TCommand getRequest();
  void threadProc();

  TSourceFilter& FFilter;
  const std::string FObjectName;
  const std::string FName;

  mutable std::mutex FConnectionLock;
  TBaseRenderer* FConnected = nullptr;
  TMediaType FMediaType;
  std::shared_ptr<TMemAllocator> FAllocator;

  std::thread FThread;
  std::mutex FCallLock;  // one CallWorker at a time
  std::mutex FCommandLock;
  std::condition_variable FCommandChanged;
  bool FPending = false;
  TCommand FCommand = TCommand::Init;
  bool FReplied = false;
  TResult FReply = TResult::S_OK;
  bool FPoked = false;
};

}  // namespace vc::preview
