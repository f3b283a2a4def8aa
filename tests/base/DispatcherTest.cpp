#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "base/Dispatcher.h"

using namespace vc::base;

TEST(DispatcherTest, WorkerCallsRunOnTheUiThreadAndCarryExceptionsBack) {
  TQueueDispatcher dispatcher;
  const auto uiThread = std::this_thread::get_id();
  std::atomic<bool> ranOnUi{false};
  std::atomic<bool> caught{false};
  std::atomic<bool> done{false};
  std::thread worker([&] {
    dispatcher.invokeSync([&] { ranOnUi = std::this_thread::get_id() == uiThread; });
    try {
      dispatcher.invokeSync([] { throw std::runtime_error("boom"); });
    } catch (const std::runtime_error& e) {
      caught = std::string(e.what()) == "boom";
    }
    done = true;
  });
  while (!done) dispatcher.waitForMessages(std::chrono::milliseconds(10));
  worker.join();
  EXPECT_TRUE(ranOnUi);
  EXPECT_TRUE(caught);
}

TEST(DispatcherTest, CallsOnTheUiThreadRunAtOnce) {
  TQueueDispatcher dispatcher;
  int calls = 0;
  dispatcher.invokeSync([&] { ++calls; });
  EXPECT_EQ(calls, 1);
}
