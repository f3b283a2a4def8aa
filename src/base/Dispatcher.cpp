#include "base/Dispatcher.h"

#include <atomic>
#include <exception>

namespace vc::base {

struct TQueueDispatcher::Call {
  std::function<void()> Fn;
  std::exception_ptr Error;
  bool Done = false;
  std::condition_variable Finished;
};

TQueueDispatcher::TQueueDispatcher() : FUiThread(std::this_thread::get_id()) {}

bool TQueueDispatcher::isUiThread() const { return std::this_thread::get_id() == FUiThread; }

void TQueueDispatcher::invokeSync(const std::function<void()>& fn) {
  if (isUiThread()) {
    fn();
    return;
  }
  auto call = std::make_shared<Call>();
  call->Fn = fn;
  std::unique_lock lock(FMutex);
  FQueue.push_back(call);
  FArrived.notify_all();
  call->Finished.wait(lock, [&] { return call->Done; });
  if (call->Error) std::rethrow_exception(call->Error);
}

void TQueueDispatcher::processMessages() {
  std::unique_lock lock(FMutex);
  while (!FQueue.empty()) {
    auto call = FQueue.front();
    FQueue.pop_front();
    lock.unlock();
    try {
      call->Fn();
    } catch (...) {
      call->Error = std::current_exception();
    }
    lock.lock();
    call->Done = true;
    call->Finished.notify_all();
  }
}

void TQueueDispatcher::waitForMessages(std::chrono::milliseconds timeout) {
  {
    std::unique_lock lock(FMutex);
    FArrived.wait_for(lock, timeout, [&] { return !FQueue.empty(); });
  }
  processMessages();
}

namespace {
class TDirectDispatcher final : public IDispatcher {
 public:
  void invokeSync(const std::function<void()>& fn) override { fn(); }
  void processMessages() override {}
  bool isUiThread() const override { return true; }
};
TDirectDispatcher directDispatcher;
std::atomic<IDispatcher*> installedDispatcher{nullptr};
}  // namespace

IDispatcher& Dispatcher() {
  IDispatcher* d = installedDispatcher.load();
  return d ? *d : directDispatcher;
}

void SetDispatcher(IDispatcher* dispatcher) { installedDispatcher.store(dispatcher); }

}  // namespace vc::base
