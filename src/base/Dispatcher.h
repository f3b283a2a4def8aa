#pragma once
// The UI thread as a service: worker threads run code there synchronously through invokeSync,
// and the UI thread lets queued calls run through processMessages.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace vc::base {

class IDispatcher {
 public:
  virtual ~IDispatcher() = default;
  // Runs fn on the UI thread and returns when it has run; exceptions it throws reach the caller.
  // Called on the UI thread itself, it runs fn at once.
  virtual void invokeSync(const std::function<void()>& fn) = 0;
  // On the UI thread: runs the calls other threads have queued.
  virtual void processMessages() = 0;
  virtual bool isUiThread() const = 0;
};

// A dispatcher whose UI thread is the thread that created it; used by the terminal program and
// the tests. The UI thread drains the queue in processMessages or waitForMessages.
class TQueueDispatcher final : public IDispatcher {
 public:
  TQueueDispatcher();
  void invokeSync(const std::function<void()>& fn) override;
  void processMessages() override;
  bool isUiThread() const override;
  // Blocks the UI thread until a call arrives or the timeout passes, then runs what is queued.
  void waitForMessages(std::chrono::milliseconds timeout);

 private:
  struct Call;
  std::thread::id FUiThread;
  std::mutex FMutex;
  std::condition_variable FArrived;
  std::deque<std::shared_ptr<Call>> FQueue;
};

// The process-wide dispatcher; without an installed one every call runs on the calling thread.
IDispatcher& Dispatcher();
void SetDispatcher(IDispatcher* dispatcher);

}  // namespace vc::base
